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

namespace qv {

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
}

}  // namespace qv
