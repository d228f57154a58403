// The sheet designer window driven as a person would: its buttons, menu
// items, scale selector, hint bar and colour pop-up, with the file dialogs
// answered by a hook.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QStatusBar>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include "cells/picture_cell.h"
#include "cells/qv_picture.h"
#include "cells/string_cell.h"
#include "designer/color_box.h"
#include "designer/color_tool_button.h"
#include "designer/font_boxes.h"
#include "designer/popup_panel.h"
#include "designer/sheet_designer.h"
#include "designer/tool_icons.h"
#include "grids/cell.h"
#include "grids/selection.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "grids/undo_stack.h"
#include "grids/union.h"
#include "grids/section.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "platform/stream.h"
#include "qt/qt_convert.h"
#include "view/grid.h"

using namespace qv;

namespace {

std::string SheetBytes(TQvSheet& S) {
    TMemoryStream m;
    S.SaveToStream(m);
    return m.Bytes();
}

class SheetDesignerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Sheet.SetStyler(&Styler);
        Sheet.SetColCount(10);
        Sheet.SetRowCount(10);
        Designer = std::make_unique<TQvSheetDesigner>();
        Designer->SetSheet(&Sheet);
        Designer->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Designer.get()));
        SetFileDialogHook([this](const TFileDialogOptions& Options, QString& Name, QWidget*) {
            Asked.push_back(Options.Title);
            if (Answer.isEmpty()) return false;
            Name = Answer;
            return true;
        });
    }
    void TearDown() override {
        SetFileDialogHook(nullptr);
        Designer.reset();
    }

    TQvGrid* Grid() const { return Designer->Grid(); }
    TQvSelection* Sel() const { return Grid()->Selection(); }
    QToolButton* Button(const char* Name) const { return Designer->Button(QString::fromLatin1(Name)); }
    QAction* Item(const char* Name) const {
        QAction* item = Designer->Item(QString::fromLatin1(Name));
        if (!item) throw std::runtime_error(std::string("no menu item ") + Name);
        return item;
    }
    // Selects R (client cells) as a drag from its top-left would.
    void Select(TRect R) {
        TQvView* pane = Grid()->Views(skClient);
        Grid()->SetActiveView(pane);
        pane->SetCurrent({R.Left, R.Top}, true, false);
        pane->SelectRect(R);
    }
    void TypeScale(const QString& Text) {
        QLineEdit* edit = Designer->findChild<QComboBox*>("ScaleSelector")->lineEdit();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, Text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    QString ScaleText() const { return Designer->findChild<QComboBox*>("ScaleSelector")->currentText(); }

    TRecordingMessageService Messages;
    TMessageServiceScope MessageScope{Messages};
    TQvStyler Styler;
    TQvSheet Sheet;
    std::unique_ptr<TQvSheetDesigner> Designer;
    QString Answer;  // what the file dialogs answer; empty: cancelled
    QStringList Asked;
    QTemporaryDir Dir;
};

TEST_F(SheetDesignerTest, TheWindowFollowsItsSheet) {
    EXPECT_EQ(Designer->windowTitle(), "QvSheet Designer");
    for (const char* name : {"StandardBar", "BordersBar", "FormattingBar"})
        EXPECT_TRUE(Designer->findChild<QToolBar*>(name)->isVisible()) << name;
    for (const char* name : {"StylesBar", "HintBar"})
        EXPECT_FALSE(Designer->findChild<QToolBar*>(name)->isVisible()) << name;
    EXPECT_TRUE(Grid()->DesignMode());
    EXPECT_EQ(ScaleText(), "100%");
    EXPECT_EQ(Designer->BorderLine(), (TQvLineInfo{lsSingle, clBackground}));
    // Shown but not offered.
    for (const char* name : {"Print Layout", "Columns Width", "Rows Hide", "Undo", "Redo"})
        EXPECT_FALSE(Item(name)->isEnabled()) << name;
    EXPECT_TRUE(Item("Enter Direction Down")->isChecked());
    Item("Enter Direction Left")->trigger();
    EXPECT_EQ(Grid()->EnterDir(), dLeft);

    Designer->SetSheet(nullptr);
    EXPECT_FALSE(Designer->findChild<QToolBar*>("StandardBar")->isVisible());
    EXPECT_FALSE(Designer->findChild<QLineEdit*>("EHint")->isEnabled());
    for (const char* name : {"Import", "Cells", "Clear All", "Styles", "Insert Image"})
        EXPECT_FALSE(Item(name)->isEnabled()) << name;
    EXPECT_TRUE(Item("About")->isEnabled());
    Designer->SetSheet(&Sheet);
    EXPECT_TRUE(Item("Clear All")->isEnabled());
    EXPECT_TRUE(Item("Cut")->isEnabled());
    EXPECT_FALSE(Item("Columns Width")->isEnabled());
}

TEST_F(SheetDesignerTest, CopyPasteUndoAndInsertThroughAMergedRange) {
    Select({0, 0, 2, 2});
    Sel()->SetValue(TVariant("x"));
    Button("Bold")->click();
    Sel()->SetColor(clYellow);
    Item("Copy")->trigger();
    Select({4, 4, 5, 5});
    const std::string beforePaste = SheetBytes(Sheet);
    Item("Paste")->trigger();
    ASSERT_NE(Sheet.FindCell(5, 5), nullptr);
    EXPECT_EQ(Sheet.FindCell(5, 5)->GetText(), "x");
    EXPECT_TRUE(Sheet.FindCell(5, 5)->Font()->Style().Contains(fsBold));
    EXPECT_EQ(Item("Undo")->text(), "&Undo Paste");
    Item("Undo")->trigger();
    EXPECT_EQ(SheetBytes(Sheet), beforePaste);
    EXPECT_TRUE(Item("Redo")->isEnabled());
    Item("Redo")->trigger();
    ASSERT_NE(Sheet.FindCell(5, 5), nullptr);
    EXPECT_EQ(Sheet.FindCell(5, 5)->GetText(), "x");

    // A row inserted inside a merged range makes it grow; undo gives the
    // sheet back byte for byte.
    Select({1, 6, 3, 8});
    Button("Merge")->click();
    const std::string beforeInsert = SheetBytes(Sheet);
    Select({0, 7, 1, 8});
    Item("Insert Rows")->trigger();
    EXPECT_EQ(Sheet.RowCount(), 11);
    const TQvUnion* u = Sheet.Sections(skClient)->FindUnionAt({1, 6}, true);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->Rect(), (TRect{1, 6, 3, 9}));
    Item("Undo")->trigger();
    EXPECT_EQ(SheetBytes(Sheet), beforeInsert);
    EXPECT_EQ(Sheet.RowCount(), 10);
    // The selection stays where it was.
    EXPECT_EQ(Grid()->Views(skClient)->Current(), (TPoint{0, 7}));

    // A value typed into the grid is one step too.
    Select({8, 8, 9, 9});
    Grid()->BeginEdit();
    ASSERT_NE(Grid()->Editor(), nullptr);
    QTest::keyClicks(Grid()->Editor(), "typed");
    Grid()->EndEdit();
    ASSERT_NE(Sheet.FindCell(8, 8), nullptr);
    EXPECT_EQ(Sheet.FindCell(8, 8)->GetText(), "typed");
    EXPECT_EQ(Sheet.UndoStack().UndoText(), "Typing");
    Item("Undo")->trigger();
    // The editor made the cell when it opened; undoing the value removes it.
    EXPECT_EQ(Sheet.FindCell(8, 8), nullptr);
    // The steps before it still come back.
    EXPECT_EQ(Sheet.UndoStack().UndoText(), "Merge");
    Item("Undo")->trigger();
    EXPECT_EQ(Sheet.Sections(skClient)->FindUnionAt({1, 6}, true), nullptr);
    Item("Redo")->trigger();
    Item("Redo")->trigger();
    ASSERT_NE(Sheet.FindCell(8, 8), nullptr);
    EXPECT_EQ(Sheet.FindCell(8, 8)->GetText(), "typed");

    // An editor opened on an empty position and left untouched leaves no
    // cell behind, so the steps before it still undo.
    Select({9, 9, 10, 10});
    Grid()->BeginEdit();
    ASSERT_NE(Sheet.FindCell(9, 9), nullptr);
    Grid()->EndEdit();
    EXPECT_EQ(Sheet.FindCell(9, 9), nullptr);
    EXPECT_TRUE(Sheet.UndoStack().Undo());
    EXPECT_EQ(Sheet.FindCell(8, 8), nullptr);
}

TEST_F(SheetDesignerTest, TheScaleSelectorTakesTheTypedNumberAndHighlightsWhatItReads) {
    auto* selector = Designer->findChild<QComboBox*>("ScaleSelector");
    EXPECT_EQ(selector->currentIndex(), selector->findText("100%"));
    // "20" is twenty (clamped to 25), not the completion "200%".
    TypeScale("20");
    EXPECT_EQ(Grid()->Scale(), TQvGrid::MinScale);
    EXPECT_EQ(selector->currentIndex(), selector->findText("25%"));
    TypeScale("30");
    EXPECT_EQ(selector->currentIndex(), -1);
}

TEST_F(SheetDesignerTest, TheScaleSelectorTakesTypedAndChosenScales) {
    TypeScale("150");
    EXPECT_EQ(Grid()->Scale(), 150);
    EXPECT_EQ(ScaleText(), "150%");
    Item("Scale 25%")->trigger();
    EXPECT_EQ(Grid()->Scale(), 25);
    EXPECT_EQ(ScaleText(), "25%");
    // Outside the grid's range: clamped, and the selector shows the result.
    TypeScale("10%");
    EXPECT_EQ(Grid()->Scale(), 25);
    EXPECT_EQ(ScaleText(), "25%");
    TypeScale("900");
    EXPECT_EQ(Grid()->Scale(), 500);
    // Not a number: the error box, and nothing changes.
    TypeScale("big");
    EXPECT_EQ(Grid()->Scale(), 500);
    ASSERT_EQ(Messages.Messages().size(), 1u);
    EXPECT_NE(Messages.Messages()[0].Text.find("\"big\" is not a valid integer value"), std::string::npos)
        << Messages.Messages()[0].Text;
}

TEST_F(SheetDesignerTest, FitSelectionChoosesTheLargestScaleThatShowsTheSelection) {
    Designer->resize(700, 500);
    QApplication::processEvents();
    Select({0, 0, 3, 4});
    auto* selector = Designer->findChild<QComboBox*>("ScaleSelector");
    selector->setCurrentIndex(selector->findText("Fit Selection"));
    Designer->SelectScale();
    const int fit = Grid()->Scale();
    EXPECT_GT(fit, 100);
    EXPECT_EQ(ScaleText(), QString::number(fit) + "%");
    // At that scale the selection's far corner is inside the client pane;
    // one more percent would push it out.
    TQvView* pane = Grid()->Views(skClient);
    const int64_t room = pane->width() + Grid()->Views(skCorner)->width();
    const auto need = [&](int Scale) {
        int64_t w = int64_t(Sheet.GetSize(axCols, -1)) * Scale / 100;
        for (int c = 0; c < 3; ++c) w += int64_t(Sheet.GetSize(axCols, c)) * Scale / 100;
        return w;
    };
    const int64_t roomH = pane->height() + Grid()->Views(skCorner)->height();
    const auto needH = [&](int Scale) {
        int64_t h = int64_t(Sheet.GetSize(axRows, -1)) * Scale / 100;
        for (int r = 0; r < 4; ++r) h += int64_t(Sheet.GetSize(axRows, r)) * Scale / 100;
        return h;
    };
    EXPECT_LE(need(fit), room);
    EXPECT_LE(needH(fit), roomH);
    if (fit < TQvGrid::MaxScale) {
        EXPECT_TRUE(need(fit + 1) > room || needH(fit + 1) > roomH);
    }
}

TEST_F(SheetDesignerTest, TheButtonsShowTheSelectionAndToggleIt) {
    Select({1, 1, 3, 3});
    Sel()->Merge();
    Select({1, 1, 3, 3});
    EXPECT_FALSE(Button("Merge")->isEnabled());
    EXPECT_TRUE(Button("Split")->isEnabled());
    EXPECT_TRUE(Button("Merge to lines")->isEnabled());
    Select({5, 5, 6, 6});
    EXPECT_FALSE(Button("Merge")->isEnabled());
    EXPECT_FALSE(Button("Merge to lines")->isEnabled());

    // Left Border is down while the selection has a left line; a click
    // toggles the line.
    Sel()->SetBorder(liLeft, {lsDouble, clRed});
    Designer->UpdateSelProps();
    EXPECT_TRUE(Button("Left Border")->isChecked());
    Button("Left Border")->click();
    EXPECT_EQ(Sel()->Border(liLeft).Style, lsNone);
    EXPECT_FALSE(Button("Left Border")->isChecked());
    Button("Left Border")->click();
    EXPECT_EQ(Sel()->Border(liLeft), Designer->BorderLine());
    Button("First Diagonal")->click();
    EXPECT_EQ(Sel()->Border(liBias1), Designer->BorderLine());

    Button("Bold")->click();
    EXPECT_TRUE(Sel()->Font()->Style().Contains(fsBold));
    Button("Right align")->click();
    EXPECT_EQ(Sel()->Layout().HAlign, 1);
    Select({0, 0, 1, 1});
    EXPECT_FALSE(Button("Bold")->isChecked());
    EXPECT_TRUE(Button("Left align")->isChecked());
    Select({5, 5, 6, 6});
    EXPECT_TRUE(Button("Bold")->isChecked());
    EXPECT_TRUE(Button("Right align")->isChecked());
    Button("Hide")->click();
    EXPECT_FALSE(Sel()->Showing());
}

TEST_F(SheetDesignerTest, DiagonalsAreDrawnAcrossTheirCell) {
    // Cell (2, 2) lies at x 120..179, y 30..44 of the client pane; the
    // first diagonal passes its centre.
    const auto darkNearCentre = [this] {
        const QImage image = Grid()->Views(skClient)->grab().toImage();
        for (int y = 35; y <= 39; ++y)
            for (int x = 148; x <= 152; ++x)
                if (qGray(image.pixel(x, y)) < 80) return true;
        return false;
    };
    Select({2, 2, 3, 3});
    auto* color = Designer->findChild<TColorToolButton*>("BBorderColor");
    color->SetColor(clBlack);
    color->OnClick(color);
    Button("First Diagonal")->click();
    Select({5, 5, 6, 6});
    EXPECT_TRUE(darkNearCentre());
    Select({2, 2, 3, 3});
    Button("First Diagonal")->click();
    Select({5, 5, 6, 6});
    EXPECT_FALSE(darkNearCentre());
}

TEST_F(SheetDesignerTest, ShowingTheSelectionsFontWritesNothingBack) {
    Sheet.NeedCell(0, 0)->SetAsString("a");
    Sheet.NeedCell(0, 0)->Font()->SetName("Liberation Serif");
    const std::string before = SheetBytes(Sheet);
    Select({0, 0, 1, 1});
    Select({2, 2, 3, 3});
    EXPECT_EQ(SheetBytes(Sheet), before);
    EXPECT_EQ(Sheet.FindCell(2, 2), nullptr);
    // Choosing a font does write it.
    auto* fonts = Designer->findChild<TFontBox*>("FontSelector");
    TFont f;
    f.SetName("Liberation Mono");
    f.SetSize(12);
    fonts->SetSelFont(f);
    ASSERT_NE(Sheet.FindCell(2, 2), nullptr);
    EXPECT_EQ(Sheet.FindCell(2, 2)->Font()->Size(), 12);
}

TEST_F(SheetDesignerTest, TheHintEditFollowsTheCurrentCell) {
    Sheet.NeedCell(1, 1)->SetHint("abc");
    auto* hint = Designer->findChild<QLineEdit*>("EHint");
    Select({1, 1, 2, 2});
    EXPECT_EQ(hint->text(), "abc");
    Select({3, 3, 4, 4});
    EXPECT_EQ(hint->text(), "");
    // Showing the hint of an empty position makes no cell and no step.
    EXPECT_EQ(Sheet.FindCell(3, 3), nullptr);
    EXPECT_FALSE(Sheet.UndoStack().CanUndo());
    QTest::keyClicks(hint, "new");
    EXPECT_EQ(Sheet.FindCell(3, 3)->GetHint(), "new");
    QTest::keyClick(hint, Qt::Key_Return);
    EXPECT_EQ(hint->text(), "new");
    // Undoing the typing refreshes the edit, which must not cost the redo.
    while (Sheet.UndoStack().CanUndo()) Item("Undo")->trigger();
    EXPECT_EQ(hint->text(), "");
    while (Sheet.UndoStack().CanRedo()) Item("Redo")->trigger();
    EXPECT_EQ(hint->text(), "new");
}

TEST_F(SheetDesignerTest, TheColourPopupAppliesTheSwatchUnderTheReleasedPointer) {
    Select({0, 0, 2, 2});
    auto* button = Designer->findChild<TColorToolButton*>("BTextColor");
    button->OnDropDown(button);
    TPopupPanel* popup = Designer->PopupColors();
    ASSERT_TRUE(popup->isVisible());
    TColorBox* colors = Designer->Colors();
    const QSize size = colors->size();
    const QPoint first = SwatchRect(size, 3).center();
    const QPoint last = SwatchRect(size, 10).center();
    QTest::mousePress(colors, Qt::LeftButton, {}, first);
    QTest::mouseMove(colors, last);
    EXPECT_EQ(button->Color(), colors->PaletteColor(10));  // the bar follows the pointer
    QTest::mouseRelease(colors, Qt::LeftButton, {}, last);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(Sel()->Font()->Color(), colors->PaletteColor(10));

    // The gap between the swatch rows is no colour.
    auto* fill = Designer->findChild<TColorToolButton*>("BCellColor");
    Sel()->SetColor(clRed);
    fill->OnDropDown(fill);
    const QPoint gap((SwatchRect(size, 24).left() + SwatchRect(size, 24).right()) / 2,
                     (SwatchRect(size, 24).bottom() + SwatchRect(size, 32).top()) / 2);
    ASSERT_EQ(SwatchAt(size, gap), -1);
    QTest::mousePress(colors, Qt::LeftButton, {}, gap);
    QTest::mouseRelease(colors, Qt::LeftButton, {}, gap);
    EXPECT_EQ(Sel()->Color(), clNone);
}

TEST_F(SheetDesignerTest, ClearAllRemovesBordersFillAndCellsButNotWhileEditing) {
    Select({0, 0, 2, 2});
    Sel()->SetValue(TVariant("x"));
    Sel()->SetColor(clYellow);
    Sel()->SetBorder(liTop, {lsSingle, clBlack});
    Sel()->SetBorder(liHInternal, {lsSingle, clBlack});
    Grid()->BeginEdit();
    ASSERT_TRUE(Grid()->Editing());
    Item("Clear All")->trigger();
    // Borders and fill go; the cells stay while one is being edited.
    EXPECT_EQ(Sel()->Border(liTop).Style, lsNone);
    EXPECT_EQ(Sel()->Color(), clNone);
    EXPECT_NE(Sheet.FindCell(1, 1), nullptr);
    Grid()->EndEdit();
    Item("Clear All")->trigger();
    EXPECT_EQ(Sheet.FindCell(1, 1), nullptr);
}

TEST_F(SheetDesignerTest, StylesAndBaseStylesComeFromTheSheet) {
    TQvStyle* money = Styler.AddStyle("Money");
    Button("Styles On / Off")->click();
    EXPECT_TRUE(Designer->findChild<QToolBar*>("StylesBar")->isVisible());
    auto* styles = Designer->findChild<QComboBox*>("CBStyles");
    ASSERT_EQ(styles->count(), 2);
    Select({0, 0, 1, 1});
    styles->setCurrentIndex(1);
    emit styles->activated(1);
    EXPECT_EQ(Sel()->GetStyle(), money);
    Select({1, 1, 2, 2});
    EXPECT_EQ(styles->currentIndex(), 0);
    Select({0, 0, 1, 1});
    EXPECT_EQ(styles->currentText(), "Money");
    styles->setCurrentIndex(0);
    emit styles->activated(0);
    EXPECT_EQ(Sel()->GetStyle(), nullptr);
}

TEST_F(SheetDesignerTest, ExportThenImportGivesBackTheSheet) {
    Select({0, 0, 3, 2});
    Sel()->SetValue(TVariant("text"));
    Sel()->Merge();
    Sel()->SetColor(clAqua);
    Sheet.NeedCell(4, 4)->SetHint("hint");
    const std::string before = SheetBytes(Sheet);
    Answer = Dir.filePath("sheet.qvf");
    Item("Export")->trigger();
    ASSERT_TRUE(Messages.Messages().empty()) << Messages.Messages()[0].Text;
    Select({0, 0, 10, 10});
    Item("Clear All")->trigger();
    ASSERT_NE(SheetBytes(Sheet), before);
    Item("Import")->trigger();
    EXPECT_EQ(SheetBytes(Sheet), before);
    EXPECT_EQ(Asked, (QStringList{"Export Qv File", "Import Qv File"}));
    // Cancelling changes nothing.
    Answer.clear();
    Item("Import")->trigger();
    EXPECT_EQ(SheetBytes(Sheet), before);
}

TEST_F(SheetDesignerTest, AFailedExportLeavesTheOldFileAlone) {
    const QString name = Dir.filePath("old.qvf");
    Sheet.SaveToFile(name.toStdString());
    const std::string old = ReadWholeFile(name.toStdString());
    for (int i = 0; i < 10; ++i) Sheet.NeedCell(i, i)->SetAsString(std::string(500, char('a' + i)));
    // The disk fills midway through the write.
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = 2048;
    const auto handler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Answer = name;
    Item("Export")->trigger();
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, handler);
    ASSERT_EQ(Messages.Messages().size(), 1u);
    EXPECT_EQ(Messages.Messages()[0].Icon, miError);
    EXPECT_EQ(ReadWholeFile(name.toStdString()), old);
}

TEST_F(SheetDesignerTest, PicturesTravelThroughAQvfFile) {
    for (const char* format : {"PNG", "JPG"}) {
        QImage image(24, 16, QImage::Format_RGB32);
        image.fill(QColor(200, 30, 30));
        const QString file = Dir.filePath(QStringLiteral("picture.") + QString::fromLatin1(format).toLower());
        ASSERT_TRUE(image.save(file, format));
        Select({1, 1, 3, 3});
        Answer = file;
        Designer->SelectionMenu()->findChild<QAction*>("Insert Image")->trigger();
        ASSERT_TRUE(Messages.Messages().empty()) << Messages.Messages()[0].Text;
        auto* cell = dynamic_cast<TQvCPicture*>(Sheet.FindCell(1, 1));
        ASSERT_NE(cell, nullptr) << format;
        EXPECT_EQ(cell->Picture()->Width(), 24);

        Answer = Dir.filePath("pictures.qvf");
        Item("Export")->trigger();
        TQvSheet read;
        read.LoadFromFile(Answer.toStdString());
        auto* back = dynamic_cast<TQvCPicture*>(read.FindCell(1, 1));
        ASSERT_NE(back, nullptr) << format;
        EXPECT_EQ(back->Picture()->Height(), 16);
        EXPECT_EQ(read.NeedCell(2, 2), back) << format;  // one merged picture
    }
    // A file that is no picture changes nothing.
    Select({5, 5, 7, 7});
    Answer = Dir.filePath("pictures.qvf");
    Designer->SelectionMenu()->findChild<QAction*>("Insert Image")->trigger();
    EXPECT_EQ(Messages.Messages().size(), 1u);
    EXPECT_EQ(Sheet.FindCell(5, 5), nullptr);
    EXPECT_TRUE(Sel()->IsSingle() || !Sel()->HasUnions());
}

TEST_F(SheetDesignerTest, BackgroundAndAbout) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::green);
    const QString file = Dir.filePath("back.bmp");
    ASSERT_TRUE(image.save(file, "BMP"));
    Answer = file;
    Item("Background Open")->trigger();
    ASSERT_NE(Sheet.Background()->Graphic(), nullptr);
    Item("Background Remove")->trigger();
    EXPECT_EQ(Sheet.Background()->Graphic(), nullptr);
    EXPECT_FALSE(Item("Background Remove")->isEnabled());
    Answer.clear();
    Item("Background Open")->trigger();  // cancelled: the item comes back all the same
    EXPECT_TRUE(Item("Background Remove")->isEnabled());
    EXPECT_EQ(Asked.last(), "Open Background Image");

    Item("About")->trigger();
    ASSERT_EQ(Messages.Messages().size(), 1u);
    EXPECT_EQ(Messages.Messages()[0].Caption, "QvGrid Components");
    EXPECT_EQ(Messages.Messages()[0].Text.rfind("QvSheet Designer 1.0 BETA 2\n", 0), 0u);
}

TEST(FileDialog, ClassicFiltersBecomeQtFilters) {
    EXPECT_EQ(QtFileFilter("Qv File (*.qvf)|*.qvf"), "Qv File (*.qvf)");
    EXPECT_EQ(QtFileFilter("All (*.jpg;*.bmp)|*.jpg;*.bmp|Bitmaps|*.bmp|odd"), "All (*.jpg *.bmp);;Bitmaps (*.bmp)");
    EXPECT_EQ(WithDefaultExtension("/tmp/a", "qvf"), "/tmp/a.qvf");
    EXPECT_EQ(WithDefaultExtension("/tmp/a.bin", "qvf"), "/tmp/a.bin");
}

TEST(ToolIcons, EveryImageIsPaintedAndDistinct) {
    std::vector<QImage> seen;
    for (int i = 0; i < ToolIconCount; ++i) {
        const QImage image = PaintedToolIcon(static_cast<TToolIcon>(i)).toImage();
        ASSERT_EQ(image.size(), QSize(16, 16));
        int inked = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) inked += qAlpha(image.pixel(x, y)) > 0;
        EXPECT_GT(inked, 10) << i;
        for (size_t j = 0; j < seen.size(); ++j) EXPECT_NE(seen[j], image) << i << " looks like " << j;
        seen.push_back(image);
    }
}

}  // namespace

// A merge keeps one line per outer edge: a top edge with mixed lines takes
// the bottom lines of the cells above. The status bar says so, and Undo
// brings them back.
TEST_F(SheetDesignerTest, AMergeNamesTheBorderSegmentsItClearedAndUndoGivesThemBack) {
    for (int x : {0, 2}) {
        Select({x, 7, x + 1, 8});
        Sel()->SetBorder(liBottom, {lsSingle, clBlack});
    }
    const std::string before = SheetBytes(Sheet);
    Select({0, 8, 3, 9});
    Button("Merge")->click();
    const QString status = Designer->statusBar()->currentMessage();
    EXPECT_TRUE(status.startsWith("Merge cleared 2 border segments")) << status.toStdString();
    Item("Undo")->trigger();
    EXPECT_EQ(SheetBytes(Sheet), before);
    // A merge that takes nothing says nothing.
    Designer->statusBar()->clearMessage();
    Select({4, 4, 6, 6});
    Button("Merge")->click();
    EXPECT_TRUE(Designer->statusBar()->currentMessage().isEmpty());
}

// The border buttons draw in the line colour the colour button shows, and
// that colour stands out against the cells.
TEST_F(SheetDesignerTest, TheBorderColourIsVisibleAndShownExactly) {
    auto* button = Designer->findChild<TColorToolButton*>("BBorderColor");
    EXPECT_EQ(button->Color(), Designer->BorderLine().Color);
    const QColor drawn = ToQColor(Designer->BorderLine().Color);
    const QColor cell = QGuiApplication::palette().color(QPalette::Base);
    EXPECT_GT(std::abs(cell.lightness() - drawn.lightness()), 128) << drawn.name().toStdString();
    // The bar on the button is painted in exactly that colour.
    const QImage shot = button->grab().toImage();
    EXPECT_EQ(shot.pixelColor(button->ColorBarRect().center()), drawn);
}

// Choosing a style for cells shows its fill, borders and frame.
TEST_F(SheetDesignerTest, AStyleChosenFromTheStylesBarBringsItsFillBordersAndFrame) {
    TQvStyle* boxed = Styler.AddStyle("Boxed");
    boxed->SetColor(clYellow);
    boxed->SetBorder(liTop, {lsMedium, clRed});
    boxed->SetFrame(frFlatUp);
    Button("Styles On / Off")->click();
    auto* styles = Designer->findChild<QComboBox*>("CBStyles");
    Select({1, 1, 3, 2});
    styles->setCurrentIndex(styles->findText("Boxed"));
    emit styles->activated(styles->currentIndex());
    for (int x : {1, 2}) {
        TQvCell* cell = Sheet.FindCell(x, 1);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->GetStyle(), boxed);
        EXPECT_EQ(cell->Color(), clYellow);
        EXPECT_EQ(cell->Border(liTop), (TQvLineInfo{lsMedium, clRed}));
        EXPECT_EQ(cell->Frame() & 0x7F, frFlatUp);
    }
}

// A paste that fails half-way (here a handler of the sheet raising after
// the first cell changed) leaves the sheet as it was and says why; no
// exception reaches Qt.
TEST_F(SheetDesignerTest, AFailedPasteLeavesTheSheetAndReportsTheError) {
    Select({0, 0, 1, 1});
    Sel()->SetValue(TVariant("kept"));
    Sheet.SetModified(false);
    const std::string before = SheetBytes(Sheet);
    QGuiApplication::clipboard()->setText("a\tb\nc\td\n");
    bool thrown = false;
    Sheet.OnModified = [&](TObject*) {
        if (!std::exchange(thrown, true)) throw std::runtime_error("disk on fire");
    };
    Select({0, 0, 1, 1});
    Item("Paste")->trigger();
    Sheet.OnModified = nullptr;
    ASSERT_TRUE(thrown);
    EXPECT_EQ(SheetBytes(Sheet), before);
    EXPECT_NE(Sheet.UndoStack().UndoText(), "Paste");
    EXPECT_TRUE(Designer->statusBar()->currentMessage().contains("disk on fire"));
}

// Formatting and clearing the selection keep only its area (widened to the
// merged range it meets) for undo, however large the sheet; a merge keeps
// the sheet. Undo and redo give back the sheets exactly.
TEST_F(SheetDesignerTest, FormattingCommandsKeepOnlyTheSelectionsAreaForUndo) {
    Sheet.SetRowCount(2000);
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 10; ++x) Sheet.NeedCell(x, y)->SetAsInteger(x * y);
    Sheet.Sections(skClient)->Merge({5, 5, 7, 7});
    TQvStyle* boxed = Styler.AddStyle("Boxed");
    boxed->SetColor(clYellow);
    Button("Styles On / Off")->click();
    auto* styles = Designer->findChild<QComboBox*>("CBStyles");
    TQvUndoStack& stack = Sheet.UndoStack();
    const size_t sheetBytes = SheetBytes(Sheet).size();
    std::vector<std::string> states{SheetBytes(Sheet)};
    Select({3, 3, 6, 6});
    const std::function<void()> commands[] = {
        [&] { Button("Bold")->click(); },
        [&] { Button("All Borders")->click(); },
        [&] { Button("Right align")->click(); },
        [&] {
            styles->setCurrentIndex(styles->findText("Boxed"));
            emit styles->activated(styles->currentIndex());
        },
        [&] { Item("Clear Cells")->trigger(); },
    };
    for (const auto& command : commands) {
        const int count = stack.Count();
        command();
        ASSERT_EQ(stack.Count(), count + 1);
        EXPECT_TRUE(stack.IsAreaStep(count)) << stack.UndoText();
        states.push_back(SheetBytes(Sheet));
    }
    EXPECT_LT(stack.Bytes(), sheetBytes / 20);
    Button("Merge")->click();
    ASSERT_EQ(stack.Count(), 6);
    EXPECT_FALSE(stack.IsAreaStep(5));
    states.push_back(SheetBytes(Sheet));
    for (size_t i = states.size() - 1; i > 0; --i) {
        Item("Undo")->trigger();
        ASSERT_EQ(SheetBytes(Sheet), states[i - 1]) << i;
    }
    for (size_t i = 1; i < states.size(); ++i) {
        Item("Redo")->trigger();
        ASSERT_EQ(SheetBytes(Sheet), states[i]) << i;
    }
}

TEST_F(SheetDesignerTest, TheToolBarShowsWhatAnUndoneAreaStepPutBack) {
    Select({1, 1, 3, 4});
    Button("Bold")->click();
    ASSERT_TRUE(Button("Bold")->isChecked());
    Item("Undo")->trigger();
    EXPECT_FALSE(Sel()->Font()->Style().Contains(fsBold));
    EXPECT_FALSE(Button("Bold")->isChecked());
    Item("Redo")->trigger();
    EXPECT_TRUE(Button("Bold")->isChecked());
}
