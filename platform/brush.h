// Brushes and pens: the fill and line tools of a canvas.
//
// Both are small value holders with an OnChange notification fired after
// every change that altered an attribute, and an Assign that copies all
// attributes with one notification (none when nothing differed).
#pragma once

#include <cstdint>
#include <functional>

#include "platform/color.h"
#include "platform/persistent.h"

namespace qv {

enum TBrushStyle : uint8_t {
    bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross
};

class TBrush : public TPersistent {
    QV_CLASS(TBrush)
public:
    TBrush() = default;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TBrushStyle Style() const { return FStyle; }
    void SetStyle(TBrushStyle Value);

    void Assign(const TPersistent* Source) override;
    using TPersistent::Assign;
    void Assign(const TBrush& Source) { Assign(static_cast<const TPersistent*>(&Source)); }
    bool Equals(const TBrush& Other) const { return FColor == Other.FColor && FStyle == Other.FStyle; }

    std::function<void(TObject*)> OnChange;

protected:
    virtual void Changed();

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
};

enum TPenStyle : uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

// Width is in pixels; 0 and 1 both draw one-pixel lines. Negative widths are
// stored as 0.
class TPen : public TPersistent {
    QV_CLASS(TPen)
public:
    TPen() = default;

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    int32_t Width() const { return FWidth; }
    void SetWidth(int32_t Value);
    TPenStyle Style() const { return FStyle; }
    void SetStyle(TPenStyle Value);

    void Assign(const TPersistent* Source) override;
    using TPersistent::Assign;
    void Assign(const TPen& Source) { Assign(static_cast<const TPersistent*>(&Source)); }
    bool Equals(const TPen& Other) const {
        return FColor == Other.FColor && FWidth == Other.FWidth && FStyle == Other.FStyle;
    }

    std::function<void(TObject*)> OnChange;

protected:
    virtual void Changed();

private:
    TColor FColor = clBlack;
    int32_t FWidth = 1;
    TPenStyle FStyle = psSolid;
};

}  // namespace qv
