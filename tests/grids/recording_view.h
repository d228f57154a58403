// A sheet view for tests: records every call a sheet makes to it, in order,
// and can stand in as the view that edits a given cell.
#pragma once

#include <string>
#include <vector>

#include "grids/sheet.h"
#include "grids/sheet_view.h"

namespace qv::test {

class TRecordingView : public IQvSheetView {
public:
    struct TCall {
        std::string Name;   // the operation: "UpdateSizes", "InvalidateCells", ...
        int Kind = -1;      // section kind, or axis for size calls
        TRect R{};          // InvalidateCells
        int Mode = -1;      // InvalidateCells mode; size part for ApplySize
        int Entry = -1;     // ApplySize
    };

    // Attaches to Sheet (when given); detaches in the destructor if still attached.
    explicit TRecordingView(TQvSheet* Sheet = nullptr) : FSheet(Sheet) {
        if (FSheet) FSheet->AddView(this);
    }
    ~TRecordingView() override {
        if (FSheet) FSheet->RemoveView(this);
    }
    TRecordingView(const TRecordingView&) = delete;
    TRecordingView& operator=(const TRecordingView&) = delete;

    void UpdateSizes(TQvAxis Axis) override { Calls.push_back({"UpdateSizes", Axis}); }
    void ApplySize(TQvAxis Axis, TQvSizePart Part, int32_t Entry) override {
        Calls.push_back({"ApplySize", Axis, {}, Part, Entry});
    }
    void InvalidateAll() override { Calls.push_back({"InvalidateAll"}); }
    void ReadLayout() override { Calls.push_back({"ReadLayout"}); }
    TQvCell* EditCell() const override { return Editing; }
    void EndEdit() override {
        Calls.push_back({"EndEdit"});
        Editing = nullptr;
    }
    void RepaintClient() override { Calls.push_back({"RepaintClient"}); }
    void MergeChanged(TQvSectionKind Kind) override { Calls.push_back({"MergeChanged", Kind}); }
    void InvalidateCells(TQvSectionKind Kind, const TRect& R, TQvRepaintArea Mode) override {
        Calls.push_back({"InvalidateCells", Kind, R, Mode});
    }
    void InvalidatePane(TQvSectionKind Kind) override { Calls.push_back({"InvalidatePane", Kind}); }
    void SheetDestroying(TQvSheet* Sheet) override {
        Calls.push_back({"SheetDestroying"});
        DestroyedSheets.push_back(Sheet);
        if (FSheet == Sheet) {
            FSheet->RemoveView(this);
            FSheet = nullptr;
        }
    }

    TQvSheet* Sheet() const { return FSheet; }
    int Count(const std::string& Name) const {
        int n = 0;
        for (const auto& c : Calls) n += c.Name == Name ? 1 : 0;
        return n;
    }
    // The calls named Name, in order.
    std::vector<TCall> Named(const std::string& Name) const {
        std::vector<TCall> out;
        for (const auto& c : Calls)
            if (c.Name == Name) out.push_back(c);
        return out;
    }
    void Reset() { Calls.clear(); }

    std::vector<TCall> Calls;
    std::vector<TQvSheet*> DestroyedSheets;
    TQvCell* Editing = nullptr;  // what EditCell reports

private:
    TQvSheet* FSheet;
};

}  // namespace qv::test
