// The sheet designer's construction: bars, grid, status bar, colour pop-up
// and menus, in the window's order from top to bottom. The commands they
// run are in sheet_designer_commands.cpp.
#include "designer/sheet_designer.h"

#include <QAbstractItemView>
#include <QActionGroup>
#include <QButtonGroup>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "designer/cell_designer.h"
#include "designer/color_box.h"
#include "designer/color_tool_button.h"
#include "designer/font_boxes.h"
#include "designer/popup_panel.h"
#include "designer/tool_icons.h"
#include "grids/base_style.h"
#include "grids/sheet.h"
#include "grids/undo_stack.h"
#include "qt/qt_picture.h"
#include "view/grid.h"

namespace qv {

namespace {

// The client area the window opens with.
constexpr int ClientWidth = 731;
constexpr int ClientHeight = 408;

// A caption without its accelerator marks and trailing dots: the object
// name of its item.
QString Plain(const QString& Caption) {
    QString s = Caption;
    s.remove(QLatin1Char('&'));
    if (s.endsWith(QStringLiteral("..."))) s.chop(3);
    return s;
}

QToolBar* NewBar(QMainWindow* Window, const QString& Name) {
    auto* bar = new QToolBar(Name, Window);
    bar->setObjectName(Name);
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(16, 16));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return bar;
}

void SetTag(QObject* Object, int Tag) { Object->setProperty("Tag", Tag); }

// Commands the window shows but does not offer: disabled for good.
void MarkUnoffered(QObject* Object) {
    Object->setProperty("Unoffered", true);
    if (auto* a = qobject_cast<QAction*>(Object)) a->setEnabled(false);
    if (auto* w = qobject_cast<QWidget*>(Object)) w->setEnabled(false);
}

}  // namespace

TQvSheetDesigner::TQvSheetDesigner(QWidget* Parent) : QMainWindow(Parent) {
    setWindowFlag(Qt::Window);
    setObjectName(QStringLiteral("QvSheetDesigner"));
    setWindowTitle(QStringLiteral("QvSheet Designer"));
    // The tool bars are part of the window's layout, not for the user to
    // hide one by one: their context menu is off.
    setContextMenuPolicy(Qt::PreventContextMenu);
    RegisterQtPictureFormats();
    FBorderLine = {lsSingle, clBackground};

    BuildColorPopup();
    BuildStandardBar();
    BuildBordersBar();
    addToolBarBreak();
    BuildFormattingBar();
    addToolBarBreak();
    BuildStylesBar();
    addToolBarBreak();
    BuildHintBar();
    BuildGrid();
    BuildStatusBar();
    BuildMenus();
    BuildSelectionMenu();

    resize(ClientWidth, ClientHeight + menuBar()->sizeHint().height());
    SetSheet(nullptr);
    FGrid->setFocus();
}

TQvSheetDesigner::~TQvSheetDesigner() {
    // The grid lets go of the sheet before the window's children go, so
    // that no handler of this window runs on a half-destroyed window.
    FGrid->OnSelChanged = nullptr;
    FGrid->OnCurChanged = nullptr;
    FGrid->OnEditModeChanged = nullptr;
    FGrid->OnEnterModeChanged = nullptr;
    FGrid->OnSheetChanged = nullptr;
    FGrid->OnStatus = nullptr;
    FGrid->SetSheet(nullptr);
    if (FUndoSheet) FUndoSheet->UndoStack().OnChange = std::move(FOldUndoChange);
}

QToolButton* TQvSheetDesigner::AddButton(QToolBar* Bar, int Icon, const QString& Hint,
                                          const std::function<void()>& Action, bool Checkable, int Tag,
                                          TStepScope Scope) {
    auto* button = new QToolButton(Bar);
    button->setObjectName(Hint);
    button->setToolTip(Hint);
    button->setIcon(ToolIcon(static_cast<TToolIcon>(Icon)));
    button->setAutoRaise(true);
    button->setCheckable(Checkable);
    button->setFocusPolicy(Qt::NoFocus);
    if (Tag >= 0) SetTag(button, Tag);
    if (Action)
        connect(button, &QToolButton::clicked, this, [this, Action, Hint, Scope] { Run(Action, Hint, Scope); });
    else if (!Checkable)
        MarkUnoffered(button);
    Bar->addWidget(button);
    FSheetCommands.emplace_back(button);
    return button;
}

QAction* TQvSheetDesigner::AddItem(QMenu* Menu, const QString& Caption, const std::function<void()>& Action,
                                   const QKeySequence& Shortcut, bool NeedsSheet, TStepScope Scope) {
    QAction* item = Menu->addAction(Caption);
    const QString prefix = Menu->property("Prefix").toString();
    item->setObjectName(prefix.isEmpty() ? Plain(Caption) : prefix + QLatin1Char(' ') + Plain(Caption));
    if (!Shortcut.isEmpty()) item->setShortcut(Shortcut);
    if (Action)
        connect(item, &QAction::triggered, this,
                [this, Action, name = Plain(Caption), Scope] { Run(Action, name, Scope); });
    else
        MarkUnoffered(item);
    if (Action && NeedsSheet) FSheetCommands.emplace_back(item);
    return item;
}

// --- the bars ------------------------------------------------------------

void TQvSheetDesigner::BuildStandardBar() {
    FStandardBar = NewBar(this, QStringLiteral("StandardBar"));
    addToolBar(Qt::TopToolBarArea, FStandardBar);
    QToolBar* b = FStandardBar;
    AddButton(b, tiImport, QStringLiteral("Import"), [this] { ImportSheet(); });
    AddButton(b, tiExport, QStringLiteral("Export"), [this] { ExportSheet(); });
    b->addSeparator();
    AddButton(b, tiPrint, QStringLiteral("Print"), [this] { PrintSheet(); });
    AddButton(b, tiPreview, QStringLiteral("Preview"), [this] { PreviewSheet(); });
    b->addSeparator();
    AddButton(b, tiClear, QStringLiteral("Clear"), [this] { ClearCells(); }, false, -1, ssSelection);
    AddButton(b, tiCut, QStringLiteral("Cut"), [this] { CutCells(); });
    AddButton(b, tiCopy, QStringLiteral("Copy"), [this] { CopyCells(); });
    AddButton(b, tiPaste, QStringLiteral("Paste"), [this] { PasteCells(); });
    b->addSeparator();
    AddButton(b, tiBaseStyle, QStringLiteral("Base Style"), [this] { BaseStyleClick(); });
    QToolButton* styles = AddButton(b, tiStyles, QStringLiteral("Styles On / Off"), nullptr, true);
    connect(styles, &QToolButton::toggled, this, [this](bool Down) {
        FStylesBar->setVisible(Down);
        if (Down) FillStyles();
    });
    QToolButton* hints = AddButton(b, tiHints, QStringLiteral("Hints On / Off"), nullptr, true);
    connect(hints, &QToolButton::toggled, this, [this](bool Down) { FHintBar->setVisible(Down); });

    FScaleSelector = new QComboBox(b);
    FScaleSelector->setObjectName(QStringLiteral("ScaleSelector"));
    FScaleSelector->setToolTip(QStringLiteral("Scale"));
    FScaleSelector->setEditable(true);
    FScaleSelector->setInsertPolicy(QComboBox::NoInsert);
    // 50 pixels, or what "200%" needs beside the arrow in this style.
    FScaleSelector->setFixedWidth(
        std::max(50, FScaleSelector->fontMetrics().horizontalAdvance(QStringLiteral("200%")) + 32));
    FScaleSelector->addItems({QStringLiteral("200%"), QStringLiteral("150%"), QStringLiteral("100%"),
                              QStringLiteral("75%"), QStringLiteral("50%"), QStringLiteral("25%"),
                              QStringLiteral("10%"), QStringLiteral("Fit Selection")});
    // The list is wider than the box: "Fit Selection" must be readable.
    FScaleSelector->view()->setMinimumWidth(FScaleSelector->fontMetrics().horizontalAdvance("Fit Selection") + 24);
    // No inline completion: "20" typed and Enter is 20, not the "200%"
    // that completion would have put in the box.
    FScaleSelector->setCompleter(nullptr);
    SetScaleText(100);
    connect(FScaleSelector, &QComboBox::activated, this,
            [this](int) { Run([this] { SelectScale(); }, QStringLiteral("Scale"), ssNone); });
    FScaleSelector->lineEdit()->installEventFilter(this);
    b->addWidget(FScaleSelector);
    FSheetCommands.emplace_back(FScaleSelector);
    b->addSeparator();
}

void TQvSheetDesigner::BuildBordersBar() {
    FBordersBar = NewBar(this, QStringLiteral("BordersBar"));
    addToolBar(Qt::TopToolBarArea, FBordersBar);
    QToolBar* b = FBordersBar;
    AddButton(
        b, tiRemoveBorders, QStringLiteral("Remove Borders"),
        [this] {
            ApplyBorders({liLeft, liTop, liRight, liBottom, liBias1, liBias2, liHInternal, liVInternal},
                         {lsNone, clBlack});
        },
        false, -1, ssSelection);
    AddButton(
        b, tiAllBorders, QStringLiteral("All Borders"),
        [this] { ApplyBorders({liLeft, liTop, liRight, liBottom, liHInternal, liVInternal}, FBorderLine); }, false,
        -1, ssSelection);
    AddButton(
        b, tiFrameBorders, QStringLiteral("Frame Borders"),
        [this] { ApplyBorders({liLeft, liTop, liRight, liBottom}, FBorderLine); }, false, -1, ssSelection);
    AddButton(
        b, tiInsideBorders, QStringLiteral("Inside Borders"),
        [this] { ApplyBorders({liHInternal, liVInternal}, FBorderLine); }, false, -1, ssSelection);
    b->addSeparator();
    // Check buttons: down exactly while the selection has the line, so a
    // click toggles it.
    const struct {
        int Icon;
        const char* Hint;
        int Line;
    } sides[] = {{tiLeftBorder, "Left Border", liLeft},       {tiRightBorder, "Right Border", liRight},
                 {tiTopBorder, "Top Border", liTop},          {tiBottomBorder, "Bottom Border", liBottom},
                 {tiDiagonalDown, "First Diagonal", liBias1}, {tiDiagonalUp, "Second Diagonal", liBias2}};
    for (const auto& s : sides) {
        if (s.Line == liBias1) b->addSeparator();
        QToolButton* button = AddButton(b, s.Icon, QString::fromLatin1(s.Hint), nullptr, true, s.Line);
        connect(button, &QToolButton::clicked, this, [this, button] {
            Run([this, button] { BorderClick(button); }, QStringLiteral("Format"), ssSelection);
        });
    }
    b->addSeparator();
    FBBorderColor = new TColorToolButton(b);
    FBBorderColor->setObjectName(QStringLiteral("BBorderColor"));
    FBBorderColor->setToolTip(QStringLiteral("Border Color"));
    FBBorderColor->setIcon(ToolIcon(tiBorderColor));
    FBBorderColor->setFocusPolicy(Qt::NoFocus);
    // The bar shows the colour the border buttons draw, from the start.
    FBBorderColor->SetColor(FBorderLine.Color);
    // Choosing the border colour changes nothing in the sheet.
    FBBorderColor->OnClick = [this](TObject*) {
        Run([this] { ColorButtonClick(FBBorderColor); }, QStringLiteral("Format"), ssNone);
    };
    FBBorderColor->OnDropDown = [this](TObject*) { ColorsPopup(FBBorderColor); };
    b->addWidget(FBBorderColor);
    FSheetCommands.emplace_back(FBBorderColor);
}

void TQvSheetDesigner::BuildFormattingBar() {
    FFormattingBar = NewBar(this, QStringLiteral("FormattingBar"));
    addToolBar(Qt::TopToolBarArea, FFormattingBar);
    QToolBar* b = FFormattingBar;
    FFontSelector = new TFontBox(b);
    FFontSelector->setObjectName(QStringLiteral("FontSelector"));
    FFontSelector->setToolTip(QStringLiteral("Font name"));
    FFontSelector->setFixedWidth(127);
    FSizeSelector = new TFontSizeBox(b);
    FSizeSelector->setObjectName(QStringLiteral("SizeSelector"));
    FSizeSelector->setToolTip(QStringLiteral("Font size"));
    FSizeSelector->setFixedWidth(46);
    FFontSelector->SetSizeBox(FSizeSelector);
    TFont initial;
    initial.SetName("Arial");
    initial.SetSize(8);
    FFontSelector->SetSelFont(initial);
    FSizeSelector->SetFontSize(8);
    FFontSelector->OnFontChange = [this](TObject*) {
        Run([this] { SelectFont(); }, QStringLiteral("Format"), ssSelection);
    };
    b->addWidget(FFontSelector);
    b->addWidget(FSizeSelector);
    FSheetCommands.emplace_back(FFontSelector);
    FSheetCommands.emplace_back(FSizeSelector);
    b->addSeparator();

    for (const auto& [icon, hint, tag] : {std::tuple{tiBold, "Bold", int(fsBold)},
                                          std::tuple{tiItalic, "Italic", int(fsItalic)},
                                          std::tuple{tiUnderline, "Underline", int(fsUnderline)}}) {
        QToolButton* button = AddButton(b, icon, QString::fromLatin1(hint), nullptr, true, tag);
        connect(button, &QToolButton::clicked, this,
                [this, button] {
                    Run([this, button] { FontStyleClick(button); }, QStringLiteral("Format"), ssSelection);
                });
    }
    b->addSeparator();
    // Grouped check buttons: one of each group is down.
    auto group = [this, b](std::initializer_list<std::tuple<int, const char*, int>> Buttons, bool Horizontal) {
        auto* g = new QButtonGroup(b);
        g->setExclusive(true);
        for (const auto& [icon, hint, tag] : Buttons) {
            const int code = tag;
            QToolButton* button = AddButton(
                b, icon, QString::fromLatin1(hint),
                [this, code, Horizontal] {
                    if (!Sel()) return;
                    if (Horizontal)
                        Sel()->SetHAlign(static_cast<uint8_t>(code));
                    else
                        Sel()->SetVAlign(static_cast<uint8_t>(code));
                },
                true, tag, ssSelection);
            g->addButton(button);
        }
    };
    group({{tiAlignLeft, "Left align", 0}, {tiAlignCenter, "Center align", 2}, {tiAlignRight, "Right align", 1}},
          true);
    b->addSeparator();
    group({{tiAlignTop, "Top align", 0}, {tiAlignMiddle, "Middle align", 2}, {tiAlignBottom, "Bottom align", 1}},
          false);
    b->addSeparator();
    AddButton(b, tiMerge, QStringLiteral("Merge"), [this] {
        if (Sel()) Sel()->Merge();
    });
    AddButton(b, tiMergeLines, QStringLiteral("Merge to lines"), [this] {
        if (Sel()) Sel()->MergeLines();
    });
    AddButton(b, tiSplit, QStringLiteral("Split"), [this] {
        if (!Sel()) return;
        Sel()->Split();
        UpdateSelProps();
    });
    b->addSeparator();
    QToolButton* protect = AddButton(b, tiProtect, QStringLiteral("Protect"), nullptr, true);
    connect(protect, &QToolButton::clicked, this, [this, protect] {
        Run([this, protect] {
            if (Sel()) Sel()->SetProtected(protect->isChecked());
        }, QStringLiteral("Format"), ssSelection);
    });
    QToolButton* hide = AddButton(b, tiHide, QStringLiteral("Hide"), nullptr, true);
    connect(hide, &QToolButton::clicked, this, [this, hide] {
        Run([this, hide] {
            if (Sel()) Sel()->SetShowing(!hide->isChecked());
        }, QStringLiteral("Format"), ssSelection);
    });
    b->addSeparator();
    auto colorButton = [this, b](TColorToolButton*& Field, const char* Name, int Icon, const char* Hint) {
        Field = new TColorToolButton(b);
        TColorToolButton* button = Field;
        button->setObjectName(QString::fromLatin1(Name));
        if (Hint) button->setToolTip(QString::fromLatin1(Hint));
        button->setIcon(ToolIcon(static_cast<TToolIcon>(Icon)));
        button->setFocusPolicy(Qt::NoFocus);
        button->OnClick = [this, button](TObject*) {
            Run([this, button] { ColorButtonClick(button); }, QStringLiteral("Format"), ssSelection);
        };
        button->OnDropDown = [this, button](TObject*) { ColorsPopup(button); };
        b->addWidget(button);
        FSheetCommands.emplace_back(button);
    };
    colorButton(FBTextColor, "BTextColor", tiTextColor, "Text Color");
    colorButton(FBCellColor, "BCellColor", tiCellColor, nullptr);
}

void TQvSheetDesigner::BuildStylesBar() {
    FStylesBar = NewBar(this, QStringLiteral("StylesBar"));
    addToolBar(Qt::TopToolBarArea, FStylesBar);
    FCBStyles = new QComboBox(FStylesBar);
    FCBStyles->setObjectName(QStringLiteral("CBStyles"));
    FCBStyles->setToolTip(QStringLiteral("Style name"));
    FCBStyles->setFixedWidth(174);
    FCBStyles->addItem(QStringLiteral("[Default]"));
    connect(FCBStyles, &QComboBox::activated, this,
            [this](int) { Run([this] { CBStylesClick(); }, QStringLiteral("Format"), ssSelection); });
    FStylesBar->addWidget(FCBStyles);
    FSheetCommands.emplace_back(FCBStyles);
    FStylesBar->hide();
}

void TQvSheetDesigner::BuildHintBar() {
    FHintBar = NewBar(this, QStringLiteral("HintBar"));
    addToolBar(Qt::TopToolBarArea, FHintBar);
    FEHint = new QLineEdit(FHintBar);
    FEHint->setObjectName(QStringLiteral("EHint"));
    FEHint->setToolTip(QStringLiteral("Hint"));
    // The edit takes the bar's whole width.
    FEHint->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(FEHint, &QLineEdit::textChanged, this,
            [this] { Run([this] { EHintChange(); }, QStringLiteral("Format"), ssCurrentCell); });
    FEHint->installEventFilter(this);
    FHintBar->addWidget(FEHint);
    FHintBar->hide();
}

void TQvSheetDesigner::BuildGrid() {
    FGrid = new TQvGrid(this);
    FGrid->setObjectName(QStringLiteral("Grid"));
    // A single border, no bevel, the button-face colour.
    FGrid->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    QPalette pal = FGrid->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Button));
    FGrid->setPalette(pal);
    FGrid->SetOptions(oTitleCols | oTitleRows | oVertLines | oHorzLines | oColSizing | oRowSizing | oDrawFocus |
                      oRangeSelect | oTracking | oAutoTitles);
    FGrid->SetDesignMode(true);
    for (int k = 0; k < 4; ++k) FGrid->Views(static_cast<TQvSectionKind>(k))->SetShowHint(true);
    FGrid->OnSelChanged = [this](TObject*) { UpdateSelProps(); };
    FGrid->OnCurChanged = [this](TObject*) { GridCurChanged(); };
    FGrid->OnSheetChanged = [this](TObject*) { SheetChanged(); };
    FGrid->OnStatus = [this](TObject*, const std::string& Text) {
        statusBar()->showMessage(QString::fromStdString(Text), 8000);
    };
    FGrid->OnEditModeChanged = [this](TObject*) {
        FPanels[0]->setText(FGrid->Editing() ? QStringLiteral("Editing") : QString());
    };
    FGrid->OnEnterModeChanged = [this](TObject*) {
        FPanels[1]->setText(FGrid->EnterMode() ? QStringLiteral("Enter") : QStringLiteral("Edit"));
    };
    // Right clicks on the panes reach the grid, which opens the pop-up menu.
    FGrid->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(FGrid, &QWidget::customContextMenuRequested, this, [this](const QPoint& P) {
        UpdateSelProps();
        FSelectionMenu->popup(FGrid->mapToGlobal(P));
    });
    setCentralWidget(FGrid);
}

void TQvSheetDesigner::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    for (int i = 0; i < 2; ++i) {
        FPanels[i] = new QLabel(bar);
        FPanels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        FPanels[i]->setFixedWidth(50);
        bar->addWidget(FPanels[i]);
    }
}

void TQvSheetDesigner::BuildColorPopup() {
    FPopupColors = new TPopupPanel(this);
    FPopupColors->setObjectName(QStringLiteral("PopupColors"));
    FPopupColors->resize(151, 140);
    FColors = new TColorBox(FPopupColors);
    FColors->setObjectName(QStringLiteral("Colors"));
    FColors->move(0, 0);
    FColors->resize(151, 140);
    FColors->OnChange = [this](TObject*) { ColorsChange(); };
    FColors->OnClick = [this](TObject*) { ColorsClick(); };
}

// --- the menus -----------------------------------------------------------

namespace {

QMenu* SubMenu(QMenu* Parent, const QString& Caption) {
    QMenu* menu = Parent->addMenu(Caption);
    menu->setObjectName(Plain(Caption));
    menu->setProperty("Prefix", Plain(Caption));
    return menu;
}

}  // namespace

void TQvSheetDesigner::BuildMenus() {
    auto top = [this](const QString& Caption) {
        QMenu* menu = menuBar()->addMenu(Caption);
        menu->setObjectName(Plain(Caption));
        return menu;
    };
    BuildFileMenu(top(QStringLiteral("&File")));
    BuildEditMenu(top(QStringLiteral("&Edit")));
    BuildViewMenu(top(QStringLiteral("&View")));
    BuildFormatMenu(top(QStringLiteral("&Format")));
    QMenu* help = top(QStringLiteral("&?"));
    AddItem(help, QStringLiteral("&About..."), [this] { AboutDesigner(); }, {}, false);
}

void TQvSheetDesigner::BuildFileMenu(QMenu* M) {
    AddItem(M, QStringLiteral("&Import..."), [this] { ImportSheet(); });
    AddItem(M, QStringLiteral("&Export..."), [this] { ExportSheet(); });
    M->addSeparator();
    AddItem(M, QStringLiteral("Preview"), [this] { PreviewSheet(); });
    AddItem(M, QStringLiteral("&Print..."), [this] { PrintSheet(); });
    M->addSeparator();
    AddItem(M, QStringLiteral("&Close"), [this] { close(); }, {}, false);
}

void TQvSheetDesigner::BuildEditMenu(QMenu* M) {
    // Undo and redo name the step they take; they are not steps themselves.
    FUndo = M->addAction(QStringLiteral("&Undo"));
    FUndo->setObjectName(QStringLiteral("Undo"));
    FUndo->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    connect(FUndo, &QAction::triggered, this, [this] { UndoStep(); });
    FRedo = M->addAction(QStringLiteral("&Redo"));
    FRedo->setObjectName(QStringLiteral("Redo"));
    FRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(FRedo, &QAction::triggered, this, [this] { RedoStep(); });
    M->addSeparator();
    AddItem(M, QStringLiteral("C&ut"), [this] { CutCells(); }, QKeySequence(Qt::CTRL | Qt::Key_X));
    AddItem(M, QStringLiteral("&Copy"), [this] { CopyCells(); }, QKeySequence(Qt::CTRL | Qt::Key_C));
    AddItem(M, QStringLiteral("&Paste"), [this] { PasteCells(); }, QKeySequence(Qt::CTRL | Qt::Key_V));
    M->addSeparator();
    QMenu* insert = SubMenu(M, QStringLiteral("&Insert"));
    AddItem(insert, QStringLiteral("&Columns"), [this] { InsertLines(axCols); });
    AddItem(insert, QStringLiteral("&Rows"), [this] { InsertLines(axRows); });
    QMenu* remove = SubMenu(M, QStringLiteral("&Remove"));
    AddItem(remove, QStringLiteral("&Columns"), [this] { RemoveLines(axCols); });
    AddItem(remove, QStringLiteral("&Rows"), [this] { RemoveLines(axRows); });
    QMenu* clear = SubMenu(M, QStringLiteral("Cle&ar"));
    AddItem(clear, QStringLiteral("&All"), [this] { ClearAll(); }, {}, true, ssSelection);
    AddItem(clear, QStringLiteral("&Borders"), [this] { ClearBorders(); }, {}, true, ssSelection);
    AddItem(clear, QStringLiteral("&Colors"), [this] { ClearColors(); }, {}, true, ssSelection);
    AddItem(clear, QStringLiteral("Ce&lls"), [this] { ClearCells(); }, QKeySequence(Qt::Key_Delete), true,
            ssSelection);
    AddItem(
        clear, QStringLiteral("&Hints"),
        [this] {
            if (Sel()) Sel()->ClearHints();
        },
        {}, true, ssSelection);
    M->addSeparator();
    QMenu* direction = SubMenu(M, QStringLiteral("Enter &Direction"));
    auto* group = new QActionGroup(direction);
    for (const auto& [caption, dir] : {std::pair{"&Right", dRight}, std::pair{"&Down", dDown},
                                       std::pair{"&Left", dLeft}, std::pair{"&Up", dUp}}) {
        const TQvDirection d = dir;
        QAction* item = AddItem(direction, QString::fromLatin1(caption), [this, d] { FGrid->SetEnterDir(d); }, {},
                                false);
        item->setCheckable(true);
        item->setChecked(d == dDown);
        SetTag(item, d);
        group->addAction(item);
    }
}

void TQvSheetDesigner::BuildViewMenu(QMenu* M) {
    auto* layout = new QActionGroup(M);
    QAction* normal = AddItem(M, QStringLiteral("&Normal"),
                              [this] { FGrid->SetOptions(FGrid->Options() & ~TQvOptions(oPageLayout)); }, {}, false);
    QAction* print = AddItem(M, QStringLiteral("&Print Layout"), nullptr);
    for (QAction* a : {normal, print}) {
        a->setCheckable(true);
        layout->addAction(a);
    }
    normal->setChecked(true);
    M->addSeparator();
    QMenu* scale = SubMenu(M, QStringLiteral("&Scale"));
    for (const char* s : {"200%", "100%", "75%", "50%", "25%"}) {
        const QString text = QString::fromLatin1(s);
        AddItem(
            scale, text,
            [this, text] {
                FScaleSelector->setEditText(text);
                SelectScale();
            },
            {}, true, ssNone);
    }
    M->addSeparator();
    QAction* hints = AddItem(M, QStringLiteral("&Hints"), [] {}, {}, false);
    hints->setCheckable(true);
    hints->setChecked(true);
    connect(hints, &QAction::toggled, this, [this](bool On) {
        for (int k = 0; k < 4; ++k) FGrid->Views(static_cast<TQvSectionKind>(k))->SetShowHint(On);
    });
    QAction* lines = AddItem(M, QStringLiteral("&Grid Lines"), [] {}, {}, false);
    lines->setCheckable(true);
    lines->setChecked(true);
    connect(lines, &QAction::toggled, this, [this](bool On) {
        const TQvOptions both = oVertLines | oHorzLines;
        FGrid->SetOptions(On ? FGrid->Options() | both : FGrid->Options() & ~both);
    });
}

void TQvSheetDesigner::BuildFormatMenu(QMenu* M) {
    AddItem(M, QStringLiteral("&Cells..."), [this] { EditSelection(); });
    QMenu* base = SubMenu(M, QStringLiteral("&Base Style"));
    AddItem(base, QStringLiteral("&Client"), [this] { EditCells(Sheet()->BaseClientStyle(), this); });
    AddItem(base, QStringLiteral("&Title"), [this] { EditCells(Sheet()->BaseTitleStyle(), this); });
    M->addSeparator();
    QMenu* cols = SubMenu(M, QStringLiteral("&Columns"));
    AddItem(cols, QStringLiteral("&Width..."), nullptr);
    AddItem(cols, QStringLiteral("&Hide"), nullptr);
    AddItem(cols, QStringLiteral("&Show"), nullptr);
    QMenu* rows = SubMenu(M, QStringLiteral("&Rows"));
    AddItem(rows, QStringLiteral("&Height..."), nullptr);
    AddItem(rows, QStringLiteral("&Hide"), nullptr);
    AddItem(rows, QStringLiteral("&Show"), nullptr);
    M->addSeparator();
    QMenu* background = SubMenu(M, QStringLiteral("Back&ground"));
    AddItem(background, QStringLiteral("&Open..."), [this] { OpenBackground(); });
    FRemoveBackground = AddItem(background, QStringLiteral("&Remove"), [this] { RemoveBackground(); });
    M->addSeparator();
    AddItem(M, QStringLiteral("&Styles..."), [this] { EditStylesClick(); });
}

void TQvSheetDesigner::BuildSelectionMenu() {
    FSelectionMenu = new QMenu(this);
    FSelectionMenu->setObjectName(QStringLiteral("SelectionMenu"));
    QMenu* m = FSelectionMenu;
    // Their shortcuts work through the menu bar's items; here they are shown.
    for (QAction* a : {AddItem(m, QStringLiteral("C&ut"), [this] { CutCells(); }, QKeySequence(Qt::CTRL | Qt::Key_X)),
                       AddItem(m, QStringLiteral("&Copy"), [this] { CopyCells(); }, QKeySequence(Qt::CTRL | Qt::Key_C)),
                       AddItem(m, QStringLiteral("&Paste"), [this] { PasteCells(); },
                               QKeySequence(Qt::CTRL | Qt::Key_V))})
        a->setShortcutContext(Qt::WidgetShortcut);
    // Del is the menu bar's Clear > Cells; here it is only shown.
    QAction* del = AddItem(m, QStringLiteral("&Delete"), [this] { ClearCells(); }, {}, true, ssSelection);
    del->setShortcut(QKeySequence(Qt::Key_Delete));
    del->setShortcutContext(Qt::WidgetShortcut);
    m->addSeparator();
    QAction* format = AddItem(m, QStringLiteral("&Format..."), [this] { EditSelection(); },
                              QKeySequence(Qt::ALT | Qt::Key_Return));
    // Alt+Enter works on the grid too, not only while the menu is open.
    addAction(format);
    AddItem(m, QStringLiteral("&Insert Image"), [this] { InsertImage1Click(); });
}

// --- keys and closing ----------------------------------------------------

bool TQvSheetDesigner::eventFilter(QObject* Watched, QEvent* Event) {
    const bool scale = FScaleSelector && Watched == FScaleSelector->lineEdit();
    if (Event->type() == QEvent::KeyPress && (scale || Watched == FEHint)) {
        const int key = static_cast<QKeyEvent*>(Event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // Enter is swallowed: it sets the scale, or leaves the hint.
            if (scale)
                Run([this] { SelectScale(); }, QStringLiteral("Scale"), ssNone);
            else
                FGrid->setFocus();
            return true;
        }
    }
    // Leaving the selector with a changed text applies it.
    if (scale && Event->type() == QEvent::FocusOut && !FSelectingScale &&
        FScaleSelector->currentText() != QString::number(FGrid->Scale()) + QLatin1Char('%'))
        Run([this] { SelectScale(); }, QStringLiteral("Scale"), ssNone);
    return QMainWindow::eventFilter(Watched, Event);
}

void TQvSheetDesigner::closeEvent(QCloseEvent* Event) {
    QMainWindow::closeEvent(Event);
    emit Closed();
}

void TQvSheetDesigner::ShowModal() {
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(this, &TQvSheetDesigner::Closed, &loop, &QEventLoop::quit);
    show();
    loop.exec();
}

void EditSheet(TQvSheet* Sheet, QWidget* Parent) {
    TQvSheetDesigner designer(Parent);
    designer.SetSheet(Sheet);
    designer.ShowModal();
}

}  // namespace qv
