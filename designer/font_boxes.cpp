#include "designer/font_boxes.h"

#include <algorithm>

#include <QFontDatabase>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>

namespace qv {

uint32_t FontFamilyFlags(const QString& Family) {
    if (!QFontDatabase::isScalable(Family)) return ffBitmapFont;
    // Scalable bitmap fonts are neither outline fonts nor raster fonts.
    if (!QFontDatabase::isSmoothlyScalable(Family)) return 0;
    uint32_t flags = ffOutlineFont;
    for (const QString& style : QFontDatabase::styles(Family)) {
        const int bold = QFontDatabase::weight(Family, style) > 500 ? 1 : 0;
        const int italic = QFontDatabase::italic(Family, style) ? 2 : 0;
        flags |= 1u << (bold + italic);
    }
    return flags;
}

const std::vector<TFontFamily>& FontList() {
    static const std::vector<TFontFamily> list = [] {
        std::vector<TFontFamily> result;
        for (const QString& family : QFontDatabase::families()) {
            if (QFontDatabase::isPrivateFamily(family)) continue;
            result.push_back({family, FontFamilyFlags(family)});
        }
        std::stable_sort(result.begin(), result.end(), [](const TFontFamily& A, const TFontFamily& B) {
            return A.Name.compare(B.Name, Qt::CaseInsensitive) < 0;
        });
        result.erase(std::unique(result.begin(), result.end(),
                                 [](const TFontFamily& A, const TFontFamily& B) {
                                     return A.Name.compare(B.Name, Qt::CaseInsensitive) == 0;
                                 }),
                     result.end());
        return result;
    }();
    return list;
}

void DrawOutlineFontMark(QPainter& Painter, QPoint TopLeft) {
    // Two overlapping letters drawn as outlines: a grey one behind, a blue
    // one in front, the way an outline font scales to any size.
    Painter.save();
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.translate(TopLeft);
    auto letter = [](qreal X, qreal Scale) {
        QPainterPath path;
        path.moveTo(X, 11);
        path.lineTo(X + 4 * Scale, 11 - 10 * Scale);
        path.lineTo(X + 8 * Scale, 11);
        path.moveTo(X + 1.6 * Scale, 11 - 4 * Scale);
        path.lineTo(X + 6.4 * Scale, 11 - 4 * Scale);
        return path;
    };
    Painter.setBrush(Qt::NoBrush);
    Painter.setPen(QPen(QColor(128, 128, 128), 1.2));
    Painter.drawPath(letter(2, 0.8));
    Painter.setPen(QPen(QColor(0, 64, 160), 1.6));
    Painter.drawPath(letter(8, 1.0));
    Painter.restore();
}

// --- TFontOutlineBox ---

TFontOutlineBox::TFontOutlineBox(QWidget* Parent, TComboBoxStyle Style) : TProPickBox(Parent, Style) {
    setObjectName(QStringLiteral("FontOutlineBox"));
    FillItems();
}

void TFontOutlineBox::FillItems() {
    ClearItems();
    for (const char* name : {"Regular", "Bold", "Italic", "Bold Italic"}) AddItem(QString::fromLatin1(name));
    SetItemIndex(0);
}

void TFontOutlineBox::SetFontStyles(TFontStyles Value) {
    if (Value == FFontStyles) return;
    FFontStyles = Value;
    SetItemIndex(Value.Bits() & 3);
    if (FFontBox) FFontBox->SelFont().SetStyle(Value);
}

void TFontOutlineBox::Click() {
    const int index = std::max(0, ItemIndex());
    SetFontStyles(TFontStyles::FromBits(uint32_t(index)) + FFontStyles * TFontStyles{fsUnderline, fsStrikeOut});
    TProPickBox::Click();
}

// --- TFontSizeBox ---

TFontSizeBox::TFontSizeBox(QWidget* Parent, TComboBoxStyle Style) : TProPickBox(Parent, Style) {
    setObjectName(QStringLiteral("FontSizeBox"));
    FillItems();
    if (EditControl()) EditControl()->setMaxLength(4);
    SetItemIndex(IndexOf(QString::number(FFontSize)));
}

void TFontSizeBox::FillItems() {
    ClearItems();
    for (int size : {6, 7, 8, 10, 12, 14, 16, 20, 24, 32, 48, 72}) AddItem(QString::number(size));
}

void TFontSizeBox::SetFontSize(int Value) {
    Value = std::clamp(Value, 1, MaxFontSize);
    if (Value != FFontSize) {
        FFontSize = Value;
        if (FFontBox) FFontBox->SelFont().SetSize(Value);
    }
    const QString text = QString::number(FFontSize);
    if (Text() != text) {
        const int index = IndexOf(text);
        if (index >= 0)
            SetItemIndex(index);
        else {
            SetItemIndex(-1);
            SetText(text);
        }
    }
}

void TFontSizeBox::Change() {
    const QString text = Text();
    bool ok = false;
    const int size = text.toInt(&ok);
    if (!text.isEmpty() && ok) SetFontSize(size);
    TProPickBox::Change();
}

void TFontSizeBox::KeyPress(char32_t& Key) {
    TProPickBox::KeyPress(Key);
    // Enter and Escape are no text: they stay with the dialog.
    if (Key == 8 || Key == 13 || Key == 27 || (Key >= U'0' && Key <= U'9')) return;
    Key = 0;
}

// --- TFontBox ---

TFontBox::TFontBox(QWidget* Parent, TComboBoxStyle Style) : TProPickBox(Parent, Style) {
    setObjectName(QStringLiteral("FontBox"));
    SetItemHeight(std::max(ItemHeight(), OutlineMarkHeight + 2));
    FillItems();
    FSelFont.OnChange = [this](TObject*) { SelFontChanged(); };
    // The starting font is shown like any later one.
    ShowSelFont();
}

TFontBox::~TFontBox() { FSelFont.OnChange = nullptr; }

void TFontBox::FillItems() {
    ClearItems();
    for (const TFontFamily& family : FontList()) AddItem(family.Name, QVariant::fromValue(family.Flags));
}

uint32_t TFontBox::ItemFlags(int Index) const { return ItemData(Index).toUInt(); }

void TFontBox::DrawItem(QPainter& Painter, int Index, const QRect& Rect, bool) {
    Painter.setFont(font());
    const QRect text(Rect.left() + OutlineMarkWidth, Rect.top(), Rect.width() - OutlineMarkWidth, Rect.height());
    Painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, Item(Index));
    if (ItemFlags(Index) & ffOutlineFont)
        DrawOutlineFontMark(Painter, QPoint(Rect.left(), Rect.top() + (Rect.height() - OutlineMarkHeight) / 2));
}

void TFontBox::SetSelFont(const TFont& Font) {
    // An equal font changes nothing and raises nothing, but the box and its
    // linked boxes still show it: the text may have been typed over since.
    if (FSelFont.Equals(Font))
        ShowSelFont();
    else
        FSelFont.Assign(Font);
}

void TFontBox::SetOutlineBox(TFontOutlineBox* Box) {
    if (Box == FOutlineBox) return;
    if (FOutlineBox) FOutlineBox->FFontBox = nullptr;
    FOutlineBox = Box;
    if (!Box) return;
    if (Box->FFontBox && Box->FFontBox != this) Box->FFontBox->FOutlineBox = nullptr;
    Box->FFontBox = this;
    Box->SetFontStyles(FSelFont.Style());
}

void TFontBox::SetSizeBox(TFontSizeBox* Box) {
    if (Box == FSizeBox) return;
    if (FSizeBox) FSizeBox->FFontBox = nullptr;
    FSizeBox = Box;
    if (!Box) return;
    if (Box->FFontBox && Box->FFontBox != this) Box->FFontBox->FSizeBox = nullptr;
    Box->FFontBox = this;
    Box->SetFontSize(FSelFont.Size());
}

void TFontBox::Change() {
    FSelFont.SetName(Text().toStdString());
    TProPickBox::Change();
}

void TFontBox::SelFontChanged() {
    ShowSelFont();
    if (OnFontChange) OnFontChange(this);
}

void TFontBox::ShowSelFont() {
    const QString name = QString::fromStdString(FSelFont.Name());
    const int index = IndexOf(name);
    if (index >= 0) {
        if (ItemIndex() != index) SetItemIndex(index);
    } else if (Text() != name) {
        SetItemIndex(-1);
        SetText(name);
    }
    if (FOutlineBox) FOutlineBox->SetFontStyles(FSelFont.Style());
    if (FSizeBox) FSizeBox->SetFontSize(FSelFont.Size());
}

}  // namespace qv
