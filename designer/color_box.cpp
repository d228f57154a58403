#include "designer/color_box.h"

#include <QMouseEvent>
#include <QPainter>

#include "qt/qt_convert.h"

namespace qv {

namespace {

TColorPalette MakeDefaultPalette() {
    static const uint8_t rgb[PaletteSize][3] = {
        {0, 0, 0},       {146, 48, 0},    {48, 48, 0},     {0, 48, 0},      {0, 48, 96},     {0, 0, 127},     {48, 48, 146},   {48, 48, 48},
        {127, 0, 0},     {255, 96, 0},    {127, 127, 0},   {0, 127, 0},     {0, 127, 127},   {0, 0, 255},     {96, 96, 146},   {127, 127, 127},
        {255, 0, 0},     {255, 146, 0},   {146, 200, 0},   {48, 151, 96},   {48, 200, 200},  {48, 96, 255},   {127, 0, 127},   {146, 146, 146},
        {255, 0, 255},   {255, 200, 0},   {255, 255, 0},   {0, 255, 0},     {0, 255, 255},   {0, 200, 255},   {146, 48, 96},   {191, 191, 191},
        {255, 151, 200}, {255, 200, 146}, {255, 255, 146}, {200, 255, 200}, {200, 255, 255}, {146, 200, 255}, {200, 151, 255}, {255, 255, 255},
        {146, 151, 255}, {146, 48, 96},   {255, 255, 200}, {200, 255, 255}, {96, 0, 96},     {255, 127, 127}, {0, 100, 200},   {200, 200, 255},
        {0, 0, 127},     {255, 0, 255},   {255, 255, 0},   {0, 255, 255},   {127, 0, 127},   {127, 0, 0},     {0, 127, 127},   {0, 0, 255},
    };
    TColorPalette p{};
    for (int i = 0; i < PaletteSize; ++i) p[i] = RGB(rgb[i][0], rgb[i][1], rgb[i][2]);
    return p;
}

bool InPalette(int Index) { return Index >= 0 && Index < PaletteSize; }

}  // namespace

const TColorPalette& DefaultColorPalette() {
    static const TColorPalette palette = MakeDefaultPalette();
    return palette;
}

TColorPalette& SharedColorPalette() {
    static TColorPalette palette = DefaultColorPalette();
    return palette;
}

QRect SwatchRect(QSize ClientSize, int Index) {
    if (Index < 0 || Index >= ShownSwatchCount) return {};
    const int w = ClientSize.width() / 8;
    const int h = (ClientSize.height() - 6) / 7;
    const int row = Index / 8, col = Index % 8;
    const int top = row < 4 ? row * h : 4 * h + SwatchGap;
    return QRect(col * w, top, w, h);
}

int SwatchAt(QSize ClientSize, QPoint P) {
    const int w = ClientSize.width() / 8;
    const int h = (ClientSize.height() - 6) / 7;
    if (w <= 0 || h <= 0 || P.x() < 0 || P.y() < 0 || P.x() >= 8 * w) return -1;
    int row;
    if (P.y() < 4 * h)
        row = P.y() / h;
    else if (P.y() >= 4 * h + SwatchGap && P.y() < 5 * h + SwatchGap)
        row = 4;
    else
        return -1;
    return row * 8 + P.x() / w;
}

TColorBox::TColorBox(QWidget* Parent) : QWidget(Parent), FPalette(SharedColorPalette()) {
    setObjectName(QStringLiteral("ColorBox"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(144, 133);
}

void TColorBox::SetGlobal(bool Value) {
    FGlobal = Value;
    if (FGlobal) FPalette = SharedColorPalette();
    update();
}

void TColorBox::SetActiveIndex(int Value) {
    if (!InPalette(Value)) Value = -1;
    if (Value == FActiveIndex) return;
    FActiveIndex = Value;
    if (OnChange) OnChange(this);
    emit Changed();
    update();
}

TColor TColorBox::PaletteColor(int Index) const {
    if (!InPalette(Index)) return clNone;
    return FGlobal ? SharedColorPalette()[Index] : FPalette[Index];
}

void TColorBox::SelectColor(TColor Color) {
    // Searches the colours the box shows, so a shared entry another box
    // changed is found here too.
    for (int i = 0; i < PaletteSize; ++i)
        if (PaletteColor(i) == Color) {
            SetActiveIndex(i);
            return;
        }
    SetActiveIndex(-1);
}

void TColorBox::SetPaletteColor(int Index, TColor Color) {
    if (!InPalette(Index)) return;
    FPalette[Index] = Color;
    if (FGlobal) SharedColorPalette()[Index] = Color;
    update();
}

void TColorBox::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    update();
}

void TColorBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QSize size = this->size();
    p.fillRect(rect(), ToQColor(FColor));
    const QColor shadow = ToQColor(clBtnShadow);
    const QColor highlight = ToQColor(clBtnHighlight);
    for (int i = 0; i < ShownSwatchCount; ++i) {
        const QRect cell = SwatchRect(size, i);
        if (i == FActiveIndex) {
            // A sunken edge around the whole cell over the face colour.
            p.fillRect(cell, ToQColor(clBtnFace));
            const QRect outer = cell.adjusted(0, 0, -1, -1);
            const QRect inner = cell.adjusted(1, 1, -2, -2);
            p.setPen(shadow);
            p.drawLine(outer.topLeft(), outer.topRight());
            p.drawLine(outer.topLeft(), outer.bottomLeft());
            p.setPen(highlight);
            p.drawLine(outer.bottomLeft(), outer.bottomRight());
            p.drawLine(outer.topRight(), outer.bottomRight());
            p.setPen(ToQColor(cl3DDkShadow));
            p.drawLine(inner.topLeft(), inner.topRight());
            p.drawLine(inner.topLeft(), inner.bottomLeft());
            p.setPen(ToQColor(cl3DLight));
            p.drawLine(inner.bottomLeft(), inner.bottomRight());
            p.drawLine(inner.topRight(), inner.bottomRight());
        }
        const QRect fill = cell.adjusted(4, 4, -4, -4);
        if (fill.isEmpty()) continue;
        p.fillRect(fill, ToQColor(PaletteColor(i)));
        p.setPen(shadow);
        p.setBrush(Qt::NoBrush);
        p.drawRect(cell.adjusted(3, 3, -4, -4));
    }
    // The separator in the gap between rows 3 and 4.
    const int w = size.width() / 8;
    const int h = (size.height() - 6) / 7;
    p.setPen(shadow);
    p.drawLine(2, 4 * h + 3, 8 * w - 2, 4 * h + 3);
    p.setPen(highlight);
    p.drawLine(2, 4 * h + 4, 8 * w - 2, 4 * h + 4);
}

void TColorBox::mousePressEvent(QMouseEvent* Event) {
    const int index = SwatchAt(size(), Event->position().toPoint());
    if (index >= 0) SetActiveIndex(index);
}

void TColorBox::mouseMoveEvent(QMouseEvent* Event) {
    if (Event->buttons() & Qt::LeftButton) SetActiveIndex(SwatchAt(size(), Event->position().toPoint()));
}

void TColorBox::mouseReleaseEvent(QMouseEvent* Event) {
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()) && OnClick) OnClick(this);
}

void TColorBox::mouseDoubleClickEvent(QMouseEvent* Event) {
    mousePressEvent(Event);
    if (Event->button() == Qt::LeftButton && OnDblClick) OnDblClick(this);
}

}  // namespace qv
