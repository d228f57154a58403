#include "grids/pro.h"

#include <gtest/gtest.h>

#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "grids/manager.h"
#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/stream.h"

namespace qv {
namespace {

// A free-standing property set: its own lines, its own class, and an
// optional parent set standing in for a named style.
class TTestPro : public TQvPro {
public:
    explicit TTestPro(bool AlwaysNotify = false, TQvPro* Parent = nullptr) : TQvPro(nullptr), FParent(Parent) {
        if (AlwaysNotify) IncludeState(psAlwaysNotify);
    }
    TQvStyle* GetStyle() const override { return nullptr; }
    void SetStyle(TQvStyle*) override {}
    TClass GetCellClass() const override { return FCls; }
    void SetCellClass(TClass C) override {
        if (!FFixedClass) FCls = C;
    }
    TQvLine GetLine(int Index, bool& IsAssigned) const override {
        IsAssigned = FLineAssigned;
        return Index >= 0 && Index < 10 ? FLines[Index] : 0;
    }
    void SetLine(int Index, TQvLine Value) override {
        if (Index >= 0 && Index < 10) FLines[Index] = Value;
        ++LineWrites;
    }
    // The parent is reached like a named style.
    TQvPro* FindSource(int Id) override {
        if (TQvPro* p = TQvPro::FindSource(Id)) return p;
        return FParent && FParent->Assigned().Has(Id) ? FParent : nullptr;
    }
    void Changed(int Id) override {
        TQvPro::Changed(Id);
        ++Notifications;
    }

    TClass FCls = nullptr;
    bool FFixedClass = false;
    bool FLineAssigned = true;
    TQvLine FLines[10] = {};
    TQvPro* FParent;
    int LineWrites = 0;
    int Notifications = 0;
};

std::string Record(TQvPro& P) {
    TMemoryStream s;
    P.WriteToStream(s);
    return s.Bytes();
}

std::string Int32(int32_t V) {
    TMemoryStream s;
    s.WriteInt32(V);
    return s.Bytes();
}

TEST(QvProTest, NewSetWritesTwoZeroBytes) {
    TTestPro p;
    EXPECT_TRUE(p.Assigned().IsEmpty());
    EXPECT_FALSE(p.HasFont());
    EXPECT_EQ(Record(p), std::string(2, '\0'));
}

TEST(QvProTest, SetterRuleWithAndWithoutAlwaysNotify) {
    TTestPro cell;
    cell.SetProtected(false);
    cell.SetShowing(true);
    cell.SetLayout(TQvLayout{});
    cell.SetFormat("");
    EXPECT_TRUE(cell.Assigned().IsEmpty());
    EXPECT_EQ(cell.Notifications, 0);
    cell.SetHAlign(haRight);
    EXPECT_TRUE(cell.Assigned().Has(piLayout));
    EXPECT_EQ(cell.Layout().HAlign, haRight);
    cell.SetShowing(false);
    EXPECT_TRUE(cell.HasState(psHidden));
    EXPECT_TRUE(cell.Assigned().Has(piShowing));

    TTestPro style(true);
    style.SetProtected(false);
    style.SetFormat("");
    EXPECT_TRUE(style.Assigned().Has(piProtect));
    EXPECT_TRUE(style.Assigned().Has(piControl));
}

TEST(QvProTest, SilentRecordsNothing) {
    TTestPro p;
    p.IncludeState(psSilent);
    p.SetProtected(true);
    EXPECT_TRUE(p.Protected());
    EXPECT_TRUE(p.Assigned().IsEmpty());
}

TEST(QvProTest, ColorAndBorderPacking) {
    TTestPro p;
    EXPECT_EQ(p.Color(), clNone);
    p.SetColor(clRed);
    EXPECT_EQ(p.FLines[liFillColor], PackLine(lsSingle, clRed));
    EXPECT_EQ(p.Color(), clRed);
    p.SetColor(clNone);
    EXPECT_EQ(p.FLines[liFillColor], 0u);

    p.SetBorder(liTop, {lsDouble, clBlue});
    EXPECT_EQ(p.Border(liTop), (TQvLineInfo{lsDouble, clBlue}));
    EXPECT_EQ(p.BorderSet(), 1u << liTop);
    p.SetBorder(liTop, {lsNone, clBlue});
    EXPECT_EQ(p.FLines[liTop], 0u);
    p.SetBorder(liTop, {lsSingle, clBlue});
    p.SetBorder(liTop, {lsSingle, clNone});
    EXPECT_EQ(p.FLines[liTop], 0u);

    // A line that is present but not defined for the whole area is not in
    // the border set.
    p.SetBorder(liLeft, {lsSingle, clBlack});
    p.FLineAssigned = false;
    EXPECT_EQ(p.BorderSet(), 0u);

    p.SetFrame(0x85);  // only the low seven bits count
    EXPECT_EQ(p.Frame(), 5);
}

TEST(QvProTest, CopyingBorderCopiesOnlyPresentLines) {
    TTestPro src, dst;
    dst.SetBorder(liLeft, {lsSingle, clRed});
    dst.SetBorder(liBottom, {lsMedium, clGreen});
    const int writes = dst.LineWrites;
    dst.AssignProperty(&src, piBorder);
    EXPECT_EQ(dst.LineWrites, writes);
    EXPECT_EQ(dst.Border(liLeft), (TQvLineInfo{lsSingle, clRed}));

    src.SetBorder(liBottom, {lsDouble, clBlue});
    dst.AssignProperty(&src, piBorder);
    EXPECT_EQ(dst.Border(liLeft), (TQvLineInfo{lsSingle, clRed}));
    EXPECT_EQ(dst.Border(liBottom), (TQvLineInfo{lsDouble, clBlue}));
}

TEST(QvProTest, AssignMarksOnlyDifferingProperties) {
    TTestPro src, dst;
    src.SetProtected(true);
    src.SetIndent(4);
    dst.SetShowing(false);  // assigned before, equal to nothing in src
    dst.Assign(&src);
    EXPECT_TRUE(dst.Protected());
    EXPECT_EQ(dst.Layout().Indent, 4);
    EXPECT_TRUE(dst.Showing());
    TQvProps expected;
    expected.Include(piLayout);
    expected.Include(piProtect);
    expected.Include(piShowing);  // it differed: hidden became shown
    EXPECT_EQ(dst.Assigned(), expected);

    TFont notAPro;
    EXPECT_THROW(dst.Assign(&notAPro), EConvertError);
}

TEST(QvProTest, ControlCopiesIndexAndFormatOnlyWhenTheClassTakes) {
    TTestPro src, dst;
    src.FCls = TQvCInteger::StaticClass();
    src.SetEditorIndex(1);
    src.SetFormat("0");
    dst.FCls = TQvCString::StaticClass();
    dst.FFixedClass = true;
    dst.AssignProperty(&src, piControl);
    EXPECT_EQ(dst.EditorIndex(), 0);
    EXPECT_EQ(dst.Format(), "");

    dst.FFixedClass = false;
    dst.AssignProperty(&src, piControl);
    EXPECT_EQ(dst.GetCellClass(), TQvCInteger::StaticClass());
    EXPECT_EQ(dst.EditorIndex(), 1);
    EXPECT_EQ(dst.Format(), "0");
}

TEST(QvProTest, EditorIndexIsLimitedToTheClassEditors) {
    TTestPro p;
    p.FCls = TQvCString::StaticClass();  // three editors
    p.SetEditorIndex(2);
    EXPECT_EQ(p.EditorIndex(), 2);
    p.SetEditorIndex(3);
    EXPECT_EQ(p.EditorIndex(), 0);
    p.SetEditorIndex(-1);
    EXPECT_EQ(p.EditorIndex(), 0);
    p.FCls = nullptr;
    p.SetEditorIndex(1);
    EXPECT_EQ(p.EditorIndex(), 0);
}

TEST(QvProTest, InheritedValuesStayOutOfAssigned) {
    TTestPro parent;
    parent.SetProtected(true);
    parent.Font()->SetName("Arial");
    TTestPro child(false, &parent);
    child.InheritProperty(piProtect);
    EXPECT_TRUE(child.Protected());
    EXPECT_TRUE(child.Assigned().IsEmpty());
    EXPECT_FALSE(child.HasState(psSilent));

    // The lazy font starts as the supplier's copy; a later change is the
    // set's own.
    EXPECT_EQ(child.Font()->Name(), "Arial");
    EXPECT_TRUE(child.Assigned().IsEmpty());
    child.Font()->SetHeight(-20);
    EXPECT_TRUE(child.Assigned().Has(piFont));
    EXPECT_EQ(parent.Font()->Height(), -11);
}

TEST(QvProTest, SetFontNotifiesDirectlyOnlyWithAlwaysNotify) {
    TFont same;
    TTestPro cell;
    cell.SetFont(&same);
    EXPECT_FALSE(cell.Assigned().Has(piFont));
    TTestPro style(true);
    style.SetFont(&same);
    EXPECT_TRUE(style.Assigned().Has(piFont));
}

TEST(QvProTest, RecordBytes) {
    TTestPro p;
    p.FCls = TQvCDouble::StaticClass();
    p.SetLayout({haCenter, vaBottom, 3, wmWrapWords});
    p.SetProtected(true);
    p.SetEditorIndex(1);
    p.SetFormat(QvManager().Formats(TQvCDouble::StaticClass())->Strings(2));
    std::string expected;
    expected += std::string("\x07\x00", 2);  // Control, Layout, Protect
    expected += Int32(static_cast<int32_t>(p.Layout().Pack()));
    expected += '\x01';
    expected += Int32(1) + Int32(2);  // editor index, format index
    EXPECT_EQ(Record(p), expected);

    // A format outside the list is written as -1 and the text; only a set
    // that always notifies carries the class identifier.
    p.SetFormat("0.000");
    p.IncludeState(psAlwaysNotify);
    const std::string tail = Int32(TQvManager::ClassId(TQvCDouble::StaticClass())) + Int32(1) + Int32(-1) +
                             Int32(5) + "0.000";
    const std::string bytes = Record(p);
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
}

TEST(QvProTest, RecordRoundTrip) {
    TTestPro p(true);
    p.FCls = TQvCDateTime::StaticClass();
    p.SetFormat("DD.MM.YY");
    p.SetEditorIndex(1);
    p.Font()->SetName("Courier");
    p.Font()->SetStyle({fsBold, fsStrikeOut});
    p.Font()->SetColor(clRed);
    p.SetWrapMode(wmEllipsis);
    TMemoryStream s;
    p.WriteToStream(s);

    TTestPro q(true);
    s.SetPosition(0);
    q.ReadFromStream(s);
    EXPECT_EQ(s.Position(), s.Size());
    EXPECT_EQ(q.Assigned(), p.Assigned());
    EXPECT_EQ(q.GetCellClass(), TQvCDateTime::StaticClass());
    EXPECT_EQ(q.Format(), "DD.MM.YY");
    EXPECT_EQ(q.EditorIndex(), 1);
    EXPECT_TRUE(q.Font()->Equals(*p.Font()));
    EXPECT_EQ(q.Layout(), p.Layout());
}

TEST(QvProTest, BadRecordsRaiseReadErrors) {
    TTestPro p(true);
    p.FCls = TQvCInteger::StaticClass();
    p.SetFormat("0");
    p.Font()->SetName("Arial");
    p.SetProtected(true);
    const std::string good = Record(p);
    // Every cut of the record ends early somewhere.
    for (size_t n = 0; n < good.size(); ++n) {
        TMemoryStream s(good.substr(0, n));
        TTestPro q(true);
        EXPECT_THROW(q.ReadFromStream(s), EReadError) << "cut at " << n;
    }

    // A format index beyond the class's list.
    {
        TMemoryStream s(std::string("\x01\x00", 2) + Int32(TQvManager::ClassId(TQvCInteger::StaticClass())) +
                        Int32(0) + Int32(7));
        TTestPro q(true);
        try {
            q.ReadFromStream(s);
            FAIL() << "no error";
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find("Format index 7"), std::string::npos) << e.what();
        }
    }
    // A format index for a set without a class.
    {
        TMemoryStream s(std::string("\x01\x00", 2) + Int32(0) + Int32(0));
        TTestPro q;
        EXPECT_THROW(q.ReadFromStream(s), EReadError);
    }
    // A class identifier no class has means no class; the record reads on.
    {
        TMemoryStream s(std::string("\x01\x00", 2) + Int32(12345) + Int32(3) + Int32(-1) + Int32(0));
        TTestPro q(true);
        q.ReadFromStream(s);
        EXPECT_EQ(q.GetCellClass(), nullptr);
        EXPECT_EQ(s.Remaining(), 0);
    }
}

}  // namespace
}  // namespace qv
