#include "grids/value.h"

#include <gtest/gtest.h>

#include "grids/paint_context.h"
#include "platform/exceptions.h"
#include "platform/recording_canvas.h"

namespace qv {
namespace {

// A value that holds a variant and shows it as its text.
class TTestValue : public TQvValue {
public:
    TTestValue() : TQvValue(nullptr) {}
    TQvStyle* GetStyle() const override { return nullptr; }
    void SetStyle(TQvStyle*) override {}
    TClass GetCellClass() const override { return nullptr; }
    void SetCellClass(TClass) override {}
    TQvLine GetLine(int, bool& A) const override { A = false; return 0; }
    void SetLine(int, TQvLine) override {}
    TVariant GetValue() override { return FV; }
    void SetValue(const TVariant& V) override {
        FV = V;
        ValueChanged();
    }
    std::string GetText() override { return FV.AsString(); }
    TVariant FV;
};

// A value with no value of its own.
class TPlainValue : public TTestValue {
public:
    TVariant GetValue() override { return TQvValue::GetValue(); }
    void SetValue(const TVariant& V) override { TQvValue::SetValue(V); }
};

TEST(QvValueTest, PlainValueConvertsTheUnassignedVariant) {
    TPlainValue v;
    EXPECT_EQ(v.AsString(), "");
    EXPECT_EQ(v.AsInteger(), 0);
    EXPECT_FALSE(v.AsBoolean());
    EXPECT_EQ(v.AsObject(), nullptr);
    v.SetAsInteger(5);  // nothing stored, but the change is announced
    EXPECT_TRUE(v.HasState(psTextDirty));
    EXPECT_TRUE(v.Assigned().Has(piValue));
}

TEST(QvValueTest, TypedAccessorsMeetInTheVariant) {
    TTestValue v;
    v.SetAsString("12.5");
    EXPECT_DOUBLE_EQ(v.AsFloat(), 12.5);
    v.SetAsBoolean(true);
    EXPECT_EQ(v.AsInteger(), -1);
    v.SetAsDateTime(2.0);
    EXPECT_EQ(v.GetValue().VarType(), varDate);
    EXPECT_DOUBLE_EQ(v.AsDateTime(), 2.0);
    v.SetAsString("abc");
    EXPECT_THROW(v.AsFloat(), EVariantTypeCastError);
}

TEST(QvValueTest, TextIsRebuiltOnlyThroughUpdateText) {
    TTestValue v;
    v.SetAsInteger(42);
    EXPECT_TRUE(v.Text().empty());
    v.UpdateText();
    EXPECT_EQ(v.Text().str(), "42");
    EXPECT_FALSE(v.HasState(psTextDirty));

    TTestValue w;
    w.AssignProperty(&v, piValue);
    EXPECT_EQ(w.AsInteger(), 42);
}

struct DrawCase {
    TQvLayout Layout;
    std::string Text;
    TRect Expected;
    TDrawTextFlags Flags;
};

TEST(QvValueTest, DrawValueFlagsAndVerticalPlacement) {
    constexpr TDrawTextFlags base = DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS;
    const TRect cell{10, 20, 70, 60};  // 40 high; one line is 13
    const DrawCase cases[] = {
        {{haLeft, vaTop, 0, wmClipped}, "ab", cell, base},
        {{haRight, vaBottom, 0, wmEllipsis}, "ab", {10, 47, 70, 60}, base | DT_RIGHT | DT_END_ELLIPSIS},
        {{haCenter, vaCenter, 0, wmWrapWords}, "ab", {10, 33, 70, 60}, base | DT_CENTER | DT_WORDBREAK},
        // Four lines (52) do not fit in 40: the text stays at the top.
        {{haLeft, vaBottom, 0, wmClipped}, "a\nb\nc\nd", cell, base},
        {{haLeft, vaCenter, 0, wmClipped}, "a\nb\nc\nd", cell, base},
    };
    for (const DrawCase& c : cases) {
        TTestValue v;
        v.SetAsString(c.Text);
        v.UpdateText();
        test::TRecordingCanvas canvas;
        TQvPaintContext ctx;
        ctx.Canvas = &canvas;
        ctx.SetLayout(c.Layout);
        v.DrawValue(ctx, cell);
        const auto drawn = canvas.CallsStartingWith("DrawText");
        ASSERT_EQ(drawn.size(), 1u) << c.Text;
        const std::string expected = "DrawText(\"" + c.Text + "\"," + test::TRecordingCanvas::Str(c.Expected) + "," +
                                     test::TRecordingCanvas::Hex(c.Flags) + ")";
        EXPECT_EQ(drawn[0].substr(0, expected.size()), expected);
        // Measuring happens only for the non-top placements, with the same flags.
        const auto measured = canvas.CallsStartingWith("CalcText");
        EXPECT_EQ(measured.size(), c.Layout.VAlign == vaTop ? 0u : 1u);
        if (!measured.empty()) {
            EXPECT_NE(measured[0].find(test::TRecordingCanvas::Hex(c.Flags | DT_CALCRECT)), std::string::npos);
        }
    }

    TTestValue empty;
    test::TRecordingCanvas canvas;
    TQvPaintContext ctx;
    ctx.Canvas = &canvas;
    empty.DrawValue(ctx, cell);
    EXPECT_TRUE(canvas.Calls.empty());
}

}  // namespace
}  // namespace qv
