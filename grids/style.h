// TQvStyle: a named style owned by a styler and shared by any number of
// cells of the sheets connected to it. Its changes are pushed into the cells
// that use it and do not own the property.
#pragma once

#include <string>

#include "grids/pro_style.h"

namespace qv {

class TQvStyler;

class TQvStyle : public TQvProStyle {
    QV_CLASS(TQvStyle)
public:
    // Appends itself to Styler's list (when given).
    explicit TQvStyle(TQvStyler* Styler);
    // Leaves the styler's list, detaches itself from every cell of the
    // connected sheets and signals the styler's change.
    ~TQvStyle() override;

    TQvStyler* Styler() const;
    const std::string& Name() const { return FName; }
    // Raises EQvGridError "Style named <S> already exists!" when another
    // style of the styler has that name (case-sensitive); keeps the old name.
    void SetName(const std::string& S);

    void Changed(int Id) override;
    // The style record, then the name (through the renaming rule).
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;
    // "<styler path>.Styles[<index>]".
    std::string GetNamePath() const override;

private:
    friend class TQvStyler;
    std::string FName;
};

class TQvProCell;

// What choosing a style for cells does in the designer: Target's cells get
// Style (SetStyle, which creates missing cells), and then the fill, borders
// and frame that Style has assigned, as a change of Style itself would give
// them. Attaching alone copies nothing into the lines, since they belong to
// the section's tables rather than to the cell; this is the step that makes
// the choice visible. Null Style only removes the style.
void ApplyStyle(TQvProCell& Target, TQvStyle* Style);

}  // namespace qv
