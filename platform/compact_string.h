// An immutable text held in one pointer: null for the empty text, otherwise a
// reference-counted block with the length and the bytes. Copies share the
// block, so the many cells that carry the same format, or a display text
// equal to their value, pay for the characters once. Eight bytes where a
// std::string takes thirty-two, which matters for texts that most cells
// leave empty (hint, format).
//
// Not thread-safe: the model lives on one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include "platform/small_memory.h"

namespace qv {

class TCompactString {
public:
    TCompactString() = default;
    TCompactString(std::string_view S) : FRep(Make(S)) {}
    TCompactString(const std::string& S) : FRep(Make(S)) {}
    TCompactString(const char* S) : FRep(Make(S ? std::string_view(S) : std::string_view())) {}
    TCompactString(const TCompactString& O) : FRep(O.FRep) { if (FRep) ++FRep->Refs; }
    TCompactString(TCompactString&& O) noexcept : FRep(O.FRep) { O.FRep = nullptr; }
    ~TCompactString() { Release(); }

    TCompactString& operator=(const TCompactString& O) {
        Rep* r = O.FRep;  // read first: O may be this object
        if (r) ++r->Refs;
        Release();
        FRep = r;
        return *this;
    }
    TCompactString& operator=(TCompactString&& O) noexcept {
        if (this != &O) {
            Release();
            FRep = O.FRep;
            O.FRep = nullptr;
        }
        return *this;
    }

    bool empty() const { return FRep == nullptr; }
    size_t size() const { return FRep ? FRep->Size : 0; }
    const char* data() const { return FRep ? FRep->Chars : ""; }
    std::string_view view() const { return {data(), size()}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }
    // True when both share one block (or both are empty).
    bool SharesWith(const TCompactString& O) const { return FRep == O.FRep; }

    friend bool operator==(const TCompactString& A, const TCompactString& B) {
        return A.FRep == B.FRep || A.view() == B.view();
    }
    friend bool operator==(const TCompactString& A, std::string_view B) { return A.view() == B; }

private:
    struct Rep {
        uint32_t Refs;
        uint32_t Size;
        char Chars[1];
    };

    static size_t BlockSize(size_t Length) { return offsetof(Rep, Chars) + Length + 1; }
    static Rep* Make(std::string_view S) {
        if (S.empty()) return nullptr;
        void* mem = AllocateSmallObject(BlockSize(S.size()));
        Rep* r = static_cast<Rep*>(mem);
        r->Refs = 1;
        r->Size = static_cast<uint32_t>(S.size());
        std::memcpy(r->Chars, S.data(), S.size());
        r->Chars[S.size()] = '\0';
        return r;
    }
    void Release() {
        if (FRep && --FRep->Refs == 0) FreeSmallObject(FRep, BlockSize(FRep->Size));
        FRep = nullptr;
    }

    Rep* FRep = nullptr;
};

}  // namespace qv
