// Fonts.
//
// A TFont describes a font by name, character set, style, height and colour.
// Height is in pixels at 96 dpi: negative for the character height (what a
// point size gives), positive for the cell height. Size is the point size
// derived from it, -Height * 72 / 96 rounded half away from zero.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "platform/color.h"
#include "platform/persistent.h"

namespace qv {

enum TFontStyle : uint8_t { fsBold, fsItalic, fsUnderline, fsStrikeOut };

// A set of font styles. Bit n of Bits() is style n, so bold is bit 0,
// italic 1, underline 2 and strike-out 3 — the order stored records use.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> Styles) {
        for (TFontStyle s : Styles) FBits |= Bit(s);
    }
    // Bits outside the four styles are dropped.
    static constexpr TFontStyles FromBits(uint32_t Bits) {
        TFontStyles r;
        r.FBits = static_cast<uint8_t>(Bits & 0x0F);
        return r;
    }
    constexpr uint8_t Bits() const { return FBits; }
    constexpr bool Contains(TFontStyle S) const { return (FBits & Bit(S)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TFontStyles& Include(TFontStyle S) { FBits |= Bit(S); return *this; }
    constexpr TFontStyles& Exclude(TFontStyle S) { FBits &= static_cast<uint8_t>(~Bit(S)); return *this; }
    friend constexpr TFontStyles operator+(TFontStyles A, TFontStyles B) { return FromBits(A.FBits | B.FBits); }
    friend constexpr TFontStyles operator-(TFontStyles A, TFontStyles B) { return FromBits(A.FBits & ~B.FBits); }
    friend constexpr TFontStyles operator*(TFontStyles A, TFontStyles B) { return FromBits(A.FBits & B.FBits); }
    friend constexpr bool operator==(TFontStyles, TFontStyles) = default;

private:
    static constexpr uint8_t Bit(TFontStyle S) { return static_cast<uint8_t>(1u << S); }
    uint8_t FBits = 0;
};

using TFontCharset = uint8_t;
constexpr TFontCharset ANSI_CHARSET = 0;
constexpr TFontCharset DEFAULT_CHARSET = 1;
constexpr TFontCharset SYMBOL_CHARSET = 2;

enum TFontPitch : uint8_t { fpDefault, fpVariable, fpFixed };

// Pixels per inch all font sizes are converted at.
constexpr int FontPixelsPerInch = 96;

class TFont : public TPersistent {
    QV_CLASS(TFont)
public:
    TFont() = default;

    const std::string& Name() const { return FName; }
    void SetName(const std::string& Value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    int32_t Height() const { return FHeight; }
    void SetHeight(int32_t Value);
    // Points: -Height * 72 / 96, rounded half away from zero.
    int32_t Size() const;
    // Height := -(Value * 96 / 72), rounded half away from zero.
    void SetSize(int32_t Value);
    TColor Color() const { return FColor; }
    void SetColor(TColor Value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);

    // Copies every attribute of a TFont (not OnChange); raises one change
    // notification when anything differed and none when the fonts are equal.
    void Assign(const TPersistent* Source) override;
    using TPersistent::Assign;
    void Assign(const TFont& Source) { Assign(static_cast<const TPersistent*>(&Source)); }
    // Same name (exact), charset, style, height, colour and pitch.
    bool Equals(const TFont& Other) const;

    // Fired after every change that altered an attribute; Sender is the font.
    std::function<void(TObject*)> OnChange;

protected:
    virtual void Changed();

private:
    std::string FName = "MS Sans Serif";
    TFontCharset FCharset = DEFAULT_CHARSET;
    TFontStyles FStyle;
    int32_t FHeight = -11;
    TColor FColor = clWindowText;
    TFontPitch FPitch = fpDefault;
};

// A * B / C in 64 bits, rounded half away from zero; 0 when C is 0.
int32_t MulDiv(int32_t A, int32_t B, int32_t C);

}  // namespace qv
