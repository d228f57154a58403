// The demonstration program's window, built from the program's own source:
// the window is compiled into this test, as it is linked only into TestQv.
#include <gtest/gtest.h>

#include <QMenuBar>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "demo/main_window.cpp"  // NOLINT: the demo's window under test

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "designer/file_dialog.h"
#include "designer/sheet_designer.h"
#include "editors/qv_date_edit.h"
#include "grids/section.h"
#include "grids/union.h"
#include "grids/undo_stack.h"
#include "platform/message_box.h"
#include "platform/string_list.h"

using namespace qv;

namespace {

TEST(Demo, WindowAsStored) {
    TForm1 form;
    EXPECT_EQ(form.windowTitle(), "Untitled[*]");
    EXPECT_FALSE(form.isWindowModified());
    EXPECT_EQ(form.centralWidget(), form.QvGrid);
    EXPECT_EQ(form.QvGrid->Sheet(), form.Sheet.get());
    EXPECT_EQ(form.Sheet->Styler(), form.QvStyler.get());
    EXPECT_EQ(form.Sheet->ColCount(), 50);
    EXPECT_EQ(form.Sheet->RowCount(), 50);
    EXPECT_EQ(form.Sheet->RowDefHeight(), 16);
    EXPECT_EQ(form.Sheet->ColDefWidth(), 60);
    EXPECT_EQ(form.QvGrid->Options(), oTitleCols | oTitleRows | oVertLines | oHorzLines | oColSizing | oRowSizing |
                                          oDrawFocus | oPermEdit | oRangeSelect | oTracking | oAutoTitles);
    const QList<QAction*> menus = form.menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "&Edit");
    EXPECT_EQ(form.Save1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    const QList<QAction*> items = menus[1]->menu()->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "&Sheet");
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), "&Close");
    form.show();
    EXPECT_EQ(form.frameGeometry().size(), QSize(667, 464));
}

TEST(Demo, DoubleClickedEdgesGetFixedSizes) {
    TForm1 form;
    form.show();
    form.QvGrid->OnColDblClick(form.QvGrid, {3, 0});
    form.QvGrid->OnRowDblClick(form.QvGrid, {0, 7});
    EXPECT_EQ(form.Sheet->GetSize(axCols, 3), 100);
    EXPECT_EQ(form.Sheet->GetSize(axRows, 7), 20);
    // Each is a step: the sheet differs from its file, and Undo takes it back.
    EXPECT_TRUE(form.isWindowModified());
    ASSERT_TRUE(form.Sheet->UndoStack().Undo());
    EXPECT_EQ(form.Sheet->GetSize(axRows, 7), 16);
    // The grid shows the new sizes at once.
    EXPECT_EQ(form.QvGrid->Sizes(axCols, spClient)->Size(3), 100);
    EXPECT_EQ(form.QvGrid->Views(skClient)->ContentSize().Width, 49 * 60 + 100);
    // A title index sizes the title column; the row maximum of 20 holds.
    form.QvGrid->OnColDblClick(form.QvGrid, {-1, 0});
    EXPECT_EQ(form.Sheet->GetSize(axCols, -1), 100);
    EXPECT_EQ(form.QvGrid->Views(skRowTitles)->width(), 100);
}

TEST(Demo, DoubleClickOnTheTitleEdgesWithTheMouse) {
    TForm1 form;
    form.show();
    TQvView* cols = form.QvGrid->Views(skColTitles);
    TQvView* rows = form.QvGrid->Views(skRowTitles);
    // The right edge of column 3 and the lower edge of row 7.
    QTest::mouseDClick(cols, Qt::LeftButton, {}, QPoint(4 * 60 - 1, 8));
    EXPECT_EQ(form.Sheet->GetSize(axCols, 3), 100);
    QTest::mouseDClick(rows, Qt::LeftButton, {}, QPoint(30, 8 * 16 - 1));
    EXPECT_EQ(form.Sheet->GetSize(axRows, 7), 20);
}

TEST(Demo, WhatTheDesignerMergesShowsInTheMainGrid) {
    TForm1 form;
    form.show();
    bool ran = false;
    // The designer is modal: act in it once it is up, then close it.
    QTimer::singleShot(0, [&] {
        auto* designer = qobject_cast<TQvSheetDesigner*>(QApplication::activeModalWidget());
        if (!designer) designer = form.findChild<TQvSheetDesigner*>();
        ASSERT_NE(designer, nullptr);
        EXPECT_EQ(designer->Sheet(), form.Sheet.get());
        TQvView* pane = designer->Grid()->Views(skClient);
        designer->Grid()->SetActiveView(pane);
        pane->SetCurrent({1, 1}, true, false);
        pane->SelectRect({1, 1, 3, 2});
        designer->Button("Merge")->click();
        designer->Item("Close")->trigger();
        ran = true;
    });
    form.Edit1->trigger();
    ASSERT_TRUE(ran);
    EXPECT_EQ(form.findChild<TQvSheetDesigner*>(), nullptr);  // freed when it closed
    const TQvUnion* u = form.Sheet->Sections(skClient)->FindUnionAt({2, 1}, true);
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->Rect(), (TRect{1, 1, 3, 2}));
}

TEST(Demo, RemovingTheSheetLeavesAnEmptyGrid) {
    TForm1 form;
    form.Remove1Click();
    EXPECT_EQ(form.QvGrid->Sheet(), nullptr);
    EXPECT_FALSE(form.grab().isNull());
}

// With QV_SCREENSHOT_DIR set, a picture of the window with a few values.
TEST(Demo, Screenshot) {
    const QByteArray dir = qgetenv("QV_SCREENSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "QV_SCREENSHOT_DIR not set";
    TForm1 form;
    form.Sheet->SetCellValue(0, 0, TVariant(std::string("Hello")));
    form.Sheet->SetCellValue(1, 0, TVariant(int32_t(42)));
    form.Sheet->SetCellValue(2, 1, TVariant(3.25));
    form.Sheet->SetSize(3, axCols, 100);
    form.show();
    EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(dir) + "/demo.png"));
    // After scrolling, as the window system holds it (moved pixels and
    // repainted strips, not a fresh paint).
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QCoreApplication::processEvents();
    form.QvGrid->Views(skClient)->ScrollTo({45, 40});
    QCoreApplication::processEvents();
    form.QvGrid->Views(skClient)->ScrollTo({150, 72});
    QCoreApplication::processEvents();
    EXPECT_TRUE(form.screen()->grabWindow(form.winId()).save(QString::fromLocal8Bit(dir) + "/demo_scrolled.png"));
    EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(dir) + "/demo_scrolled_fresh.png"));
}


// Typing into cells of every editable class of the demonstration sheet: the
// editor follows the current cell (the window's grid edits permanently),
// Enter stores and steps down, the arrows leave the cell.
TEST(Demo, CtrlZTakesBackATypedValueUnderThePermanentEditor) {
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TQvView* pane = form.QvGrid->Views(skClient);
    pane->SetCurrent({2, 3}, true, false);
    const auto key = [](int K, Qt::KeyboardModifiers M = {}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(K), M);
        QCoreApplication::processEvents();
    };
    for (int k : {Qt::Key_H, Qt::Key_I}) key(k);
    key(Qt::Key_Return);
    ASSERT_NE(form.Sheet->FindCell(2, 3), nullptr);
    EXPECT_EQ(form.Sheet->FindCell(2, 3)->GetText(), "hi");
    key(Qt::Key_Down);  // the editor moves on, over an empty position
    key(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(form.Sheet->FindCell(2, 3), nullptr);
    key(Qt::Key_Y, Qt::ControlModifier);
    ASSERT_NE(form.Sheet->FindCell(2, 3), nullptr);
    EXPECT_EQ(form.Sheet->FindCell(2, 3)->GetText(), "hi");
    // The positions the editor passed over keep no cell.
    EXPECT_EQ(form.Sheet->FindCell(2, 4), nullptr);
}

TEST(Demo, TypingIntoEveryEditableCellClass) {
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TQvSection* s = form.Sheet->Sections(skClient);
    TQvGrid* grid = form.QvGrid;
    TQvView* pane = grid->Views(skClient);
    s->NeedCellOfClass({1, 0}, TQvCString::StaticClass());
    s->NeedCellOfClass({1, 1}, TQvCInteger::StaticClass());
    s->NeedCellOfClass({1, 2}, TQvCDouble::StaticClass());
    auto* money = s->NeedCellOfClass({1, 3}, TQvCCurrency::StaticClass());
    money->SetFormat("0.00");
    auto* date = s->NeedCellOfClass({1, 4}, TQvCDateTime::StaticClass());
    date->SetValue(TVariant(45000.0));
    auto* pick = static_cast<TQvCStrings*>(s->NeedCellOfClass({1, 5}, TQvCStrings::StaticClass()));
    pick->Items()->SetText("one\r\ntwo\r\nthree\r\n");
    pick->SetAsInteger(0);
    s->NeedCellOfClass({1, 6}, TQvCString::StaticClass())->SetEditorIndex(1);

    auto type = [](const char* Text) {
        for (const char* c = Text; *c; ++c) {
            QTest::keyClick(QApplication::focusWidget(), *c);
            QCoreApplication::processEvents();
        }
    };
    auto key = [](int K, Qt::KeyboardModifiers M = {}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(K), M);
        QCoreApplication::processEvents();
    };
    const QByteArray dir = qgetenv("QV_SCREENSHOT_DIR");
    auto shot = [&](const char* Name) {
        if (!dir.isEmpty()) {
            EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(dir) + "/" + Name));
        }
    };

    pane->setFocus();
    pane->SetCurrent({1, 0}, true, true);
    QCoreApplication::processEvents();
    ASSERT_TRUE(grid->Editing());
    type("Hello");
    key(Qt::Key_Return);
    type("42");
    shot("demo_edit_integer.png");
    key(Qt::Key_Return);
    type("3.25");
    key(Qt::Key_Return);
    // The editor follows the current cell and holds the focus, so keys
    // reach it directly; the loaded "0.00" arrives selected and the typed
    // value replaces it.
    EXPECT_TRUE(grid->EnterMode());
    type("9.99");
    key(Qt::Key_Return);
    auto* dateEdit = qobject_cast<TQvDateEdit*>(grid->Editor());
    ASSERT_NE(dateEdit, nullptr);
    dateEdit->setDate(dateEdit->date().addDays(2));
    shot("demo_edit_date.png");
    key(Qt::Key_Return);
    ASSERT_NE(qobject_cast<QComboBox*>(grid->Editor()), nullptr);
    type("t");  // the first item starting with t
    shot("demo_edit_pick.png");
    key(Qt::Key_Return);
    ASSERT_NE(qobject_cast<QPlainTextEdit*>(grid->Editor()), nullptr);
    type("memo");
    shot("demo_edit_memo.png");
    // The arrows leave the cell: up, then right onto an empty cell.
    key(Qt::Key_Up);
    key(Qt::Key_Right);
    EXPECT_EQ(pane->Current(), (TPoint{2, 5}));
    type("x");
    key(Qt::Key_Left);

    EXPECT_EQ(s->FindCell({1, 0})->AsString(), "Hello");
    EXPECT_EQ(s->FindCell({1, 1})->AsInteger(), 42);
    EXPECT_DOUBLE_EQ(s->FindCell({1, 2})->AsFloat(), 3.25);
    EXPECT_DOUBLE_EQ(s->FindCell({1, 3})->AsFloat(), 9.99);
    EXPECT_DOUBLE_EQ(date->AsFloat(), 45002.0);
    EXPECT_EQ(pick->AsInteger(), 1);
    EXPECT_EQ(s->FindCell({1, 6})->AsString(), "memo");
    // The empty cell was made of the base style's class and holds the text.
    ASSERT_NE(s->FindCell({2, 5}), nullptr);
    EXPECT_EQ(s->FindCell({2, 5})->AsString(), "x");
    for (TPoint p : {TPoint{1, 1}, TPoint{1, 2}, TPoint{1, 3}})
        EXPECT_FALSE(s->FindCell(p)->HasState(psError)) << p.X << "," << p.Y;
    EXPECT_TRUE(form.Sheet->Modified());
}

}  // namespace

namespace {

// Answers every file dialog with the next of Names, in order.
struct TFileAnswers {
    explicit TFileAnswers(QStringList Names)
        : FPrevious(SetFileDialogHook([this](const TFileDialogOptions&, QString& Name, QWidget*) {
              if (FNames.isEmpty()) return false;
              Name = FNames.takeFirst();
              return true;
          })),
          FNames(std::move(Names)) {}
    ~TFileAnswers() { SetFileDialogHook(FPrevious); }
    TFileDialogHook FPrevious;
    QStringList FNames;
};

// Clicks Button of the next modal message box once it is up; Asked tells
// whether one came.
void AnswerNextBox(QMessageBox::StandardButton Button, bool& Asked) {
    QTimer::singleShot(0, [Button, &Asked] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        Asked = true;
        box->button(Button)->click();
    });
}

void TypeInto(TForm1& Form, TPoint Cell, const char* Text) {
    Form.QvGrid->Views(skClient)->SetCurrent(Cell, true, true);
    QCoreApplication::processEvents();
    // The first key reaches the editor through the event queue.
    for (const char* c = Text; *c; ++c) {
        QTest::keyClick(QApplication::focusWidget(), *c);
        QCoreApplication::processEvents();
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCoreApplication::processEvents();
}

TEST(Demo, CtrlSSavesAndTheModifiedMarkGoesAndComesBack) {
    QTemporaryDir dir;
    const QString path = dir.filePath("orders.qvf");
    TFileAnswers answers({dir.filePath("orders")});  // the extension is added
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TypeInto(form, {1, 1}, "desk");
    EXPECT_TRUE(form.isWindowModified());
    // Typed but not entered: saving takes what the editor holds.
    form.QvGrid->Views(skClient)->SetCurrent({1, 2}, true, true);
    QCoreApplication::processEvents();
    QTest::keyClick(QApplication::focusWidget(), '7');
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    QCoreApplication::processEvents();
    ASSERT_TRUE(QFileInfo::exists(path));
    EXPECT_EQ(form.FileName(), path);
    EXPECT_EQ(form.windowTitle(), "orders.qvf[*]");
    EXPECT_FALSE(form.isWindowModified());
    TQvSheet saved;
    saved.LoadFromFile(QFile::encodeName(path).toStdString());
    EXPECT_EQ(saved.CellValue(1, 1).AsString(), "desk");
    EXPECT_EQ(saved.CellValue(1, 2).AsString(), "7");
    TypeInto(form, {2, 1}, "x");
    EXPECT_TRUE(form.isWindowModified());
    // Save again writes the same file without asking for a name.
    form.Save1->trigger();
    EXPECT_FALSE(form.isWindowModified());
    saved.LoadFromFile(QFile::encodeName(path).toStdString());
    EXPECT_EQ(saved.CellValue(2, 1).AsString(), "x");
}

TEST(Demo, ClosingWithChangesAsksAndCancelKeepsTheWindow) {
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    TypeInto(form, {0, 0}, "a");
    bool asked = false;
    AnswerNextBox(QMessageBox::Cancel, asked);
    form.Close1->trigger();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.Sheet->CellValue(0, 0).AsString(), "a");
    // New asks as well; Discard lets it go on.
    asked = false;
    AnswerNextBox(QMessageBox::Discard, asked);
    EXPECT_TRUE(form.New1Click());
    EXPECT_TRUE(asked);
    EXPECT_EQ(form.Sheet->FindCell(0, 0), nullptr);
    // Nothing changed since: the window closes without a question (a box
    // would block here).
    EXPECT_TRUE(form.close());
}

TEST(Demo, FailedOpenAndSaveNameTheFileAndChangeNothing) {
    TRecordingMessageService messages;
    TMessageServiceScope scope(messages);
    QTemporaryDir dir;
    TForm1 form;
    form.Sheet->SetCellValue(0, 0, TVariant(std::string("kept")));
    TQvSheet* before = form.Sheet.get();
    const QString missing = dir.filePath("missing.qvf");
    EXPECT_FALSE(form.OpenFile(missing));
    EXPECT_EQ(form.Sheet.get(), before);
    EXPECT_EQ(form.QvGrid->Sheet(), before);
    const QString broken = dir.filePath("broken.qvf");
    QFile(broken).open(QIODevice::WriteOnly);
    EXPECT_FALSE(form.OpenFile(broken));
    EXPECT_EQ(form.Sheet.get(), before);
    const QString unwritable = dir.filePath("no/such/folder.qvf");
    EXPECT_FALSE(form.SaveFile(unwritable));
    EXPECT_TRUE(form.FileName().isEmpty());
    EXPECT_TRUE(form.isWindowModified());
    ASSERT_EQ(messages.Messages().size(), 3u);
    EXPECT_NE(messages.Messages()[0].Text.find("missing.qvf"), std::string::npos);
    EXPECT_NE(messages.Messages()[1].Text.find("broken.qvf"), std::string::npos);
    EXPECT_NE(messages.Messages()[2].Text.find("folder.qvf"), std::string::npos);
    EXPECT_EQ(messages.Messages()[2].Icon, miError);
}

TEST(Demo, OpensCsvAndExportsCopiesWithoutRenamingTheDocument) {
    QTemporaryDir dir;
    const QString csv = dir.filePath("prices.csv");
    {
        QFile f(csv);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("name,price\nlamp,24.99\n");
    }
    TForm1 form;
    ASSERT_TRUE(form.OpenFile(csv));
    EXPECT_EQ(form.windowTitle(), "prices.csv[*]");
    EXPECT_FALSE(form.isWindowModified());
    EXPECT_DOUBLE_EQ(form.Sheet->CellValue(1, 1).AsDouble(), 24.99);
    EXPECT_EQ(form.Sheet->Styler(), form.QvStyler.get());
    form.Sheet->SetCellValue(0, 2, TVariant(std::string("desk")));
    TFileAnswers answers({dir.filePath("out.csv"), dir.filePath("out.xlsx"), dir.filePath("out.pdf")});
    EXPECT_TRUE(form.ExportCsv1Click());
    EXPECT_TRUE(form.ExportXlsx1Click());
    EXPECT_TRUE(form.ExportPdf1Click());
    for (const char* name : {"out.csv", "out.xlsx", "out.pdf"})
        EXPECT_GT(QFileInfo(dir.filePath(name)).size(), 0) << name;
    EXPECT_EQ(form.FileName(), csv);
    EXPECT_TRUE(form.isWindowModified());
    // Save keeps the document's format.
    EXPECT_TRUE(form.Save1Click());
    QFile f(csv);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("desk"));
}

}  // namespace

namespace {

// The picture a newcomer sees first: the showcase's rows are numbered by the
// grid, so the numbers follow inserted rows instead of moving with them.
TEST(Demo, TheShowcaseLeavesItsRowNumbersToTheGrid) {
    TForm1 form;
    form.LoadFile(QV_SOURCE_DIR "/examples/showcase.qvf");
    EXPECT_EQ(form.windowTitle(), "showcase.qvf[*]");
    EXPECT_TRUE(form.QvGrid->HasOption(oAutoTitles));
    EXPECT_EQ(form.Sheet->CellValue(0, -1).AsString(), "Item");
    for (int32_t y = 0; y < form.Sheet->RowCount(); ++y) EXPECT_EQ(form.Sheet->FindCell(-1, y), nullptr) << y;
}

}  // namespace
