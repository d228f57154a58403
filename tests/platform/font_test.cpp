#include "platform/font.h"

#include <gtest/gtest.h>

#include "platform/brush.h"
#include "platform/exceptions.h"

using namespace qv;

namespace {
// Counts change notifications and checks the sender.
struct TCounter {
    int Count = 0;
    template <typename T>
    void Attach(T& Obj) {
        Obj.OnChange = [this, &Obj](TObject* Sender) {
            EXPECT_EQ(Sender, &Obj);
            ++Count;
        };
    }
};
}  // namespace

TEST(Font, NewFontHasTheStoredDefaults) {
    TFont f;
    EXPECT_EQ(f.Name(), "MS Sans Serif");
    EXPECT_EQ(f.Height(), -11);
    EXPECT_EQ(f.Size(), 8);
    EXPECT_EQ(f.Charset(), DEFAULT_CHARSET);
    EXPECT_EQ(f.Color(), clWindowText);
    EXPECT_TRUE(f.Style().Empty());
    EXPECT_EQ(f.ClassName(), "TFont");
}

TEST(Font, SizeAndHeightConvertAt96DotsPerInchRoundingHalfAwayFromZero) {
    TFont f;
    const std::pair<int, int> sizes[] = {{8, -11}, {10, -13}, {12, -16}, {20, -27}, {72, -96}, {1, -1}};
    for (auto [size, height] : sizes) {
        f.SetSize(size);
        EXPECT_EQ(f.Height(), height) << size;
        EXPECT_EQ(f.Size(), size) << size;
    }
    f.SetHeight(-14);  // 10.5 points
    EXPECT_EQ(f.Size(), 11);
    f.SetHeight(-15);  // 11.25 points
    EXPECT_EQ(f.Size(), 11);
    f.SetHeight(16);  // a positive (cell) height gives a negative size
    EXPECT_EQ(f.Size(), -12);
    f.SetSize(-12);
    EXPECT_EQ(f.Height(), 16);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(3, 1, -2), -2);
    EXPECT_EQ(MulDiv(5, 1, 0), 0);
}

TEST(Font, NotifiesOncePerRealChange) {
    TFont f;
    TCounter n;
    n.Attach(f);
    f.SetName("MS Sans Serif");
    f.SetSize(8);  // same height
    f.SetColor(clWindowText);
    f.SetStyle({});
    EXPECT_EQ(n.Count, 0);
    f.SetName("Arial");
    f.SetSize(10);
    f.SetStyle(f.Style().Include(fsBold));
    f.SetCharset(ANSI_CHARSET);
    f.SetColor(clRed);
    f.SetPitch(fpFixed);
    EXPECT_EQ(n.Count, 6);
    EXPECT_TRUE(f.Style().Contains(fsBold));
}

TEST(Font, AssignCopiesEverythingButTheHandlerWithOneNotification) {
    TFont a, b;
    b.SetName("Courier New");
    b.SetSize(12);
    b.SetStyle({fsItalic, fsStrikeOut});
    b.SetColor(clBlue);
    b.SetCharset(SYMBOL_CHARSET);
    int bChanges = 0;
    b.OnChange = [&](TObject*) { ++bChanges; };
    TCounter n;
    n.Attach(a);
    a.Assign(b);
    EXPECT_EQ(n.Count, 1);
    EXPECT_TRUE(a.Equals(b));
    EXPECT_EQ(a.Style().Bits(), 0b1010);
    a.Assign(b);  // nothing differs
    EXPECT_EQ(n.Count, 1);
    a.SetSize(14);  // a's handler is still its own
    EXPECT_EQ(n.Count, 2);
    EXPECT_EQ(bChanges, 0);

    TBrush brush;
    try {
        a.Assign(&brush);
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), "Cannot assign a TBrush to a TFont");
    }
    EXPECT_EQ(a.Size(), 14);
}

TEST(FontStyles, BitsFollowTheStoredOrder) {
    EXPECT_EQ((TFontStyles{fsBold, fsStrikeOut}).Bits(), 0b1001);
    EXPECT_EQ(TFontStyles::FromBits(0xFF).Bits(), 0x0F);
    TFontStyles s{fsBold, fsItalic, fsUnderline};
    EXPECT_EQ((s - TFontStyles{fsItalic}).Bits(), 0b0101);
    EXPECT_EQ((s * TFontStyles{fsItalic, fsStrikeOut}), TFontStyles{fsItalic});
    EXPECT_FALSE(s.Exclude(fsBold).Contains(fsBold));
}

TEST(BrushAndPen, NotifyOnRealChangesAndAssignAsOne) {
    TBrush a, b;
    EXPECT_EQ(a.Color(), clWhite);
    EXPECT_EQ(a.Style(), bsSolid);
    TCounter n;
    n.Attach(a);
    a.SetColor(clWhite);
    EXPECT_EQ(n.Count, 0);
    b.SetColor(clBtnFace);
    b.SetStyle(bsClear);
    a.Assign(b);
    EXPECT_EQ(n.Count, 1);
    EXPECT_TRUE(a.Equals(b));

    TPen p, q;
    TCounter m;
    m.Attach(p);
    p.SetWidth(-3);  // stored as 0, a one-pixel pen
    EXPECT_EQ(p.Width(), 0);
    q.SetWidth(3);
    q.SetColor(clRed);
    q.SetStyle(psDot);
    p.Assign(q);
    EXPECT_EQ(m.Count, 2);
    EXPECT_TRUE(p.Equals(q));
    EXPECT_THROW(p.Assign(&a), EConvertError);
}
