// Sparse paged lists: the container under the whole sheet model.
//
// A list maps non-negative indexes to values, where the value 0 means "nothing
// stored". Index i lives in page i >> PageShift at entry i & PageMask; a page
// is allocated, zero-filled, on the first non-zero write into it and is freed
// only by Clear, so a walk may set entries to 0 without pages disappearing
// under it.
//
// Invariants:
//   * Last is -1 or the highest index whose value is non-zero; every index
//     above Last reads as 0.
//   * the page table holds exactly PageCount slots, PageCount - 1 being the
//     highest page ever written (no spare slots are visible);
//   * CacheIndex is -1 or an index <= Last whose value is CacheValue;
//   * Count is the owner's logical length and is independent of Last.
//
// Page classes: a list starts in class 0 (16 entries a page), whose last
// index is (MaxPageCount - 1) * 16 + 15 = 1,048,559. A write or a shift that
// needs an index past it moves the list to class 1 (256 entries a page, last
// index LimitIndex = 16,776,959) by itself: the entries are re-paged once, at
// a cost linear in the pages held. A list stays in class 1 until Clear, which
// returns an empty list to class 0, so a list that never passed class 0's
// last index keeps class 0 and its stream record stays what it always was.
//
// Limits: at most MaxPageCount page slots in either class, so the highest
// usable index is LimitIndex (MaxIndex). Writes beyond it and writes at
// negative indexes are ignored; reads there give 0.
//
// TSListT holds the paging logic for any slot type; the 32-bit lists
// (TSList, TIntSList, rows' attribute tables) use int32_t slots and have a
// stream record, the object lists use pointer-sized slots.
//
// A class that overrides Clear or FreeItem must call Clear() from its own
// destructor: C++ does not dispatch virtual calls made by a base destructor.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/object.h"
#include "platform/small_memory.h"

namespace qv {

class TStream;

template <typename TValue>
class TSListT : public TObject {
public:
    static constexpr int MaxPageCount = 65535;
    // The last index a page class can hold, and the last any list can hold.
    static constexpr int32_t ClassMaxIndex(uint8_t PageClass) {
        return (MaxPageCount - 1) * (PageClass == 1 ? 256 : 16) + (PageClass == 1 ? 255 : 15);
    }
    static constexpr int32_t LimitIndex = ClassMaxIndex(1);

    TSListT() { ApplyPageClass(); }
    ~TSListT() override { FreePages(); }

    // The value at Index, or 0.
    TValue GetItem(int32_t Index) const {
        if (Index < 0 || Index > FLast) return TValue{};
        if (Index == FCacheIndex) return FCacheValue;
        const uint32_t p = static_cast<uint32_t>(Index) >> FPageShift;
        TValue v{};
        if (p < FPageCount && FPages[p]) v = FPages[p][Index & FPageMask];
        FCacheIndex = Index;
        FCacheValue = v;
        return v;
    }
    TValue Items(int32_t Index) const { return GetItem(Index); }

    // Stores Value at Index; storing 0 removes the entry. Never releases the
    // value that was there before (object lists hand it back to the caller).
    void SetItem(int32_t Index, TValue Value) {
        if (Index < 0 || Index > LimitIndex) return;
        if (Value == TValue{} && GetItem(Index) == TValue{}) return;
        if (Index > ClassMaxIndex(FPageClass)) PromoteToClassOne();
        const uint32_t p = static_cast<uint32_t>(Index) >> FPageShift;
        if (p >= FPageCount) {
            FPages.resize(p + 1, nullptr);
            FPageCount = static_cast<uint16_t>(p + 1);
        }
        TValue*& page = FPages[p];
        if (!page) page = NewPage();
        if (Index > FLast) FLast = Index;
        FCacheIndex = -1;
        ++FVersion;
        page[Index & FPageMask] = Value;
        if (Value == TValue{}) RecomputeLast();
    }

    // The highest index a write can reach (in class 1, where the list moves
    // when it needs to).
    int32_t MaxIndex() const { return LimitIndex; }

    int32_t Last() const { return FLast; }
    bool IsEmpty() const { return FLast < 0; }
    int32_t Count() const { return FCount; }

    // Sets Count and discards every entry at index N or above, highest first.
    void SetCount(int32_t N) {
        FCount = N;
        while (FLast >= 0 && FLast >= N) {
            const int32_t i = FLast;
            FreeItem(GetItem(i));
            SetItem(i, TValue{});
        }
    }

    // Visits the non-zero entries in increasing index order. Fn(Index, Value)
    // returns true to stop; ForEach returns the flag of the last call (false
    // when it ran to the end). Fn may set entries to 0.
    template <typename F>
    bool ForEach(F&& Fn) const {
        for (uint32_t p = 0; p < FPageCount; ++p) {
            const TValue* page = FPages[p];
            if (!page) continue;
            const int32_t base = static_cast<int32_t>(p << FPageShift);
            for (uint32_t j = 0; j < FPageSize; ++j) {
                const TValue v = page[j];
                if (v != TValue{} && Fn(base + static_cast<int32_t>(j), v)) return true;
            }
        }
        return false;
    }

    // ForEach over the entries From .. To only. The cost is the pages of that
    // span the table holds, not the width of the span.
    template <typename F>
    bool ForEachIn(int32_t From, int32_t To, F&& Fn) const {
        From = From < 0 ? 0 : From;
        To = To > FLast ? FLast : To;
        if (From > To) return false;
        const uint32_t first = static_cast<uint32_t>(From) >> FPageShift;
        const uint32_t last = static_cast<uint32_t>(To) >> FPageShift;
        for (uint32_t p = first; p <= last && p < FPageCount; ++p) {
            const TValue* page = FPages[p];
            if (!page) continue;
            const int32_t base = static_cast<int32_t>(p << FPageShift);
            const uint32_t lo = p == first ? static_cast<uint32_t>(From - base) : 0;
            const uint32_t hi = p == last ? static_cast<uint32_t>(To - base) : FPageSize - 1u;
            for (uint32_t j = lo; j <= hi; ++j) {
                const TValue v = page[j];
                if (v != TValue{} && Fn(base + static_cast<int32_t>(j), v)) return true;
            }
        }
        return false;
    }

    // Sets every entry From .. To to 0 in one pass (Last is found once, not
    // per entry). Values are dropped, not released: for value lists only.
    // Pages it leaves without an entry are released, so that a list holds
    // the pages of its entries whatever was stored and cleared before (what
    // it saves depends on its entries alone).
    void ClearRange(int32_t From, int32_t To) {
        bool any = false;
        uint32_t first = UINT32_MAX, last = 0;
        ForEachIn(From, To, [&](int32_t I, TValue) {
            const uint32_t p = static_cast<uint32_t>(I) >> FPageShift;
            FPages[p][I & FPageMask] = TValue{};
            first = std::min(first, p);
            last = std::max(last, p);
            any = true;
            return false;
        });
        if (!any) return;
        for (uint32_t p = first; p <= last; ++p) {
            TValue* page = FPages[p];
            if (page && std::all_of(page, page + FPageSize, [](TValue V) { return V == TValue{}; })) {
                FreePage(page);
                FPages[p] = nullptr;
            }
        }
        FCacheIndex = -1;
        ++FVersion;
        if (To >= FLast) RecomputeLast();
    }

    // --- moving entries -------------------------------------------------
    // InsertSpace(At, N): every entry at index At or above moves up by N;
    // the N indexes At .. At + N - 1 then read 0. Returns false and changes
    // nothing when an entry would move beyond MaxIndex (check with
    // CanInsertSpace first); At < 0 or N <= 0 does nothing.
    // DeleteRange(At, N): the N entries At .. At + N - 1 (both ends
    // inclusive) are taken out and released with FreeItem once the list is
    // consistent again, and every entry at At + N or above moves down by N.
    // Both copy whole page segments (nothing per index), skip pages that
    // were never allocated, leave Count to the owner and call Reindex over
    // the new indexes of the moved entries, so that rows and sections
    // renumber what they hold. Neither frees a page.
    bool CanInsertSpace(int32_t At, int32_t N) const {
        return N <= 0 || At > FLast || int64_t(FLast) + N <= int64_t(MaxIndex());
    }
    bool InsertSpace(int32_t At, int32_t N) {
        if (At < 0 || N <= 0 || At > FLast) return true;
        if (!CanInsertSpace(At, N)) return false;
        const int32_t newLast = FLast + N;
        if (newLast > ClassMaxIndex(FPageClass)) PromoteToClassOne();
        const uint32_t lastPage = static_cast<uint32_t>(newLast) >> FPageShift;
        if (lastPage >= FPageCount) {
            FPages.resize(lastPage + 1, nullptr);
            FPageCount = static_cast<uint16_t>(lastPage + 1);
        }
        // Downwards, so that no source is overwritten before it is read.
        for (int32_t b = newLast; b >= At + N;) {
            const int32_t a = std::max<int32_t>(At + N, b & ~int32_t(FPageMask));
            Prefetch(a - PrefetchSpan);
            CopySegment(a, b, a - N);
            b = a - 1;
        }
        ZeroSpan(At, At + N - 1);
        FLast = newLast;
        FCacheIndex = -1;
        ++FVersion;
        Reindex(At + N, FLast);
        return true;
    }
    void DeleteRange(int32_t At, int32_t N) {
        if (At < 0 || N <= 0 || At > FLast) return;
        std::vector<TValue> gone;
        ForEachIn(At, static_cast<int32_t>(std::min<int64_t>(int64_t(At) + N - 1, FLast)), [&](int32_t, TValue V) {
            gone.push_back(V);
            return false;
        });
        const int64_t from = int64_t(At) + N;  // first entry that moves
        if (from <= FLast) {
            const int32_t newLast = static_cast<int32_t>(FLast - N);
            // Upwards, so that no source is overwritten before it is read.
            for (int32_t a = At; a <= newLast;) {
                const int32_t b = std::min<int32_t>(newLast, a | int32_t(FPageMask));
                Prefetch(a + N + PrefetchSpan);
                CopySegment(a, b, a + N);
                a = b + 1;
            }
            ZeroSpan(newLast + 1, FLast);
            FLast = newLast;
        } else {
            ZeroSpan(At, FLast);
            FLast = LastAtOrBelow(At - 1);
        }
        FCacheIndex = -1;
        ++FVersion;
        for (TValue v : gone) FreeItem(v);
        Reindex(At, FLast);
    }

    // Releases the object a value refers to; plain value lists own nothing.
    virtual void FreeItem(TValue) {}
    // Called by owners when entries move from one index to another; rows and
    // sections use it to renumber what they hold.
    virtual void Reindex(int32_t /*From*/, int32_t /*To*/) {}
    // Frees every page and the page table and returns the list to class 0;
    // keeps Count.
    virtual void Clear() {
        FreePages();
        FPageClass = 0;
        ApplyPageClass();
    }

    uint8_t PageClass() const { return FPageClass; }
    uint16_t PageSize() const { return FPageSize; }
    uint16_t PageCount() const { return FPageCount; }
    // The page holding page number P, or null when it was never allocated.
    const TValue* Page(uint32_t P) const { return P < FPageCount ? FPages[P] : nullptr; }

protected:
    // Geometry from PageClass: class 0 has 16 entries a page, class 1 has 256.
    void ApplyPageClass() {
        FPageShift = FPageClass == 1 ? 8 : 4;
        FPageSize = static_cast<uint16_t>(1u << FPageShift);
        FPageMask = static_cast<uint16_t>(FPageSize - 1);
        FLast = -1;
        FCacheIndex = -1;
    }

    // Re-pages a class-0 list into class 1: new page q takes old pages
    // 16q .. 16q + 15. Every new page is allocated before anything changes,
    // so running out of memory leaves the list as it was.
    void PromoteToClassOne() {
        if (FPageClass != 0) return;
        constexpr uint32_t ratio = 16;  // class-0 pages in one class-1 page
        const uint32_t count = (FPageCount + ratio - 1) / ratio;
        std::vector<TValue*> pages(count, nullptr);
        const size_t bytes = 256 * sizeof(TValue);
        try {
            for (uint32_t q = 0; q < count; ++q)
                for (uint32_t k = q * ratio; k < std::min<uint32_t>(FPageCount, (q + 1) * ratio); ++k)
                    if (FPages[k]) {
                        pages[q] = static_cast<TValue*>(std::memset(AllocateSmallObject(bytes), 0, bytes));
                        break;
                    }
        } catch (...) {
            for (TValue* page : pages)
                if (page) FreeSmallObject(page, bytes);
            throw;
        }
        for (uint32_t k = 0; k < FPageCount; ++k) {
            if (!FPages[k]) continue;
            std::copy(FPages[k], FPages[k] + 16, pages[k / ratio] + (k % ratio) * 16);
            FreePage(FPages[k]);
        }
        FPages = std::move(pages);
        FPageCount = static_cast<uint16_t>(count);
        FPageClass = 1;
        const int32_t last = FLast;
        ApplyPageClass();
        FLast = last;
        ++FVersion;
    }

    void FreePages() {
        for (TValue* page : FPages) FreePage(page);
        FPages.clear();
        FPages.shrink_to_fit();
        FPageCount = 0;
        ++FVersion;
    }

    // Pages come from the small-object pool; a page is freed with the size
    // it was made with, so the page class changes only while no page exists.
    TValue* NewPage() const {
        const size_t bytes = FPageSize * sizeof(TValue);
        return static_cast<TValue*>(std::memset(AllocateSmallObject(bytes), 0, bytes));
    }
    void FreePage(TValue* Page) const { FreeSmallObject(Page, FPageSize * sizeof(TValue)); }

    // Pages are separate blocks, so a walk over many of them waits on memory
    // unless it asks for the page a few pages ahead early.
    static constexpr int32_t PrefetchSpan = 8 * 16;
    void Prefetch(int32_t I) const {
        if (I < 0) return;
        const uint32_t p = static_cast<uint32_t>(I) >> FPageShift;
        if (p < FPageCount && FPages[p]) __builtin_prefetch(FPages[p]);
    }

    // Entries [A, B] (one page) := entries [Src, Src + B - A], which may
    // span two pages and overlap the target. The source piece that the
    // target would overwrite first is copied first: the upper one when
    // entries move up, the lower one when they move down. Absent source
    // pages read 0; a target page is allocated only for an allocated source.
    void CopySegment(int32_t A, int32_t B, int32_t Src) {
        const int32_t n = B - A + 1;
        // The source splits where its page ends: [Src, Src + k) and the rest.
        const int32_t k = std::min<int32_t>(n, FPageSize - (Src & FPageMask));
        if (Src < A) {
            if (k < n) CopyPiece(A + k, Src + k, n - k);
            CopyPiece(A, Src, k);
        } else {
            CopyPiece(A, Src, k);
            if (k < n) CopyPiece(A + k, Src + k, n - k);
        }
    }

    // Entries [A, A + N) := entries [Src, Src + N); neither span leaves its page.
    void CopyPiece(int32_t A, int32_t Src, int32_t N) {
        const uint32_t sp = static_cast<uint32_t>(Src) >> FPageShift;
        const TValue* s = sp < FPageCount ? FPages[sp] : nullptr;
        TValue*& target = FPages[static_cast<uint32_t>(A) >> FPageShift];
        if (!s) {
            if (target) std::fill(target + (A & FPageMask), target + (A & FPageMask) + N, TValue{});
            return;
        }
        if (!target) target = NewPage();
        TValue* d = target + (A & FPageMask);
        s += Src & FPageMask;
        // Short runs: a plain loop beats a library call, and the direction
        // makes an overlap within one page safe.
        if (d < s)
            for (int32_t i = 0; i < N; ++i) d[i] = s[i];
        else
            for (int32_t i = N - 1; i >= 0; --i) d[i] = s[i];
    }

    // Entries [A, B] := 0 in the pages that exist.
    void ZeroSpan(int32_t A, int32_t B) {
        for (int32_t a = std::max(A, 0); a <= B;) {
            const int32_t b = std::min<int32_t>(B, a | int32_t(FPageMask));
            const uint32_t p = static_cast<uint32_t>(a) >> FPageShift;
            if (p < FPageCount && FPages[p])
                std::fill(FPages[p] + (a & FPageMask), FPages[p] + (b & FPageMask) + 1, TValue{});
            a = b + 1;
        }
    }

    // Highest non-zero index at or below I, or -1, walking down page by page.
    int32_t LastAtOrBelow(int32_t I) const {
        for (; I >= 0; I = (I | int32_t(FPageMask)) - int32_t(FPageSize)) {
            const uint32_t p = static_cast<uint32_t>(I) >> FPageShift;
            const TValue* page = p < FPageCount ? FPages[p] : nullptr;
            if (!page) {
                I &= ~int32_t(FPageMask);
                continue;
            }
            for (int32_t j = I & FPageMask; j >= 0; --j)
                if (page[j] != TValue{}) return static_cast<int32_t>((p << FPageShift) + j);
            I &= ~int32_t(FPageMask);
        }
        return -1;
    }

    // Highest non-zero index not above the old Last, or -1.
    void RecomputeLast() {
        const int32_t oldLast = FLast;
        int32_t last = -1;
        ForEach([&](int32_t i, TValue) {
            if (i > oldLast) return true;
            last = i;
            return false;
        });
        FLast = last;
        FCacheIndex = -1;
    }

    // The page table's visible length is FPageCount; the vector may keep spare
    // capacity so that growing it page by page stays linear.
    std::vector<TValue*> FPages;
    uint16_t FPageCount = 0;
    uint16_t FPageSize = 16;
    uint16_t FPageMask = 15;
    uint8_t FPageShift = 4;
    uint8_t FPageClass = 0;
    int32_t FLast = -1;
    mutable int32_t FCacheIndex = -1;
    mutable TValue FCacheValue{};
    int32_t FCount = 0;
    // Changes with every write into the pages and every Clear, so that
    // something derived from the entries can tell it went stale.
    uint32_t FVersion = 0;
};

// A list of raw 32-bit values with the list stream record:
//   1 byte PageClass, 4 bytes Count, 4 bytes N, then N times a 4-byte page
//   number and PageSize 4-byte entries, pages in increasing order.
class TSList : public TSListT<int32_t> {
    QV_CLASS(TSList)
public:
    TSList() = default;

    virtual void LoadFromStream(TStream& Stream);
    virtual void SaveToStream(TStream& Stream) const;

protected:
    // Reads the list record. On a record outside the format raises EReadError
    // naming what was wrong and leaves the list empty with its old Count.
    void ReadListRecord(TStream& Stream);
    void WriteListRecord(TStream& Stream) const;
};

}  // namespace qv
