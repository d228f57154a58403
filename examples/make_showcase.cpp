// qv_make_showcase: writes examples/showcase.qvf, a sheet with every kind of
// cell and formatting the suite stores — text in each alignment, wrapped
// and ellipsised text, integers, decimals, currency and dates in display
// formats, a pick list, check boxes, a picture, fills, each border style, a
// merged range, frames, a hint, column headings over automatic row numbers
// and individual sizes.
//
//   qv_make_showcase OUT.qvf
#include <cstdio>
#include <string>

#include "cells/boolean_cell.h"
#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/picture_cell.h"
#include "cells/qv_picture.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "grids/cell_range.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/graphic.h"
#include "platform/string_list.h"

using namespace qv;

namespace {

// A 32 x 24 bitmap: a blue sky over a green field with a yellow sun.
std::string LandscapeBitmap() {
    const int w = 32, h = 24, stride = w * 3;
    const int size = 54 + stride * h;
    std::string b(static_cast<size_t>(size), '\0');
    auto put32 = [&](int At, int32_t V) {
        for (int i = 0; i < 4; ++i) b[static_cast<size_t>(At + i)] = static_cast<char>((V >> (8 * i)) & 0xFF);
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, size);
    put32(10, 54);
    put32(14, 40);
    put32(18, w);
    put32(22, h);
    b[26] = 1;
    b[28] = 24;
    put32(34, stride * h);
    for (int y = 0; y < h; ++y) {      // bottom-up rows
        for (int x = 0; x < w; ++x) {
            const int top = h - 1 - y;
            int r = 90, g = 150, bl = 230;
            if (top >= 16) r = 60, g = 160, bl = 60;
            const int dx = x - 24, dy = top - 7;
            if (dx * dx + dy * dy <= 16) r = 250, g = 220, bl = 40;
            const size_t p = static_cast<size_t>(54 + y * stride + x * 3);
            b[p] = static_cast<char>(bl);
            b[p + 1] = static_cast<char>(g);
            b[p + 2] = static_cast<char>(r);
        }
    }
    return b;
}

template <class T>
T* Cell(TQvSheet& S, int32_t X, int32_t Y) {
    TPoint local;
    const TQvSectionKind kind = S.MapCoord(X, Y, local);
    return static_cast<T*>(S.Sections(kind)->NeedCellOfClass(local, T::StaticClass()));
}

TQvCell* Text(TQvSheet& S, int32_t X, int32_t Y, const std::string& Value, uint8_t HAlign = haLeft) {
    TQvCell* c = Cell<TQvCString>(S, X, Y);
    c->SetAsString(Value);
    c->SetHAlign(HAlign);
    return c;
}

void Build(TQvSheet& S) {
    S.SetColCount(8);
    S.SetRowCount(16);
    S.SetColDefWidth(84);
    S.SetColMaxWidth(300);
    S.SetRowDefHeight(18);
    S.SetRowMaxHeight(60);
    S.SetSize(0, axCols, 120);
    S.SetSize(-1, axCols, 36);

    const char* headings[] = {"Item", "Qty", "Unit price", "Amount", "Delivered", "Paid", "Kind", "Notes"};
    for (int32_t x = 0; x < 8; ++x) {
        TQvCell* h = Text(S, x, -1, headings[x], haCenter);
        h->Font()->SetStyle({fsBold});
    }
    // The row titles stay empty: a grid with automatic titles numbers the
    // rows, and the numbers follow inserted and removed rows.

    // An order list: text, integers, currency, decimals, dates, check boxes
    // and pick lists.
    struct TLine {
        const char* Item;
        int32_t Qty;
        int64_t Cents;
        int Day;
        bool Paid;
        int Kind;
    } lines[] = {
        {"Oak desk", 2, 34900, 3, true, 0},
        {"Office chair", 6, 12950, 5, true, 0},
        {"Desk lamp", 12, 2499, 5, false, 1},
        {"Monitor arm", 4, 8900, 11, false, 1},
        {"Paper, 80 g (box of 5)", 30, 2150, 12, true, 2},
    };
    for (int32_t i = 0; i < 5; ++i) {
        const TLine& l = lines[i];
        const int32_t y = i;
        Text(S, 0, y, l.Item);
        auto* qty = Cell<TQvCInteger>(S, 1, y);
        qty->SetAsInteger(l.Qty);
        qty->SetFormat("#,##0");
        qty->SetHAlign(haRight);
        auto* price = Cell<TQvCCurrency>(S, 2, y);
        price->SetAsCurrency(Currency::FromScaled(l.Cents * 100));
        price->SetFormat("#,##0.00 '€'");
        price->SetHAlign(haRight);
        auto* amount = Cell<TQvCDouble>(S, 3, y);
        amount->SetAsFloat(l.Qty * l.Cents / 100.0);
        amount->SetFormat("#,##0.00");
        amount->SetHAlign(haRight);
        auto* day = Cell<TQvCDateTime>(S, 4, y);
        day->SetAsDateTime(EncodeDate(2024, 3, l.Day));
        day->SetFormat("dd mmm yyyy");
        day->SetHAlign(haCenter);
        auto* paid = Cell<TQvCBoolean>(S, 5, y);
        paid->SetAsBoolean(l.Paid);
        paid->SetHAlign(haCenter);
        paid->SetVAlign(vaCenter);
        auto* kind = Cell<TQvCStrings>(S, 6, y);
        kind->SetAsString("Furniture\r\nLighting\r\nSupplies");
        kind->SetAsInteger(l.Kind);
    }
    Text(S, 7, 0, "a long note that wraps inside its cell")->SetWrapMode(wmWrapWords);
    Text(S, 7, 1, "a long note cut short with an ellipsis")->SetWrapMode(wmEllipsis);
    Text(S, 7, 2, "with a hint")->SetHint("Hints show as a small red mark");
    S.SetSize(0, axRows, 32);

    // The total: a merged label, a bold sum, a double line above.
    TQvCellRange(S, {0, 5, 3, 6})->Merge();
    TQvCell* label = Text(S, 0, 5, "Total", haRight);
    label->Font()->SetStyle({fsBold});
    double total = 0;
    for (const TLine& l : lines) total += l.Qty * l.Cents / 100.0;
    auto* sum = Cell<TQvCDouble>(S, 3, 5);
    sum->SetAsFloat(total);
    sum->SetFormat("#,##0.00");
    sum->SetHAlign(haRight);
    sum->Font()->SetStyle({fsBold});
    TQvCellRange(S, {0, 5, 4, 6})->SetBorder(liTop, {lsDouble, clBlack});
    TQvCellRange(S, {0, 0, 8, 1})->SetBorder(liTop, {lsSingle, clGray});

    // Fills in stripes, and the three line styles around boxes.
    for (int32_t y = 1; y < 5; y += 2) TQvCellRange(S, {0, y, 5, y + 1})->SetColor(RGB(235, 242, 255));
    const char* styles[] = {"single", "medium", "double"};
    for (int32_t i = 0; i < 3; ++i) {
        TQvCellRange box(S, {i * 2, 7, i * 2 + 1, 8});
        for (int side : {liLeft, liTop, liRight, liBottom})
            box->SetBorder(side, {static_cast<uint8_t>(lsSingle + i), i == 0 ? clBlue : i == 1 ? clGreen : clMaroon});
        Text(S, i * 2, 7, styles[i], haCenter);
    }

    // Alignments in a 3 x 3 block of taller rows.
    const char* h[] = {"left", "right", "centre"};
    const char* v[] = {"top", "bottom", "middle"};
    for (int32_t y = 0; y < 3; ++y) {
        S.SetSize(9 + y, axRows, 34);
        for (int32_t x = 0; x < 3; ++x) {
            TQvCell* c = Text(S, x, 9 + y, std::string(h[x]) + " " + v[y], static_cast<uint8_t>(x));
            c->SetVAlign(static_cast<uint8_t>(y));
        }
    }
    // A coloured merged block with large centred text.
    TQvCellRange(S, {3, 9, 6, 12})->Merge();
    TQvCellRange(S, {3, 9, 6, 12})->SetColor(clNavy);
    TQvCell* banner = Text(S, 3, 9, "QvGrid", haCenter);
    banner->SetVAlign(vaCenter);
    banner->Font()->SetSize(16);
    banner->Font()->SetStyle({fsBold, fsItalic});
    banner->Font()->SetColor(clWhite);

    // Frame styles 1..6.
    S.SetSize(13, axRows, 26);
    for (int32_t f = 1; f <= 6; ++f) {
        TQvCellRange(S, {f - 1, 13, f, 14})->SetFrame(static_cast<uint8_t>(f));
        Text(S, f - 1, 13, "frame " + std::to_string(f), haCenter)->SetVAlign(vaCenter);
    }

    // A picture, scaled to its cell.
    S.SetSize(15, axRows, 40);
    auto* picture = Cell<TQvCPicture>(S, 0, 15);
    TBitmap bitmap;
    bitmap.LoadFromBytes(LandscapeBitmap());
    picture->Picture()->SetGraphic(&bitmap);
    picture->SetWrapMode(wmEllipsis);
    picture->SetHAlign(haCenter);
    Text(S, 1, 15, "a picture cell")->SetVAlign(vaCenter);
    S.SetModified(false);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qv_make_showcase OUT.qvf\n");
        return 2;
    }
    try {
        TQvSheet sheet;
        sheet.SetName("Showcase");
        Build(sheet);
        sheet.SaveToFile(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qv_make_showcase: %s\n", e.what());
        return 1;
    }
    return 0;
}
