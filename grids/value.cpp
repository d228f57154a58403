#include "grids/value.h"

#include "grids/paint_context.h"
#include "platform/canvas.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TQvValue, TQvPro)

void TQvValue::DrawValue(TQvPaintContext& Context, TRect R) {
    const TCompactString& shown = Text();
    if (shown.empty() || !Context.Canvas) return;
    TDrawTextFlags flags = DT_NOPREFIX | DT_NOCLIP | DT_EXPANDTABS;
    if (Context.HAlign == haRight) flags |= DT_RIGHT;
    else if (Context.HAlign == haCenter) flags |= DT_CENTER;
    if (Context.WrapMode == wmEllipsis) flags |= DT_END_ELLIPSIS;
    else if (Context.WrapMode == wmWrapWords) flags |= DT_WORDBREAK;
    const std::string text = shown.str();
    if (Context.VAlign != vaTop) {
        TRect c = R;
        Context.Canvas->DrawText(text, c, flags | DT_CALCRECT);
        int32_t top = R.Top;
        if (Context.VAlign == vaBottom) top = R.Top + (R.Bottom - c.Bottom);
        else if (Context.VAlign == vaCenter) top = (R.Top + R.Bottom - (c.Bottom - c.Top)) / 2;
        // Text taller than the cell keeps to the top so that its start stays visible.
        if (top > R.Top) R.Top = top;
    }
    Context.Canvas->DrawText(text, R, flags);
}

double TQvValue::AsFloat() { return GetValue().AsDouble(); }
// Text is read as a date in the locale's date format, else as a number, as
// a date/time cell reads the text it is given.
TDateTime TQvValue::AsDateTime() { return GetValue().AsDateTime(); }
int32_t TQvValue::AsInteger() { return GetValue().AsInteger(); }
std::string TQvValue::AsString() { return GetValue().AsString(); }
bool TQvValue::AsBoolean() { return GetValue().AsBoolean(); }
TObject* TQvValue::AsObject() { return nullptr; }
Currency TQvValue::AsCurrency() { return GetValue().AsCurrency(); }
TVariant TQvValue::GetValue() { return TVariant(); }

void TQvValue::SetAsFloat(double V) { SetValue(TVariant(V)); }
void TQvValue::SetAsDateTime(TDateTime V) { SetValue(TVariant::FromDate(V)); }
void TQvValue::SetAsInteger(int32_t V) { SetValue(TVariant(V)); }
void TQvValue::SetAsString(const std::string& V) { SetValue(TVariant(V)); }
void TQvValue::SetAsBoolean(bool V) { SetValue(TVariant(V)); }
void TQvValue::SetAsObject(TObject*) {}
void TQvValue::SetAsCurrency(Currency V) { SetValue(TVariant(V)); }
void TQvValue::SetValue(const TVariant&) { ValueChanged(); }

void TQvValue::AssignProperty(const TQvPro* Source, int Id) {
    if (Id != piValue) {
        TQvPro::AssignProperty(Source, Id);
        return;
    }
    // Reading a typed value may build it lazily, hence the cast.
    TQvValue* src = const_cast<TQvValue*>(dynamic_cast<const TQvValue*>(Source));
    if (!src) return;
    SetValue(src->GetValue());
    // Between cells of one class the data object (pick list, picture)
    // travels as well; a source without one (a range over no cell) has
    // nothing to copy, and null would empty a pick list.
    if (GetCellClass() == src->GetCellClass())
        if (TObject* data = src->AsObject()) SetAsObject(data);
}

void TQvValue::ValueChanged() {
    IncludeState(psTextDirty);
    Changed(piValue);
}

void TQvValue::UpdateText() {
    std::string text = GetText();
    if (!text.empty() || (RareParts() && !RareParts()->Text.empty())) Rare().Text = TCompactString(text);
    ExcludeState(psTextDirty);
}

const TCompactString& TQvValue::Text() const {
    static const TCompactString none;
    return RareParts() ? RareParts()->Text : none;
}

}  // namespace qv
