// TQvSharedFont: a font that many property sets can hold at once.
//
// Formatting a million cells alike would otherwise give each its own copy
// of the same font. A font is held by reference, with a count of holders:
//   * a font with more than one holder is never changed; a holder that
//     wants to change its font (TQvPro::Font) takes a copy of its own first;
//   * only a font with one holder carries an OnChange notification, bound
//     to that holder, so that a shared font can never notify the wrong set.
// A sheet and its cells live on one thread; the count is not atomic.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/font.h"

namespace qv {

class TQvSharedFont {
public:
    TQvSharedFont() = default;
    ~TQvSharedFont() { Reset(); }
    TQvSharedFont(TQvSharedFont&& Other) noexcept : FBox(std::exchange(Other.FBox, nullptr)) {}
    TQvSharedFont& operator=(TQvSharedFont&& Other) noexcept {
        if (this != &Other) {
            Reset();
            FBox = std::exchange(Other.FBox, nullptr);
        }
        return *this;
    }
    TQvSharedFont(const TQvSharedFont&) = delete;
    TQvSharedFont& operator=(const TQvSharedFont&) = delete;

    // A font of one holder: a copy of F's attributes, or the default font.
    static TQvSharedFont Make(const TFont* F) {
        TQvSharedFont r;
        r.FBox = new TBox;
        if (F) r.FBox->Font.Assign(*F);
        return r;
    }
    // Another holder of the same font; the font must carry no notification.
    TQvSharedFont Share() const {
        TQvSharedFont r;
        r.FBox = FBox;
        if (FBox) ++FBox->Refs;
        return r;
    }
    void Reset() {
        if (FBox && --FBox->Refs == 0) delete FBox;
        FBox = nullptr;
    }

    explicit operator bool() const { return FBox != nullptr; }
    const TFont* Get() const { return FBox ? &FBox->Font : nullptr; }
    const TFont* operator->() const { return Get(); }
    bool Shared() const { return FBox && FBox->Refs > 1; }
    // The font to change; only for the one holder.
    TFont* Own() const { return FBox && FBox->Refs == 1 ? &FBox->Font : nullptr; }
    friend bool operator==(const TQvSharedFont& A, const TQvSharedFont& B) { return A.FBox == B.FBox; }

private:
    struct TBox {
        TFont Font;
        uint32_t Refs = 1;
    };
    TBox* FBox = nullptr;
};

}  // namespace qv
