#include "cells/boolean_cell.h"
#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/picture_cell.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "grids/editor_classes.h"
#include "grids/manager.h"
#include "grids/packed_cells.h"
#include "cells/blank_mark.h"

#include <cstring>
#include <string_view>

namespace qv {

namespace {

// The record bodies (what follows the property set) that the simple classes
// write back byte for byte, as their WriteToStream lays them out: a fixed
// value, then the blank mark when the cell holds none. A body that reads but
// would be written otherwise (a boolean stored as 7, a stray byte after the
// value) is not canonical and its cell stays an object.
template <size_t ValueBytes>
bool ValueThenMark(std::string_view B) {
    return B.size() == ValueBytes || (B.size() == ValueBytes + 1 && uint8_t(B.back()) == BlankValueMark);
}

int32_t Int32At(std::string_view B) {
    int32_t v;
    std::memcpy(&v, B.data(), sizeof v);
    return v;
}

bool BooleanBody(std::string_view B) { return B.size() == 4 && (Int32At(B) == 0 || Int32At(B) == 1); }

// A length, then that many bytes; the empty text is a length of 0 alone.
bool StringBody(std::string_view B) {
    return B.size() >= 4 && Int32At(B) >= 0 && size_t(Int32At(B)) == B.size() - 4;
}

void RegisterPackedForms() {
    RegisterPackedForm(TQvCString::StaticClass(), StringBody);
    RegisterPackedForm(TQvCInteger::StaticClass(), ValueThenMark<4>);
    RegisterPackedForm(TQvCDouble::StaticClass(), ValueThenMark<8>);
    RegisterPackedForm(TQvCCurrency::StaticClass(), ValueThenMark<8>);
    RegisterPackedForm(TQvCDateTime::StaticClass(), ValueThenMark<8>);
    RegisterPackedForm(TQvCBoolean::StaticClass(), BooleanBody);
}

}  // namespace

void RegisterCellClasses(TQvManager& M) {
    using namespace EditorClasses;

    M.RegisterClasses({TQvCString::StaticClass()}, {TQvEdit(), TQvMemo(), TQvRichEdit()});
    M.RegisterClasses({TQvCInteger::StaticClass(), TQvCDouble::StaticClass(), TQvCCurrency::StaticClass()},
                      {TQvNumEdit(), TQvSpinNumEdit()});
    M.RegisterClasses({TQvCDateTime::StaticClass()}, {TQvDateEdit(), TQvTimeEdit()});
    M.RegisterClasses({TQvCBoolean::StaticClass(), TQvCPicture::StaticClass()}, {});
    M.RegisterClasses({TQvCStrings::StaticClass()}, {TQvCombobox()});

    // Formats are written in the format language, where "." is the decimal
    // point and "," the thousands flag whatever the locale; only the text
    // they produce shows the locale's separators. Sheets therefore read the
    // same formats, and the same format indexes, under every locale.
    M.Formats(TQvCInteger::StaticClass())->Add("0");
    TStringList* dbl = M.Formats(TQvCDouble::StaticClass());
    dbl->Add("0.00");
    dbl->Add("#,##0");
    dbl->Add("#,##0.00");
    dbl->Add("0%");
    dbl->Add("0.00%");
    M.Formats(TQvCCurrency::StaticClass())->Add("0.00");
    M.Formats(TQvCDateTime::StaticClass())->Add("DD.MM.YY");
    RegisterPackedForms();
}

}  // namespace qv
