// The pages of the Format Cells dialog: their controls, names, captions and
// the wiring of each control to the handler that marks its item changed.
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "designer/cell_designer.h"
#include "designer/color_box.h"
#include "designer/color_panel.h"
#include "designer/font_boxes.h"
#include "designer/pick_box.h"
#include "designer/popup_panel.h"
#include "grids/manager.h"

namespace qv {

namespace {

// The indent box: its arrows (and the arrow keys) report each step, while
// typed digits only move the position.
class TIndentBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;
    std::function<void()> OnStep;
    QLineEdit* Edit() const { return lineEdit(); }
    void stepBy(int Steps) override {
        QSpinBox::stepBy(Steps);
        if (OnStep) OnStep();
    }
};

// --- icons, painted here rather than taken from a theme ---------------------

QPixmap NewIcon(int W, int H) {
    QPixmap pm(W, H);
    pm.fill(Qt::transparent);
    return pm;
}

// A small cell diagram: dotted guides, and the lines of Mask drawn solid.
QIcon LinesIcon(uint8_t Mask) {
    QPixmap pm = NewIcon(16, 16);
    QPainter p(&pm);
    p.setPen(QPen(QColor(128, 128, 128), 1, Qt::DotLine));
    p.drawRect(1, 1, 13, 13);
    p.drawLine(8, 1, 8, 14);
    p.drawLine(1, 8, 14, 8);
    p.setPen(QPen(Qt::black, 1));
    auto on = [&](int Index) { return (Mask >> Index) & 1u; };
    if (on(liLeft)) p.drawLine(1, 1, 1, 14);
    if (on(liTop)) p.drawLine(1, 1, 14, 1);
    if (on(liRight)) p.drawLine(14, 1, 14, 14);
    if (on(liBottom)) p.drawLine(1, 14, 14, 14);
    if (on(liBias1)) p.drawLine(1, 1, 14, 14);
    if (on(liBias2)) p.drawLine(1, 14, 14, 1);
    if (on(liHInternal)) p.drawLine(1, 8, 14, 8);
    if (on(liVInternal)) p.drawLine(8, 1, 8, 14);
    return QIcon(pm);
}

QIcon LineStyleIcon(int Style) {
    QPixmap pm = NewIcon(24, 12);
    QPainter p(&pm);
    p.fillRect(1, 6 - Style / 2, 22, Style, Qt::black);
    return QIcon(pm);
}

// A grey cell with the frame style drawn around it, in the light and dark
// edges a painted frame uses.
QIcon FrameIcon(int Style) {
    QPixmap pm = NewIcon(18, 18);
    QPainter p(&pm);
    const QColor face(212, 208, 200), light(Qt::white), shadow(128, 128, 128), dark(Qt::black);
    p.fillRect(1, 1, 16, 16, face);
    // One ring of edges, Inset pixels in: Raised puts the light edge top and
    // left.
    auto ring = [&](int Inset, bool Raised, const QColor& Light, const QColor& Dark) {
        const int l = 1 + Inset, t = 1 + Inset, r = 16 - Inset, b = 16 - Inset;
        p.setPen(Raised ? Light : Dark);
        p.drawLine(l, t, r, t);
        p.drawLine(l, t, l, b);
        p.setPen(Raised ? Dark : Light);
        p.drawLine(l, b, r, b);
        p.drawLine(r, t, r, b);
    };
    switch (Style) {
        case frFlatUp: ring(0, true, light, shadow); break;
        case frFlatDown: ring(0, false, light, shadow); break;
        case frDeepUp: ring(0, true, light, dark); ring(1, true, face, shadow); break;
        case frDeepDown: ring(0, false, light, dark); ring(1, false, face, shadow); break;
        case frBevelUp: ring(0, true, light, shadow); ring(2, false, light, shadow); break;
        case frBevelDown: ring(0, false, light, shadow); ring(2, true, light, shadow); break;
        default:
            p.setPen(QPen(shadow, 1, Qt::DotLine));
            p.drawRect(1, 1, 15, 15);
            break;
    }
    return QIcon(pm);
}

QLabel* Caption(const QString& Text, QWidget* Buddy, QWidget* Parent) {
    auto* label = new QLabel(Text, Parent);
    label->setBuddy(Buddy);
    return label;
}

template <class T>
T* Named(T* W, const QString& Name) {
    W->setObjectName(Name);
    return W;
}

}  // namespace

QToolButton* TQvCellDesigner::NewToolButton(const QString& Name, const QString& Hint, const QIcon& Icon) {
    auto* b = new QToolButton(this);
    b->setObjectName(Name);
    b->setToolTip(Hint);
    b->setIcon(Icon);
    b->setAutoRaise(true);
    return b;
}

void TQvCellDesigner::BuildPages() {
    setMinimumSize(364, 324);
    FPages = Named(new QTabWidget(this), "PageControl");
    FPages->setStyleSheet("QTabBar::tab { min-width: 52px; }");
    FPages->addTab(BuildControlPage(), "Control");
    FPages->addTab(BuildLayoutPage(), "Layout");
    FPages->addTab(BuildColorPage(), "Color");
    FPages->addTab(BuildFontPage(), "Font");
    FPages->addTab(BuildBorderPage(), "Border");
    FPages->addTab(BuildBasedOnPage(), "Based On");
    FPages->setTabVisible(FPages->indexOf(FBasedOnPage), false);

    FOkButton = Named(new QPushButton("OK", this), "OK");
    FOkButton->setDefault(true);
    FCancelButton = Named(new QPushButton("Cancel", this), "Cancel");
    FApplyButton = Named(new QPushButton("Apply", this), "Apply");
    FApplyButton->setEnabled(false);
    connect(FOkButton, &QPushButton::clicked, this, &TQvCellDesigner::accept);
    connect(FCancelButton, &QPushButton::clicked, this, &TQvCellDesigner::reject);
    connect(FApplyButton, &QPushButton::clicked, this, [this] { Apply(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(FOkButton);
    buttons->addWidget(FCancelButton);
    buttons->addWidget(FApplyButton);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(FPages, 1);
    layout->addLayout(buttons);
    // As small as the pages allow, rather than as large as the lists ask.
    resize(minimumSizeHint().expandedTo(QSize(440, 400)));

    BuildColorPopup();
}

QWidget* TQvCellDesigner::BuildControlPage() {
    auto* page = Named(new QWidget, "ControlPage");
    FCellClasses = Named(new QListWidget(page), "CellClasses");
    TQvManager& m = QvManager();
    for (int i = 0; i < m.ClassCount(); ++i) FCellClasses->addItem(m.ClassAt(i)->Name);
    FEditClasses = Named(new QListWidget(page), "EditClasses");

    FPanelFormat = Named(new QGroupBox("Format ", page), "PanelFormat");
    FFormatSample = Named(new QLineEdit(FPanelFormat), "FormatSample");
    FFormatSample->setReadOnly(true);
    FCellFormats = Named(new TPickBox(FPanelFormat, csSimple), "CellFormats");
    auto* format = new QVBoxLayout(FPanelFormat);
    format->addWidget(Caption("&Sample", FFormatSample, FPanelFormat));
    format->addWidget(FFormatSample);
    format->addWidget(Caption("&Mask", FCellFormats, FPanelFormat));
    format->addWidget(FCellFormats, 1);

    auto* grid = new QGridLayout(page);
    grid->addWidget(Caption("&Cell Class", FCellClasses, page), 0, 0);
    grid->addWidget(FCellClasses, 1, 0);
    grid->addWidget(Caption("&Editor Class", FEditClasses, page), 2, 0);
    grid->addWidget(FEditClasses, 3, 0);
    grid->addWidget(FPanelFormat, 0, 1, 4, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);

    connect(FCellClasses, &QListWidget::currentRowChanged, this, [this](int Row) {
        if (!FChoosingClass && Row >= 0) SetChosenClass(QvManager().ClassAt(Row));
    });
    connect(FEditClasses, &QListWidget::currentRowChanged, this, [this](int Row) {
        if (FChoosingClass || Row < 0) return;
        FEditorTouched = true;
        MarkChanged(itControl);
    });
    FCellFormats->OnChange = [this](TObject*) {
        UpdateFormatSample();
        if (FChoosingClass) return;
        FFormatTouched = true;
        MarkChanged(itControl);
    };
    return page;
}

QWidget* TQvCellDesigner::BuildLayoutPage() {
    auto* page = Named(new QWidget, "LayoutPage");
    auto* panel = new QGroupBox("Layout ", page);
    FHAlign = Named(new QComboBox(panel), "HAlign");
    FHAlign->addItems({"Left", "Right", "Center"});
    FVAlign = Named(new QComboBox(panel), "VAlign");
    FVAlign->addItems({"Top", "Bottom", "Center"});
    FWrapMode = Named(new QComboBox(panel), "WrapMode");
    FWrapMode->addItems({"Clipped", "Ellipsis", "Wrap words"});
    auto* indent = Named(new TIndentBox(panel), "Indent");
    indent->setRange(0, 100);
    indent->Edit()->setObjectName("IndentEdit");
    FIndent = indent;

    auto* grid = new QGridLayout(panel);
    grid->addWidget(Caption("&Horizontal Alignment", FHAlign, panel), 0, 0);
    grid->addWidget(FHAlign, 1, 0);
    grid->addWidget(Caption("&Indent", FIndent, panel), 0, 1);
    grid->addWidget(FIndent, 1, 1);
    grid->addWidget(Caption("&Vertical Alignment", FVAlign, panel), 2, 0);
    grid->addWidget(FVAlign, 3, 0);
    grid->addWidget(Caption("&Wrap Mode", FWrapMode, panel), 4, 0);
    grid->addWidget(FWrapMode, 5, 0);

    auto* diverse = new QGroupBox("Diverse ", page);
    FProtect = Named(new QCheckBox("&Protected", diverse), "Protect");
    FHidden = Named(new QCheckBox("&Hidden", diverse), "Hidden");
    FMerged = Named(new QCheckBox("&Merged", diverse), "CBMerged");
    FMerged->hide();
    auto* checks = new QHBoxLayout(diverse);
    checks->addWidget(FProtect);
    checks->addWidget(FHidden);
    checks->addWidget(FMerged);
    checks->addStretch(1);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(panel);
    layout->addWidget(diverse);
    layout->addStretch(1);

    for (QComboBox* box : {FHAlign, FVAlign, FWrapMode})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { MarkChanged(itLayout); });
    indent->OnStep = [this] { MarkChanged(itLayout); };
    connect(FProtect, &QCheckBox::clicked, this, [this] { MarkChanged(itProtect); });
    connect(FHidden, &QCheckBox::clicked, this, [this] { MarkChanged(itShowing); });
    connect(FMerged, &QCheckBox::clicked, this, [this] { MergedClick(); });
    return page;
}

QWidget* TQvCellDesigner::BuildColorPage() {
    auto* page = Named(new QWidget, "ColorPage");
    FAutoColor = Named(new QToolButton(page), "AutoColor");
    FAutoColor->setText("Auto");
    FAutoColor->setCheckable(true);
    FAutoColor->setChecked(true);
    FAutoColor->setAutoRaise(true);
    FAutoColor->setMinimumWidth(144);
    FColors = Named(new TColorBox(page), "Colors");
    FColors->setFixedSize(144, 133);

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel("Fill Color", page));
    layout->addWidget(FAutoColor);
    layout->addWidget(FColors);
    layout->addStretch(1);

    connect(FAutoColor, &QToolButton::clicked, this, [this] { AutoColorClick(); });
    FColors->OnChange = [this](TObject*) { ColorsChange(); };
    FColors->OnClick = [this](TObject*) { ColorsChange(); };
    FColors->OnDblClick = [this](TObject*) { ColorsDblClick(); };
    return page;
}

QWidget* TQvCellDesigner::BuildFontPage() {
    auto* page = Named(new QWidget, "FontPage");
    FFonts = Named(new TFontBox(page, csSimple), "Fonts");
    FOutlines = Named(new TFontOutlineBox(page), "Outlines");
    FSizes = Named(new TFontSizeBox(page), "Sizes");
    FFonts->SetOutlineBox(FOutlines);
    FFonts->SetSizeBox(FSizes);

    auto* effects = new QGroupBox("Effects", page);
    FUnderline = Named(new QCheckBox("&Underline", effects), "Underline");
    FStrikeout = Named(new QCheckBox("&Strikeout", effects), "Strikeout");
    auto* effectsLayout = new QVBoxLayout(effects);
    effectsLayout->addWidget(FUnderline);
    effectsLayout->addWidget(FStrikeout);

    auto* colors = new QGroupBox("Colors", page);
    FPanelTColor = Named(new TColorPanel(clBlack, "BTColor", colors), "PanelTColor");
    FPanelEColor = Named(new TColorPanel(clRed, "BEColor", colors), "PanelEColor");
    FErrorTextLabel = Caption("&Error Text", FPanelEColor, colors);
    auto preview = [&](const QString& Name) {
        auto* label = Named(new QLabel("AaBbYyZz", colors), Name);
        label->setAutoFillBackground(true);
        // A styled frame is outlined on every side; a plain sunken panel
        // draws its right and bottom edges in the light colour, which
        // vanishes on a white sample and makes it look cut off.
        label->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        label->setAlignment(Qt::AlignCenter);
        label->setMinimumHeight(34);
        label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        return label;
    };
    FPanelPreview = preview("PanelPreview");
    FPanelError = preview("PanelError");
    auto* colorGrid = new QGridLayout(colors);
    colorGrid->addWidget(Caption("&Normal Text", FPanelTColor, colors), 0, 0);
    colorGrid->addWidget(FPanelTColor, 0, 1);
    colorGrid->addWidget(FPanelPreview, 1, 0, 1, 2);
    colorGrid->addWidget(FErrorTextLabel, 2, 0);
    colorGrid->addWidget(FPanelEColor, 2, 1);
    colorGrid->addWidget(FPanelError, 3, 0, 1, 2);
    colorGrid->setRowStretch(4, 1);

    auto* grid = new QGridLayout(page);
    grid->addWidget(Caption("&Font", FFonts, page), 0, 0);
    grid->addWidget(FFonts, 1, 0, 3, 1);
    grid->addWidget(Caption("&Outline", FOutlines, page), 0, 1);
    grid->addWidget(FOutlines, 1, 1);
    grid->addWidget(Caption("&Size", FSizes, page), 0, 2);
    grid->addWidget(FSizes, 1, 2);
    grid->addWidget(effects, 2, 1, 1, 2);
    grid->addWidget(colors, 3, 1, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(3, 1);

    FFonts->OnFontChange = [this](TObject*) { FontChanged(); };
    connect(FUnderline, &QCheckBox::clicked, this, [this] { FontChanged(); });
    connect(FStrikeout, &QCheckBox::clicked, this, [this] { FontChanged(); });
    for (TColorPanel* panel : {FPanelTColor, FPanelEColor}) panel->OnDropDown = [this, panel] { DropDownPanel(panel); };
    return page;
}

QWidget* TQvCellDesigner::BuildBorderPage() {
    auto* page = Named(new QWidget, "BorderPage");
    auto* border = new QGroupBox("Border ", page);

    static const char* const lineNames[8] = {"Left",  "Top",   "Right",     "Bottom",
                                             "Bias1", "Bias2", "HInternal", "VInternal"};
    for (int i = 0; i < 8; ++i) {
        QToolButton* b = NewToolButton(QString("Line") + lineNames[i], QString(), LinesIcon(uint8_t(1u << i)));
        b->setCheckable(true);
        b->setProperty("tag", i);
        connect(b, &QToolButton::clicked, this, [this, i](bool Down) { SetLines(uint8_t(1u << i), Down); });
        FLineButtons[i] = b;
    }

    auto* frame = new QFrame(border);
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    frame->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    FBordersBox = Named(new TBorderPreview(FLines, frame), "BordersBox");
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->setContentsMargins(1, 1, 1, 1);
    frameLayout->addWidget(FBordersBox);
    FBordersBox->OnLineClick = [this](int Index, bool Double) { PreviewClick(Index, Double); };

    auto* styleGroup = new QButtonGroup(this);
    static const char* const styleNames[3] = {"Single", "Medium", "Double"};
    QToolButton* styles[3];
    for (int s = 1; s <= 3; ++s) {
        QToolButton* b = NewToolButton(styleNames[s - 1], styleNames[s - 1], LineStyleIcon(s));
        b->setCheckable(true);
        b->setProperty("tag", s);
        b->setIconSize(QSize(24, 12));
        styleGroup->addButton(b, s);
        styles[s - 1] = b;
        connect(b, &QToolButton::clicked, this, [this, s] { FLineStyle = static_cast<uint8_t>(s); });
    }
    styles[0]->setChecked(true);
    FPanelLColor = Named(new TColorPanel(clBlack, "BLColor", border), "PanelLColor");
    FPanelLColor->OnDropDown = [this] { DropDownPanel(FPanelLColor); };

    struct TPreset { const char* Hint; uint8_t Mask; bool On; };
    // The all-lines button names what it does; "Internal" belongs to the
    // button that sets only the inner lines.
    static const TPreset presets[4] = {{"No Border", 0xFF, false},
                                       {"External", 0x0F, true},
                                       {"Internal", uint8_t(1u << liHInternal | 1u << liVInternal), true},
                                       {"All Borders", uint8_t(0x0F | 1u << liHInternal | 1u << liVInternal), true}};
    auto* presetRow = new QHBoxLayout;
    for (const TPreset& p : presets) {
        QToolButton* b = NewToolButton(p.Hint, p.Hint, LinesIcon(p.On ? p.Mask : 0));
        connect(b, &QToolButton::clicked, this, [this, p] { SetLines(p.Mask, p.On); });
        presetRow->addWidget(b);
    }
    presetRow->addStretch(1);

    // Top, horizontal inner and bottom to the left of the box; left,
    // vertical inner, right and the diagonals below it.
    auto* left = new QVBoxLayout;
    left->addWidget(FLineButtons[liTop]);
    left->addStretch(1);
    left->addWidget(FLineButtons[liHInternal]);
    left->addStretch(1);
    left->addWidget(FLineButtons[liBottom]);
    auto* below = new QHBoxLayout;
    for (int i : {liLeft, liVInternal, liRight, liBias1, liBias2}) below->addWidget(FLineButtons[i]);
    below->addStretch(1);
    auto* right = new QVBoxLayout;
    for (QToolButton* b : styles) right->addWidget(b);
    right->addWidget(FPanelLColor);
    right->addStretch(1);

    auto* borderGrid = new QGridLayout(border);
    borderGrid->addLayout(presetRow, 0, 0, 1, 3);
    borderGrid->addLayout(left, 1, 0);
    borderGrid->addWidget(frame, 1, 1);
    borderGrid->addLayout(right, 1, 2);
    borderGrid->addLayout(below, 2, 1);

    auto* frames = new QGroupBox("Frame ", page);
    auto* frameGroup = new QButtonGroup(this);
    static const char* const frameNames[7] = {"No Frame",  "Flat Up",  "Flat Down", "Deep Up",
                                              "Deep Down", "Bevel Up", "Bevel Down"};
    auto* frameRow = new QHBoxLayout(frames);
    for (int f = 0; f < 7; ++f) {
        QToolButton* b = NewToolButton(frameNames[f], frameNames[f], FrameIcon(f));
        b->setCheckable(true);
        b->setProperty("tag", f);
        frameGroup->addButton(b, f);
        frameRow->addWidget(b);
        FFrameButtons[f] = b;
        connect(b, &QToolButton::clicked, this, [this, f] { SelectFrame(static_cast<uint8_t>(f)); });
    }
    FFrameButtons[frNoFrame]->setChecked(true);
    frameRow->addStretch(1);
    FPanelGColor = Named(new TColorPanel(clBlack, "BGColor", frames), "PanelGColor");
    FGridColorLabel = Caption("Grid Lines Color", FPanelGColor, frames);
    frameRow->addWidget(FGridColorLabel);
    frameRow->addWidget(FPanelGColor);
    FPanelGColor->OnDropDown = [this] { DropDownPanel(FPanelGColor); };

    auto* layout = new QVBoxLayout(page);
    layout->addWidget(border);
    layout->addWidget(frames);
    layout->addStretch(1);
    return page;
}

QWidget* TQvCellDesigner::BuildBasedOnPage() {
    FBasedOnPage = Named(new QWidget, "BasedOnPage");
    FLBStyles = Named(new QListWidget(FBasedOnPage), "LBStyles");
    auto* includes = new QGroupBox(" Includes ", FBasedOnPage);
    FCBStyleProps = Named(new QListWidget(includes), "CBStyleProps");
    for (const char* name : {"Control", "Layout", "Protect", "Showing", "Color", "Font", "Border", "Frame"}) {
        auto* item = new QListWidgetItem(name, FCBStyleProps);
        item->setFlags(Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    FCBStyleProps->setEnabled(false);
    auto* includesLayout = new QVBoxLayout(includes);
    includesLayout->addWidget(FCBStyleProps);

    auto* grid = new QGridLayout(FBasedOnPage);
    grid->addWidget(Caption("&Styles", FLBStyles, FBasedOnPage), 0, 0);
    grid->addWidget(FLBStyles, 1, 0);
    grid->addWidget(includes, 0, 1, 2, 1);
    connect(FLBStyles, &QListWidget::itemClicked, this, [this] { LBStylesClick(); });
    connect(FLBStyles, &QListWidget::currentRowChanged, this, [this](int Row) {
        if (Row >= 0) LBStylesClick();
    });
    return FBasedOnPage;
}

void TQvCellDesigner::BuildColorPopup() {
    FPopup = Named(new TPopupPanel(this), "ColorPopup");
    FColors2 = Named(new TColorBox(FPopup), "Colors2");
    FColors2->setGeometry(2, 2, 144, 133);
    FPopup->resize(148, 137);
    FColors2->OnChange = [this](TObject*) { PopupColorChanged(); };
    FColors2->OnClick = [this](TObject*) { FPopup->Close(); };
}

}  // namespace qv
