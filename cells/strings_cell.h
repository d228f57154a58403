// TQvCStrings: a pick-list cell. It owns a list of lines (Items) and shows
// the line at ItemIndex; its value is the whole list as CRLF-joined text.
#pragma once

#include <memory>

#include "cells/string_cell.h"

namespace qv {

class TStringList;

class TQvCStrings : public TQvCString {
    QV_CLASS(TQvCStrings)
public:
    TQvCStrings();
    ~TQvCStrings() override;

    int32_t ItemIndex() const { return FItemIndex; }
    // The owned list; null only before the cell is placed.
    TStringList* Items() const { return FItems.get(); }

    std::string GetText() override;
    // The line shown is no value of the cell's own: it is cached as for
    // any other value.
    void UpdateText() override { TQvValue::UpdateText(); }
    const TCompactString& Text() const override { return TQvValue::Text(); }
    int32_t AsInteger() override;
    void SetAsInteger(int32_t V) override;
    std::string AsString() override;
    void SetAsString(const std::string& V) override;
    TObject* AsObject() override;
    void SetAsObject(TObject* V) override;
    TVariant GetValue() override;
    void SetValue(const TVariant& V) override;
    // The value of another pick list brings its chosen line along.
    void AssignProperty(const TQvPro* Source, int Id) override;
    void ReadFromStream(TStream& Stream) override;
    void WriteToStream(TStream& Stream) override;

protected:
    void CreateData() override;
    void FreeData();

private:
    std::unique_ptr<TStringList> FItems;
    int32_t FItemIndex = -1;
};

}  // namespace qv
