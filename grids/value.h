// TQvValue: a property set with a value. The typed accessors all meet in one
// variant-valued pair (GetValue/SetValue); typed cells override the ones that
// match their native field. The display text is cached and rebuilt lazily:
// value and format changes set TextDirty, the painter calls UpdateText. The
// cache lives among the rare parts: a text cell shows its value itself.
#pragma once

#include "grids/pro.h"
#include "platform/geometry.h"
#include "platform/currency.h"
#include "platform/date_time.h"
#include "platform/variant.h"

namespace qv {

struct TQvPaintContext;

class TQvValue : public TQvPro {
    QV_CLASS(TQvValue)
public:
    explicit TQvValue(TObject* Owner) : TQvPro(Owner) {}

    // Paints Text into R (already narrowed by the indent) with the context's
    // layout; nothing when Text is empty.
    virtual void DrawValue(TQvPaintContext& Context, TRect R);

    // Getters convert GetValue through the variant conversions (raising
    // EVariantTypeCastError when they cannot); setters wrap the value in a
    // variant and call SetValue.
    virtual double AsFloat();
    virtual TDateTime AsDateTime();
    virtual int32_t AsInteger();
    virtual std::string AsString();
    virtual bool AsBoolean();
    virtual TObject* AsObject();
    virtual Currency AsCurrency();
    virtual TVariant GetValue();
    virtual void SetAsFloat(double V);
    virtual void SetAsDateTime(TDateTime V);
    virtual void SetAsInteger(int32_t V);
    virtual void SetAsString(const std::string& V);
    virtual void SetAsBoolean(bool V);
    virtual void SetAsObject(TObject* V);
    virtual void SetAsCurrency(Currency V);
    virtual void SetValue(const TVariant& V);

    // Copies Value (and, between cells of one class, the AsObject data).
    void AssignProperty(const TQvPro* Source, int Id) override;

    // Marks the display text dirty, then Changed(Value).
    void ValueChanged();
    // Text := GetText, then clears TextDirty. Only the painter calls it, so
    // only sets that were painted keep a text; an empty text takes no room.
    virtual void UpdateText();
    // The display text as last built (empty before the first UpdateText).
    virtual const TCompactString& Text() const;
};

}  // namespace qv
