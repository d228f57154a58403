// The pick boxes and the linked font boxes as a user types and chooses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QTest>

#include "designer/font_boxes.h"
#include "designer/pick_box.h"

using namespace qv;

namespace {

void Retype(QLineEdit* Edit, const char* Text) {
    Edit->selectAll();
    QTest::keyClick(Edit, Qt::Key_Backspace);
    QTest::keyClicks(Edit, QString::fromLatin1(Text));
}

TEST(PickBoxTest, SimpleStyleSelectsTypedItemIgnoringCase) {
    TPickBox box(nullptr, csSimple);
    box.resize(200, 150);
    for (const char* name : {"Heading", "Money", "Note"}) box.AddItem(QString::fromLatin1(name));
    box.show();
    int clicks = 0, changes = 0;
    QList<char32_t> keys;
    box.OnClick = [&](TObject*) { ++clicks; };
    box.OnChange = [&](TObject*) { ++changes; };
    box.OnKeyPress = [&](TObject*, char32_t& Key) { keys << Key; };
    ASSERT_TRUE(box.EditControl() && box.ListControl() && box.ListControl()->isVisible());

    QTest::keyClicks(box.EditControl(), QStringLiteral("mon"));
    EXPECT_EQ(box.ItemIndex(), -1);
    QTest::keyClicks(box.EditControl(), QStringLiteral("EY"));
    EXPECT_EQ(box.ItemIndex(), 1);
    EXPECT_EQ(box.Text(), QStringLiteral("Money"));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(changes, 5);
    QTest::keyClick(box.EditControl(), Qt::Key_S);  // "Moneys" names no item
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(box.Text(), QStringLiteral("Moneys"));
    QTest::keyClick(box.EditControl(), Qt::Key_Return);
    EXPECT_EQ(keys.last(), char32_t(13));

    // A click on a line chooses it.
    QListView* list = box.ListControl();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, list->visualRect(list->model()->index(2, 0)).center());
    EXPECT_EQ(box.ItemIndex(), 2);
    EXPECT_EQ(box.Text(), QStringLiteral("Note"));
    EXPECT_EQ(clicks, 2);
    // Deleting the chosen line leaves nothing chosen.
    box.DeleteItem(2);
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(box.Count(), 2);
}

TEST(PickBoxTest, SortedBoxInsertsInOrderAndStyleChangeKeepsItems) {
    TPickBox box;
    for (const char* name : {"pear", "banana"}) box.AddItem(QString::fromLatin1(name));
    box.SetItemIndex(0);
    box.SetSorted(true);  // sorts what is there, keeping the choice
    EXPECT_EQ(box.Item(0), QStringLiteral("banana"));
    EXPECT_EQ(box.ItemIndex(), 1);
    box.DeleteItem(0);
    for (const char* name : {"Apple", "fig"}) box.AddItem(QString::fromLatin1(name));
    EXPECT_EQ(box.Item(0), QStringLiteral("Apple"));
    EXPECT_EQ(box.Item(2), QStringLiteral("pear"));
    EXPECT_EQ(box.ItemIndex(), 2);
    box.SetItemIndex(1);
    box.SetStyle(csSimple);
    EXPECT_EQ(box.Count(), 3);
    EXPECT_EQ(box.ItemIndex(), 1);
    EXPECT_EQ(box.Text(), QStringLiteral("fig"));
}

class FontBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        Form.resize(400, 100);
        Fonts = new TFontBox(&Form);
        Outlines = new TFontOutlineBox(&Form);
        Sizes = new TFontSizeBox(&Form);
        Fonts->setGeometry(0, 0, 180, 24);
        Outlines->setGeometry(190, 0, 100, 24);
        Sizes->setGeometry(300, 0, 60, 24);
        Fonts->SetOutlineBox(Outlines);
        Fonts->SetSizeBox(Sizes);
        Fonts->OnFontChange = [this](TObject*) { ++FontChanges; };
        Form.show();
    }

    QWidget Form;
    TFontBox* Fonts = nullptr;
    TFontOutlineBox* Outlines = nullptr;
    TFontSizeBox* Sizes = nullptr;
    int FontChanges = 0;
};

TEST_F(FontBoxTest, SizeBoxClampsAndTakesTypedSizes) {
    Sizes->SetFontSize(0);
    EXPECT_EQ(Sizes->FontSize(), 1);
    EXPECT_EQ(Sizes->Text(), QStringLiteral("1"));
    EXPECT_EQ(Fonts->SelFont().Size(), 1);

    Retype(Sizes->EditControl(), "9");
    EXPECT_EQ(Sizes->FontSize(), 9);
    EXPECT_EQ(Sizes->ItemIndex(), -1);  // 9 is not in the list
    EXPECT_EQ(Fonts->SelFont().Size(), 9);
    QTest::keyClicks(Sizes->EditControl(), QStringLiteral("x-"));  // dropped
    EXPECT_EQ(Sizes->Text(), QStringLiteral("9"));
    Retype(Sizes->EditControl(), "12");
    EXPECT_EQ(Sizes->ItemIndex(), 4);
    EXPECT_EQ(Fonts->SelFont().Size(), 12);

    // Text that is no number (pasted) changes nothing and raises nothing.
    QApplication::clipboard()->setText(QStringLiteral("ab"));
    Sizes->EditControl()->selectAll();
    Sizes->EditControl()->paste();
    QTest::keyClick(Sizes->EditControl(), Qt::Key_End);
    QTest::keyClick(Sizes->EditControl(), Qt::Key_Backspace);
    EXPECT_EQ(Sizes->FontSize(), 12);
}

TEST_F(FontBoxTest, OutlineBoxKeepsUnderlineOfTheFont) {
    Fonts->SelFont().SetStyle({fsUnderline});
    EXPECT_EQ(Outlines->FontStyles(), TFontStyles({fsUnderline}));
    EXPECT_EQ(Outlines->ItemIndex(), 0);
    QTest::keyClick(Outlines->ComboControl(), Qt::Key_End);  // "Bold Italic"
    EXPECT_EQ(Outlines->ItemIndex(), 3);
    EXPECT_EQ(Fonts->SelFont().Style(), TFontStyles({fsBold, fsItalic, fsUnderline}));
    Fonts->SelFont().SetStyle({fsItalic, fsStrikeOut});
    EXPECT_EQ(Outlines->ItemIndex(), 2);
    EXPECT_EQ(Outlines->Item(Outlines->ItemIndex()), QStringLiteral("Italic"));
}

TEST_F(FontBoxTest, TypedFamilyBecomesTheFontWhetherInstalledOrNot) {
    ASSERT_GT(Fonts->Count(), 0);
    const QString family = Fonts->Item(0);
    Retype(Fonts->EditControl(), qPrintable(family.toUpper()));
    EXPECT_EQ(Fonts->ItemIndex(), 0);
    EXPECT_EQ(Fonts->Text(), family);

    Retype(Fonts->EditControl(), "No Such Family");
    EXPECT_EQ(Fonts->ItemIndex(), -1);
    EXPECT_EQ(Fonts->Text(), QStringLiteral("No Such Family"));
    EXPECT_EQ(Fonts->SelFont().Name(), "No Such Family");
    EXPECT_GT(FontChanges, 0);

    TFont font;
    font.SetName(family.toStdString());
    font.SetSize(20);
    font.SetStyle({fsBold});
    Fonts->SetSelFont(font);
    EXPECT_EQ(Fonts->Text(), family);
    EXPECT_EQ(Sizes->Text(), QStringLiteral("20"));
    EXPECT_EQ(Outlines->ItemIndex(), 1);
}

TEST_F(FontBoxTest, AFontEqualToTheBoxsOwnIsShownWithoutAChange) {
    // A font equal to the starting one: the box and its size box still
    // show it, and nothing reports a change.
    TFontBox fresh(&Form, csSimple);
    TFontSizeBox size(&Form);
    fresh.SetSizeBox(&size);
    int changes = 0;
    fresh.OnFontChange = [&](TObject*) { ++changes; };
    TFont font;
    fresh.SetSelFont(font);
    EXPECT_EQ(fresh.Text(), QString::fromStdString(font.Name()));
    EXPECT_EQ(size.Text(), QString::number(font.Size()));
    EXPECT_EQ(changes, 0);

    // An installed family shown as its line, again after the edit was
    // cleared behind the font's back.
    ASSERT_GT(fresh.Count(), 1);
    font.SetName(fresh.Item(1).toStdString());
    fresh.SetSelFont(font);
    EXPECT_EQ(changes, 1);
    fresh.SetItemIndex(-1);
    fresh.SetSelFont(font);
    EXPECT_EQ(fresh.ItemIndex(), 1);
    EXPECT_EQ(changes, 1);
}

TEST_F(FontBoxTest, LinksFormAStarAndLetGoOfRemovedBoxes) {
    TFontBox other(&Form);
    other.SetSizeBox(Sizes);  // the size box leaves the first font box
    EXPECT_EQ(Fonts->SizeBox(), nullptr);
    EXPECT_EQ(Sizes->FontBox(), &other);
    delete Outlines;
    EXPECT_EQ(Fonts->OutlineBox(), nullptr);
    Fonts->SelFont().SetStyle({fsBold});  // no linked box left to update
    EXPECT_EQ(Sizes->FontBox(), &other);
}

TEST(FontListTest, SortedFamiliesWithOutlineMark) {
    const auto& list = FontList();
    ASSERT_FALSE(list.empty());
    for (size_t i = 1; i < list.size(); ++i)
        EXPECT_LT(list[i - 1].Name.compare(list[i].Name, Qt::CaseInsensitive), 0);
    // The test machine has the DejaVu outline fonts.
    auto dejavu = std::find_if(list.begin(), list.end(), [](const TFontFamily& F) { return F.Name == "DejaVu Sans"; });
    ASSERT_NE(dejavu, list.end());
    EXPECT_TRUE(dejavu->Flags & ffOutlineFont);
    EXPECT_TRUE(dejavu->Flags & ffRegular);
    EXPECT_TRUE(dejavu->Flags & ffBold);

    TFontBox box;
    const int index = box.IndexOf(QStringLiteral("DejaVu Sans"));
    QImage image(200, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    box.DrawItem(painter, index, QRect(0, 0, 200, 16), false);
    painter.end();
    int marked = 0;
    for (int x = 0; x < OutlineMarkWidth; ++x)
        for (int y = 0; y < 16; ++y) marked += QColor(image.pixel(x, y)) != QColor(Qt::white);
    EXPECT_GT(marked, 10);
}

}  // namespace
