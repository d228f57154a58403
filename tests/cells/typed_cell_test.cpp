#include <gtest/gtest.h>

#include "cells/boolean_cell.h"
#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/picture_cell.h"
#include "cells/placement.h"
#include "cells/qv_picture.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "exchange/value_text.h"
#include "grids/paint_context.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/exceptions.h"
#include "platform/format_datetime.h"
#include "platform/format_settings.h"
#include "platform/stream.h"
#include "platform/string_list.h"
#include "platform/recording_canvas.h"
#include "platform/test_images.h"

namespace qv {
namespace {

using test::TRecordingCanvas;

// A fresh position for every cell made without one, so that no test places
// a cell over another.
TPoint NextFreePoint() {
    static int32_t next = 0;
    return {100, 100 + next++};
}

template <class T>
T* MakeCell(TQvSheet& Sheet, TPoint P = NextFreePoint()) {
    return static_cast<T*>(TQvCell::CreateAt(T::StaticClass(), Sheet.Sections(skClient), P));
}

std::string Record(TQvCell* C) {
    TMemoryStream s;
    C->WriteToStream(s);
    return s.Bytes();
}

// The bytes the cell base writes for C, without the class data.
std::string BaseRecord(TQvCell* C) {
    TMemoryStream s;
    C->TQvCell::WriteToStream(s);
    return s.Bytes();
}

// Reads Bytes into a fresh cell of C's class and checks that the whole
// record was consumed.
template <class T>
T* ReadBack(TQvSheet& Sheet, const std::string& Bytes, TPoint P = NextFreePoint()) {
    T* c = MakeCell<T>(Sheet, P);
    TMemoryStream s(Bytes);
    c->ReadFromStream(s);
    EXPECT_EQ(s.Position(), s.Size());
    return c;
}

TEST(TypedCells, DisplayTextFollowsValueAndFormat) {
    TQvSheet sheet;
    auto* i = MakeCell<TQvCInteger>(sheet, {0, 0});
    i->SetFormat("0");
    i->SetAsInteger(1234);
    i->UpdateText();
    EXPECT_EQ(i->Text().str(), "1234");
    i->SetFormat("#,##0");
    EXPECT_TRUE(i->HasState(psTextDirty));
    i->UpdateText();
    EXPECT_EQ(i->Text().str(), std::string("1") + FormatSettings().ThousandSeparator + "234");

    auto* d = MakeCell<TQvCDouble>(sheet, {1, 0});
    d->SetAsFloat(3.14159);
    d->SetFormat("0.00");
    EXPECT_EQ(d->GetText(), std::string("3") + FormatSettings().DecimalSeparator + "14");
    d->SetFormat("");
    d->SetAsFloat(0.5);
    EXPECT_EQ(d->GetText(), std::string("0") + FormatSettings().DecimalSeparator + "5");

    auto* e = MakeCell<TQvCInteger>(sheet, {2, 0});
    e->SetAsInteger(-42);
    EXPECT_EQ(e->GetText(), "-42");

    // Large amounts keep all four decimals' worth of exactness.
    auto* c = MakeCell<TQvCCurrency>(sheet, {3, 0});
    c->SetAsCurrency(Currency::FromScaled(1234567890123456785));
    c->SetFormat("0.000");
    EXPECT_EQ(c->GetText(), std::string("123456789012345") + FormatSettings().DecimalSeparator + "679");

    auto* t = MakeCell<TQvCDateTime>(sheet, {4, 0});
    t->SetAsDateTime(EncodeDate(2024, 3, 5));
    t->SetFormat("yyyy-mm-dd");
    EXPECT_EQ(t->GetText(), "2024-03-05");
    t->SetFormat("");
    EXPECT_EQ(t->GetText(), FormatDateTime("c", EncodeDate(2024, 3, 5)));
    // A value outside the calendar shows nothing instead of failing to paint.
    t->SetAsDateTime(1e300);
    EXPECT_EQ(t->GetText(), "");

    auto* b = MakeCell<TQvCBoolean>(sheet, {5, 0});
    b->SetAsBoolean(true);
    EXPECT_EQ(b->GetText(), "");
}

TEST(TypedCells, TextCellSharesItsValueAsDisplayText) {
    TQvSheet sheet;
    auto* s = MakeCell<TQvCString>(sheet);
    s->SetAsString("hello");
    EXPECT_FALSE(s->HasState(psTextDirty));
    EXPECT_EQ(s->Text().str(), "hello");
    // The format does not change a text cell's display.
    s->SetFormat("0.00");
    s->UpdateText();
    EXPECT_EQ(s->Text().str(), "hello");
    EXPECT_EQ(s->GetValue(), TVariant("hello"));
    // The integer value and the mark of "no value" take one word past the
    // base, no more.
    EXPECT_LE(sizeof(TQvCInteger), sizeof(TQvCell) + 8);
    EXPECT_LE(sizeof(TQvCString), sizeof(TQvCell) + 8);
    // Font, hint, style and cached text share one pointer, so the common
    // cells fit the pool's 64-byte class.
    for (size_t size : {sizeof(TQvCInteger), sizeof(TQvCDouble), sizeof(TQvCCurrency), sizeof(TQvCDateTime),
                        sizeof(TQvCBoolean), sizeof(TQvCString)})
        EXPECT_LE(size, 64u);
}

TEST(TypedCells, PaintingAndHintsKeepTheirPartsApart) {
    TQvSheet sheet;
    auto* n = MakeCell<TQvCInteger>(sheet);
    n->SetAsInteger(7);
    n->UpdateText();
    EXPECT_EQ(n->Text().str(), "7");
    n->SetHint("seven");
    n->SetAsInteger(8);
    n->UpdateText();
    EXPECT_EQ(n->Text().str(), "8");
    EXPECT_EQ(n->Hint(), "seven");
    EXPECT_FALSE(n->HasFont());
    // A pick list shows its chosen line, not its value.
    auto* p = MakeCell<TQvCStrings>(sheet, {1, 0});
    p->SetAsString("a\nb");
    p->SetAsInteger(1);
    p->UpdateText();
    EXPECT_EQ(p->Text().str(), "b");
    p->SetHint("");
    EXPECT_EQ(p->Hint(), "");
}

TEST(TypedCells, SettingTheSameValueDoesNotModifyTheSheet) {
    TQvSheet sheet;
    auto* d = MakeCell<TQvCDouble>(sheet);
    d->SetAsFloat(2.5);
    auto* s = MakeCell<TQvCString>(sheet, {1, 0});
    s->SetAsString("x");
    auto* p = MakeCell<TQvCStrings>(sheet, {2, 0});
    p->SetAsString("a\r\nb");
    sheet.SetModified(false);

    d->SetAsFloat(2.5);
    d->SetValue(TVariant(2.5));
    s->SetAsString("x");
    // The list's own text form ends every line with CRLF: the same list.
    p->SetAsString("a\r\nb\r\n");
    p->SetAsString("a\r\nb");
    EXPECT_FALSE(sheet.Modified());

    d->SetAsFloat(3.5);
    EXPECT_TRUE(sheet.Modified());
}

TEST(TypedCells, FailedConversionRaisesAndKeepsTheValue) {
    TQvSheet sheet;
    auto* i = MakeCell<TQvCInteger>(sheet);
    i->SetAsInteger(7);
    sheet.SetModified(false);
    EXPECT_THROW(i->SetValue(TVariant("seven")), EVariantTypeCastError);
    EXPECT_EQ(i->AsInteger(), 7);
    EXPECT_FALSE(sheet.Modified());

    auto* d = MakeCell<TQvCDouble>(sheet, {1, 0});
    d->SetAsFloat(1.5);
    EXPECT_THROW(d->SetAsString("x1"), EVariantTypeCastError);
    EXPECT_EQ(d->AsFloat(), 1.5);

    // Conversions that do work go through the native setter.
    i->SetValue(TVariant("12"));
    EXPECT_EQ(i->AsInteger(), 12);
    d->SetAsInteger(4);
    EXPECT_EQ(d->GetValue(), TVariant(4.0));
}

TEST(TypedCells, DateTextReadsAlikeInADateCellAndATextCell) {
    TQvSheet sheet;
    const std::string text = FormatDateTime("ddddd", EncodeDate(2024, 3, 15));
    auto* d = MakeCell<TQvCDateTime>(sheet);
    d->SetValue(TVariant(text));
    auto* s = MakeCell<TQvCString>(sheet);
    s->SetAsString(text);
    EXPECT_EQ(d->AsDateTime(), EncodeDate(2024, 3, 15));
    EXPECT_EQ(s->AsDateTime(), d->AsDateTime());
    s->SetAsString("2.5");  // a number still reads as days
    EXPECT_EQ(s->AsDateTime(), 2.5);
    s->SetAsString("soon");
    EXPECT_THROW(s->AsDateTime(), EVariantTypeCastError);
}

TEST(TypedCells, PickListShowsTheChosenLine) {
    TQvSheet sheet;
    auto* p = MakeCell<TQvCStrings>(sheet);
    ASSERT_NE(p->Items(), nullptr);
    p->Items()->Add("first");
    p->Items()->Add("second");
    p->SetAsInteger(1);
    EXPECT_EQ(p->GetText(), "second");
    EXPECT_EQ(p->GetValue(), TVariant("first\r\nsecond\r\n"));
    EXPECT_EQ(p->AsObject(), p->Items());
    p->SetAsInteger(2);
    EXPECT_EQ(p->GetText(), "");
    p->SetAsInteger(-1);
    EXPECT_EQ(p->GetText(), "");

    TStringList other;
    other.Add("x");
    p->SetAsObject(&other);
    EXPECT_EQ(p->AsString(), "x\r\n");
    p->SetAsInteger(0);
    EXPECT_EQ(p->GetText(), "x");
    auto* copy = MakeCell<TQvCStrings>(sheet, {0, 1});
    copy->AssignProperty(p, piValue);
    EXPECT_EQ(copy->AsString(), "x\r\n");
    EXPECT_EQ(copy->GetText(), "x");

    TQvSheet unrelated;
    EXPECT_THROW(p->SetAsObject(&unrelated), EConvertError);
    EXPECT_EQ(p->AsString(), "x\r\n");
    p->SetAsObject(nullptr);
    EXPECT_EQ(p->Items()->Count(), 0);
}

TEST(TypedCells, CheckBoxTogglesByDoubleClickAndSpace) {
    TQvSheet sheet;
    auto* b = MakeCell<TQvCBoolean>(sheet);
    b->DblClick();
    EXPECT_TRUE(b->AsBoolean());
    char32_t key = U' ';
    b->KeyPress(key);
    EXPECT_FALSE(b->AsBoolean());
    EXPECT_EQ(key, 0u);
    key = U'x';
    b->KeyPress(key);
    EXPECT_FALSE(b->AsBoolean());
    EXPECT_EQ(key, U'x');
}

TEST(TypedCells, CheckBoxIsScaledAndPlaced) {
    TQvSheet sheet;
    auto* b = MakeCell<TQvCBoolean>(sheet);
    b->SetAsBoolean(true);
    TRecordingCanvas canvas;
    TQvPaintContext ctx;
    ctx.Canvas = &canvas;
    ctx.Scale = 200;
    ctx.SetLayout({haCenter, vaCenter, 0, wmClipped});
    b->DrawValue(ctx, {10, 20, 110, 70});
    ASSERT_EQ(canvas.Calls.size(), 1u);
    EXPECT_EQ(canvas.Calls[0], "DrawFrameControl(47,32,73,58) kind=4 state=$00004400");

    canvas.Clear();
    b->SetAsBoolean(false);
    ctx.SetLayout({haRight, vaBottom, 0, wmWrapWords});
    b->DrawValue(ctx, {10, 20, 110, 70});
    ASSERT_EQ(canvas.Calls.size(), 1u);
    EXPECT_EQ(canvas.Calls[0], "DrawFrameControl(10,20,110,70) kind=4 state=$00004000");
}

TEST(TypedCells, PlacementRule) {
    const TRect r{0, 0, 10, 20};
    EXPECT_EQ(QvPlaceRect(r, {4, 3}, {haLeft, vaTop, 0, wmClipped}), (TRect{0, 0, 4, 3}));
    EXPECT_EQ(QvPlaceRect(r, {4, 3}, {haRight, vaBottom, 0, wmClipped}), (TRect{6, 17, 10, 20}));
    EXPECT_EQ(QvPlaceRect(r, {5, 3}, {haCenter, vaCenter, 0, wmClipped}), (TRect{2, 8, 7, 11}));
    // Proportional: 4x3 in 10 wide gives 7.5 high, rounded to the even 8;
    // 4x1 gives 2.5, rounded to 2.
    EXPECT_EQ(QvPlaceRect(r, {4, 3}, {haLeft, vaTop, 0, wmEllipsis}), (TRect{0, 0, 10, 8}));
    EXPECT_EQ(QvPlaceRect(r, {4, 1}, {haLeft, vaCenter, 0, wmEllipsis}), (TRect{0, 9, 10, 11}));
    // Taller than wide: full height, width 2.5 rounded to 2.
    EXPECT_EQ(QvPlaceRect({0, 0, 20, 10}, {1, 4}, {haRight, vaTop, 0, wmEllipsis}), (TRect{18, 0, 20, 10}));
    // Nothing to keep in proportion: no division by zero.
    EXPECT_EQ(QvPlaceRect(r, {0, 0}, {haLeft, vaTop, 0, wmEllipsis}), (TRect{0, 0, 0, 0}));
    EXPECT_EQ(QvPlaceRect(r, {3, 3}, {haCenter, vaCenter, 0, wmWrapWords}), r);
}

TEST(TypedCells, PictureCellPaintsAndNotifies) {
    TQvSheet sheet;
    auto* p = MakeCell<TQvCPicture>(sheet);
    ASSERT_NE(p->Picture(), nullptr);
    EXPECT_EQ(p->AsObject(), p->Picture());
    TRecordingCanvas canvas;
    TQvPaintContext ctx;
    ctx.Canvas = &canvas;
    ctx.Scale = 200;
    p->DrawValue(ctx, {0, 0, 100, 100});
    EXPECT_TRUE(canvas.Calls.empty());

    sheet.SetModified(false);
    TBitmap bmp;
    bmp.LoadFromBytes(test::MakeBmp(4, 3));
    p->SetAsObject(&bmp);
    EXPECT_TRUE(sheet.Modified());
    EXPECT_TRUE(p->HasState(psTextDirty));
    ASSERT_NE(p->Picture()->Graphic(), nullptr);

    ctx.SetLayout({haRight, vaTop, 0, wmClipped});
    p->DrawValue(ctx, {0, 0, 100, 100});
    ASSERT_EQ(canvas.Calls.size(), 1u);
    EXPECT_EQ(canvas.Calls[0].rfind("StretchDraw(92,0,100,6) TBitmap", 0), 0u) << canvas.Calls[0];

    // A change made through the picture is the cell's change too.
    sheet.SetModified(false);
    p->Picture()->Graphic()->LoadFromBytes(test::MakeBmp(2, 2));
    EXPECT_TRUE(sheet.Modified());
}

TEST(TypedCells, ShowingTravelsInBitThree) {
    TQvSheet sheet;
    auto* visible = MakeCell<TQvCInteger>(sheet, {0, 0});
    auto* hidden = MakeCell<TQvCInteger>(sheet, {1, 0});
    hidden->SetShowing(false);
    const std::string v = Record(visible), h = Record(hidden);
    EXPECT_TRUE(static_cast<uint8_t>(v[0]) & 8);
    EXPECT_FALSE(static_cast<uint8_t>(h[0]) & 8);
    auto* v2 = ReadBack<TQvCInteger>(sheet, v, {0, 3});
    auto* h2 = ReadBack<TQvCInteger>(sheet, h, {1, 3});
    EXPECT_TRUE(v2->Showing());
    EXPECT_FALSE(h2->Showing());
    EXPECT_TRUE(v2->Assigned().Has(piShowing));
    EXPECT_TRUE(h2->Assigned().Has(piShowing));
}

TEST(TypedCells, RecordsRoundTrip) {
    TQvSheet sheet;
    TQvSheet target;

    auto* s = MakeCell<TQvCString>(sheet, {0, 0});
    s->SetAsString("text value");
    s->SetHint("a hint");
    auto* s2 = ReadBack<TQvCString>(target, Record(s));
    EXPECT_EQ(s2->AsString(), "text value");
    EXPECT_EQ(s2->Hint(), "a hint");
    EXPECT_EQ(s2->Text().str(), "text value");

    auto* p = MakeCell<TQvCStrings>(sheet, {1, 0});
    p->SetAsString("one\r\ntwo");
    p->SetAsInteger(1);
    const std::string pr = Record(p);
    // Text (empty), ItemIndex, Items text after the cell part.
    EXPECT_EQ(pr.substr(BaseRecord(p).size()), std::string("\0\0\0\0\1\0\0\0\x0A\0\0\0one\r\ntwo\r\n", 22));
    auto* p2 = ReadBack<TQvCStrings>(target, pr);
    EXPECT_EQ(p2->ItemIndex(), 1);
    p2->UpdateText();
    EXPECT_EQ(p2->Text().str(), "two");

    auto* i = MakeCell<TQvCInteger>(sheet, {2, 0});
    i->SetAsInteger(-2);
    EXPECT_EQ(Record(i).substr(BaseRecord(i).size()), std::string("\xFE\xFF\xFF\xFF"));
    EXPECT_EQ(ReadBack<TQvCInteger>(target, Record(i))->AsInteger(), -2);

    auto* d = MakeCell<TQvCDouble>(sheet, {3, 0});
    d->SetAsFloat(1.0);
    EXPECT_EQ(Record(d).substr(BaseRecord(d).size()), std::string("\0\0\0\0\0\0\xF0\x3F", 8));
    d->SetAsFloat(-0.1);
    EXPECT_EQ(ReadBack<TQvCDouble>(target, Record(d))->AsFloat(), -0.1);

    auto* c = MakeCell<TQvCCurrency>(sheet, {4, 0});
    c->SetAsCurrency(Currency::FromScaled(12345));
    EXPECT_EQ(Record(c).substr(BaseRecord(c).size()), std::string("\x39\x30\0\0\0\0\0\0", 8));
    EXPECT_EQ(ReadBack<TQvCCurrency>(target, Record(c))->AsCurrency(), Currency::FromScaled(12345));

    auto* t = MakeCell<TQvCDateTime>(sheet, {5, 0});
    t->SetAsDateTime(45000.25);
    EXPECT_EQ(ReadBack<TQvCDateTime>(target, Record(t))->AsDateTime(), 45000.25);

    auto* b = MakeCell<TQvCBoolean>(sheet, {6, 0});
    b->SetAsBoolean(true);
    EXPECT_EQ(Record(b).substr(BaseRecord(b).size()), std::string("\1\0\0\0", 4));
    EXPECT_TRUE(ReadBack<TQvCBoolean>(target, Record(b))->AsBoolean());

    // Reading stores the values without marking the target modified.
    target.SetModified(false);
    ReadBack<TQvCInteger>(target, Record(i));
    EXPECT_FALSE(target.Modified());
}

TEST(TypedCells, PictureRecords) {
    TQvSheet sheet;
    auto* empty = MakeCell<TQvCPicture>(sheet, {0, 0});
    EXPECT_EQ(Record(empty), BaseRecord(empty) + std::string(1, '\0'));

    auto* p = MakeCell<TQvCPicture>(sheet, {1, 0});
    TIcon icon;
    icon.LoadFromBytes(test::MakeIco(16, 32));
    p->SetAsObject(&icon);
    const std::string rec = Record(p);
    EXPECT_EQ(rec.substr(BaseRecord(p).size(), 7), std::string("\1\5TIcon"));

    TQvSheet target;
    target.SetModified(false);
    auto* p2 = ReadBack<TQvCPicture>(target, rec);
    ASSERT_NE(p2->Picture()->Graphic(), nullptr);
    EXPECT_TRUE(p2->Picture()->Graphic()->Equals(icon));
    EXPECT_FALSE(target.Modified());
    // The notification is hooked again after reading.
    p2->SetAsObject(nullptr);
    EXPECT_EQ(p2->Picture()->Graphic(), nullptr);
    EXPECT_TRUE(target.Modified());

    // A stored empty picture reads back empty over an existing graphic.
    auto* p3 = ReadBack<TQvCPicture>(target, rec);
    TMemoryStream s(Record(empty));
    p3->ReadFromStream(s);
    EXPECT_EQ(p3->Picture()->Graphic(), nullptr);
}

// Every shorter prefix of a record raises a stream or graphic error.
template <class T>
void ExpectTruncationFails(TQvSheet& Target, const std::string& Rec) {
    for (size_t n = 0; n < Rec.size(); ++n) {
        T* c = MakeCell<T>(Target, NextFreePoint());
        TMemoryStream s(Rec.substr(0, n));
        try {
            c->ReadFromStream(s);
            ADD_FAILURE() << T::StaticClass()->Name << " read a record cut at " << n << " of " << Rec.size();
        } catch (const EReadError&) {
        } catch (const EInvalidGraphic&) {
        }
        EXPECT_LE(s.Position(), static_cast<int64_t>(n));
    }
}

TEST(TypedCells, TruncatedAndCorruptRecordsRaise) {
    TQvSheet sheet;
    TQvSheet target;
    auto* s = MakeCell<TQvCString>(sheet, {0, 0});
    s->SetAsString("abc");
    ExpectTruncationFails<TQvCString>(target, Record(s));
    auto* p = MakeCell<TQvCStrings>(sheet, {1, 0});
    p->SetAsString("a\r\nb");
    ExpectTruncationFails<TQvCStrings>(target, Record(p));
    ExpectTruncationFails<TQvCInteger>(target, Record(MakeCell<TQvCInteger>(sheet, {2, 0})));
    ExpectTruncationFails<TQvCDouble>(target, Record(MakeCell<TQvCDouble>(sheet, {3, 0})));
    ExpectTruncationFails<TQvCCurrency>(target, Record(MakeCell<TQvCCurrency>(sheet, {4, 0})));
    ExpectTruncationFails<TQvCDateTime>(target, Record(MakeCell<TQvCDateTime>(sheet, {5, 0})));
    ExpectTruncationFails<TQvCBoolean>(target, Record(MakeCell<TQvCBoolean>(sheet, {6, 0})));
    auto* pic = MakeCell<TQvCPicture>(sheet, {7, 0});
    TBitmap bmp;
    bmp.LoadFromBytes(test::MakeBmp(3, 2));
    pic->SetAsObject(&bmp);
    ExpectTruncationFails<TQvCPicture>(target, Record(pic));

    const std::string base = BaseRecord(pic);
    auto* c = MakeCell<TQvCPicture>(target, {9, 9});
    {
        TMemoryStream unknown(base + std::string("\1\4TFoo\0\0\0\0", 10));
        EXPECT_THROW(c->ReadFromStream(unknown), EInvalidGraphic);
    }
    {
        TMemoryStream tooLong(base + "\1" + std::string(1, char(64)) + std::string(64, 'A'));
        EXPECT_THROW(c->ReadFromStream(tooLong), EInvalidGraphic);
    }
    EXPECT_EQ(c->Picture()->Graphic(), nullptr);
}

TEST(TypedCells, FilerHandlesOnlyTheBinaryDataProperty) {
    TMemoryStream s;
    TQvFiler writer(s, false);
    EXPECT_EQ(writer.BufSize(), 4096);
    int writes = 0;
    writer.DefineBinaryProperty("Other", nullptr, [&](TStream&) { ++writes; }, true);
    writer.DefineBinaryProperty("Data", nullptr, [&](TStream& S) { ++writes; S.WriteByte(7); }, true);
    writer.DefineBinaryProperty("Data", nullptr, [&](TStream&) { ++writes; }, false);
    EXPECT_EQ(s.Bytes(), std::string("\1\7\0", 3));
    EXPECT_EQ(writes, 1);

    s.SetPosition(0);
    TQvFiler reader(s, true);
    int reads = 0;
    reader.DefineBinaryProperty("Data", [&](TStream& S) { ++reads; EXPECT_EQ(S.ReadByte(), 7); }, nullptr, false);
    reader.DefineBinaryProperty("Data", [&](TStream&) { ++reads; }, nullptr, false);
    EXPECT_EQ(reads, 1);
    EXPECT_THROW(reader.DefineBinaryProperty("Data", nullptr, nullptr, false), EReadError);
}


TEST(TypedCells, ANumberOrDateCellCanHoldNoValue) {
    TQvSheet sheet;
    std::vector<TQvCell*> cells = {MakeCell<TQvCInteger>(sheet), MakeCell<TQvCDouble>(sheet),
                                   MakeCell<TQvCCurrency>(sheet), MakeCell<TQvCDateTime>(sheet)};
    for (TQvCell* c : cells) {
        c->SetFormat("0.00");
        c->SetValue(TVariant(0.0));
        sheet.SetModified(false);
        c->SetValue(TVariant());  // no value differs from 0
        EXPECT_TRUE(sheet.Modified());
        EXPECT_TRUE(c->GetValue().IsEmpty());
        EXPECT_EQ(c->GetText(), "");
        EXPECT_EQ(CellValueText(c, true), "");
        EXPECT_EQ(c->Format(), "0.00");
        c->SetValue(TVariant(0.0));  // and 0 again differs from no value
        EXPECT_FALSE(c->GetValue().IsEmpty());
        EXPECT_NE(c->GetText(), "");
    }
}

}  // namespace
}  // namespace qv
