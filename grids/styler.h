// TQvStyler: a component owning named styles shared by any number of sheets.
// It signals every change of its styles (OnChange, then Modified) and stores
// them as the binary property "Styles": a 32-bit count, then each style's
// record in list order.
#pragma once

#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/events.h"

namespace qv {

class TFiler;
class TQvSheet;
class TQvStyle;
class TStream;

class TQvStyler : public TComponent {
    QV_CLASS(TQvStyler)
public:
    explicit TQvStyler(TComponent* AOwner = nullptr);
    // Every connected sheet (last first) loses its styler, then every style
    // (last first) is destroyed.
    ~TQvStyler() override;

    int Count() const { return static_cast<int>(FStyles.size()); }
    TQvStyle* Styles(int I) const { return FStyles[I]; }
    int IndexOf(const TQvStyle* S) const;
    // The first style named exactly Name, or null.
    TQvStyle* FindStyle(const std::string& Name) const;
    // The style named Name, created (and Changed signalled) when missing.
    TQvStyle* AddStyle(const std::string& Name);
    // OnChange, then Modified := true.
    void Changed();
    bool Modified() const { return FModified; }
    void SetModified(bool V);

    int SheetCount() const { return static_cast<int>(FSheets.size()); }
    TQvSheet* Sheets(int I) const { return FSheets[I]; }

    // The "Styles" property content. Reading appends the styles it finds; a
    // duplicate name raises EQvGridError and ends the read. Both clear Modified.
    void ReadStyles(TStream& Stream);
    void WriteStyles(TStream& Stream);
    // "Styles" is stored only when there is at least one style.
    bool HasStyles() const { return !FStyles.empty(); }

    // "Styles", stored only when there is a style.
    void DefineProperties(TFiler& Filer) override;

    TNotifyEvent OnChange;
    TNotifyEvent OnModified;
    // Names of the handlers bound to the events, as stored in streams.
    std::string OnChangeName;
    std::string OnModifiedName;

private:
    friend class TQvSheet;
    friend class TQvStyle;
    void AddSheet(TQvSheet* S);
    void RemoveSheet(TQvSheet* S);
    void InsertStyle(TQvStyle* S);
    void RemoveStyle(TQvStyle* S);

    std::vector<TQvSheet*> FSheets;
    std::vector<TQvStyle*> FStyles;  // owned
    bool FModified = false;
};

}  // namespace qv
