// The sheet and the styler as components: their published-property tables,
// their binary properties ("QvData", "Styles") and the sheet's ".qvf" files.
//
// A sheet stream holds, in this order: Styler (when assigned), the eight
// counts and sizes, Background.Data (when there is a picture), the event
// handler names (when bound), ReadOnly, the design position (when there is
// one) and "QvData".
#include <algorithm>
#include <memory>
#include <utility>

#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "grids/sheet_stream.h"
#include "grids/undo_stack.h"
#include "grids/styler.h"
#include "platform/class_registry.h"
#include "platform/filer.h"
#include "platform/graphic.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "platform/published.h"
#include "platform/stream.h"

namespace qv {

namespace {

bool HasBackground(const TQvSheet& S) {
    const TGraphic* g = S.Background()->Graphic();
    return g && !g->Empty();
}

// An update block that closes however the read or write ends.
struct TSheetUpdate {
    explicit TSheetUpdate(TQvSheet& S) : Sheet(S) { Sheet.BeginUpdate(); }
    ~TSheetUpdate() { Sheet.EndUpdate(); }
    TQvSheet& Sheet;
};

// What a reader consults of the sheet it reads into before (or instead of)
// the stream setting it: the counts decide which section records a payload
// holds, the defaults and maxima how stored sizes are clamped. Setting them
// on a sheet without individual sizes costs nothing per entry.
void CopyReaderSettings(const TQvSheet& From, TQvSheet& To) {
    To.SetColDefWidth(From.ColDefWidth());
    To.SetRowDefHeight(From.RowDefHeight());
    To.SetColMaxWidth(From.ColMaxWidth());
    To.SetRowMaxHeight(From.RowMaxHeight());
    To.SetColCount(From.ColCount());
    To.SetRowCount(From.RowCount());
    To.SetTitleCols(From.TitleCols());
    To.SetTitleRows(From.TitleRows());
}

// What a sheet stream can change of a sheet, kept aside: the snapshot an
// undo step takes (counts, sizes, the data payload) and the published
// properties beside it. Its cost is what the sheet holds.
class TSheetState {
public:
    TSheetState(TQvSheet& Sheet, TQvSheetSnapshot Snapshot)
        : FSnapshot(std::move(Snapshot)),
          FName(Sheet.Name()),
          FStyler(Sheet.Styler()),
          FReadOnly(Sheet.ReadOnly()),
          FModified(Sheet.Modified()),
          FEvents{Sheet.OnSizingName, Sheet.OnStylerChangedName, Sheet.OnModifiedName} {
        if (HasBackground(Sheet)) {
            FBackground = std::make_unique<TPicture>();
            FBackground->Assign(Sheet.Background());
        }
    }
    // Puts it all back; the sheet's own bytes need no fill budget.
    void Restore(TQvSheet& Sheet) const {
        const TQvTriedRead own;
        RestoreSnapshot(Sheet, FSnapshot);
        Sheet.SetName(FName);
        Sheet.SetStyler(FStyler);
        Sheet.SetReadOnly(FReadOnly);
        Sheet.Background()->Assign(FBackground.get());
        Sheet.OnSizingName = FEvents[0];
        Sheet.OnStylerChangedName = FEvents[1];
        Sheet.OnModifiedName = FEvents[2];
        Sheet.SetModified(FModified);
    }

private:
    TQvSheetSnapshot FSnapshot;
    std::string FName;
    TQvStyler* FStyler;
    bool FReadOnly;
    bool FModified;
    std::string FEvents[3];
    std::unique_ptr<TPicture> FBackground;
};

// Reads the rest of Stream with Read, all or nothing: the bytes are first
// read into a scratch sheet holding Target's reader settings, with messages
// held back, and only when that raises nothing are they read into Target.
// A file that fails therefore leaves Target exactly as it was, counts,
// name and background included. The cost is that of the bytes, twice; what
// Target already holds is never copied.
template <typename TRead>
void ReadAllOrNothing(TQvSheet& Target, TStream& Stream, TRead&& Read) {
    // Bytes in memory are read twice where they are; others are copied to
    // memory first: the reader seeks, and a pipe cannot.
    TMemoryStream copy;
    TStream* bytes = dynamic_cast<TMemoryStream*>(&Stream);
    if (!bytes) {
        char buf[65536];
        for (int64_t n; (n = Stream.Read(buf, sizeof buf)) > 0;) copy.WriteBuffer(buf, n);
        copy.SetPosition(0);
        bytes = &copy;
    }
    const int64_t start = bytes->Position();
    // A sheet no view shows that holds less than the bytes (a new one, most
    // often) is read into at once, its state kept aside and put back should
    // the read fail: the bytes are read once, at a cost of what the sheet
    // held. Messages wait for the outcome, as they do after a trial. (A
    // shown sheet takes the trial, so that its views hear of nothing but a
    // load that succeeded.)
    if (TQvSheetSnapshot now = Target.ViewCount() == 0 ? TakeSnapshot(Target) : TQvSheetSnapshot{};
        Target.ViewCount() == 0 && now.Data.size() <= size_t(std::max<int64_t>(bytes->Size() - start, 0))) {
        const TSheetState saved(Target, std::move(now));
        TRecordingMessageService held;
        {
            TMessageServiceScope scope(held);
            try {
                Read(Target, *bytes);
            } catch (...) {
                saved.Restore(Target);
                throw;
            }
        }
        for (const auto& m : held.Messages()) MessageService().MessageBox(m.Text, m.Caption, m.Icon, m.Buttons);
        if (bytes == &copy && copy.Remaining() > 0) Stream.Seek(-copy.Remaining(), soCurrent);
        return;
    }
    {
        TQvSheet scratch;
        CopyReaderSettings(Target, scratch);
        // The cells the trial read reports are reported again by the real
        // one, or never, when the file is refused.
        TRecordingMessageService quiet;
        TMessageServiceScope scope(quiet);
        Read(scratch, *bytes);
    }
    bytes->SetPosition(start);
    const TQvTriedRead tried;
    Read(Target, *bytes);
    // The caller's stream ends where the reader stopped, as if read directly.
    if (bytes == &copy && copy.Remaining() > 0) Stream.Seek(-copy.Remaining(), soCurrent);
}

}  // namespace

void RegisterSheetProperties() {
    static const bool done = [] {
        using P = TPublished<TQvSheet>;
        RegisterPublished(TQvSheet::StaticClass(), {
            P::Reference<TQvStyler>("Styler", &TQvSheet::Styler, &TQvSheet::SetStyler),
            P::Integer("ColCount", &TQvSheet::ColCount, &TQvSheet::SetColCount),
            P::Integer("ColDefWidth", &TQvSheet::ColDefWidth, &TQvSheet::SetColDefWidth),
            P::Integer("ColMaxWidth", &TQvSheet::ColMaxWidth, &TQvSheet::SetColMaxWidth),
            P::Integer("RowCount", &TQvSheet::RowCount, &TQvSheet::SetRowCount),
            P::Integer("RowDefHeight", &TQvSheet::RowDefHeight, &TQvSheet::SetRowDefHeight),
            P::Integer("RowMaxHeight", &TQvSheet::RowMaxHeight, &TQvSheet::SetRowMaxHeight),
            P::Integer("TitleCols", &TQvSheet::TitleCols, &TQvSheet::SetTitleCols),
            P::Integer("TitleRows", &TQvSheet::TitleRows, &TQvSheet::SetTitleRows),
            P::Binary(
                "Background.Data", [](TQvSheet& S, TStream& In) { S.Background()->ReadData(In); },
                [](const TQvSheet& S, TStream& Out) { S.Background()->WriteData(Out); }, HasBackground),
            P::Event("OnSizing", [](const TQvSheet& S) { return S.OnSizingName; },
                     [](TQvSheet& S, const std::string& N) { S.OnSizingName = N; }),
            P::Event("OnStylerChanged", [](const TQvSheet& S) { return S.OnStylerChangedName; },
                     [](TQvSheet& S, const std::string& N) { S.OnStylerChangedName = N; }),
            P::Event("OnModified", [](const TQvSheet& S) { return S.OnModifiedName; },
                     [](TQvSheet& S, const std::string& N) { S.OnModifiedName = N; }),
            P::Boolean("ReadOnly", &TQvSheet::ReadOnly, &TQvSheet::SetReadOnly),
        });
        using Q = TPublished<TQvStyler>;
        RegisterPublished(TQvStyler::StaticClass(), {
            Q::Event("OnChange", [](const TQvStyler& S) { return S.OnChangeName; },
                     [](TQvStyler& S, const std::string& N) { S.OnChangeName = N; }),
            Q::Event("OnModified", [](const TQvStyler& S) { return S.OnModifiedName; },
                     [](TQvStyler& S, const std::string& N) { S.OnModifiedName = N; }),
        });
        // Forms holding sheets and stylers create them by class name.
        if (!GetClass("TQvSheet")) RegisterClass(TQvSheet::StaticClass());
        if (!GetClass("TQvStyler")) RegisterClass(TQvStyler::StaticClass());
        return true;
    }();
    (void)done;
}

void TQvSheet::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        // The whole component stream was tried already (LoadFromStream).
        "QvData", [this](TStream& S) { ReadSheetData(*this, S); }, [this](TStream& S) { WriteData(S); }, true);
}

void TQvSheet::WriteData(TStream& Stream) { WriteSheetData(*this, Stream); }

void TQvSheet::ReadData(TStream& Stream) {
    ReadAllOrNothing(*this, Stream, [](TQvSheet& S, TStream& In) { ReadSheetData(S, In); });
}

void TQvSheet::SaveToStream(TStream& Stream) {
    RegisterSheetProperties();
    TSheetUpdate block(*this);
    WriteComponent(Stream, this);
}

void TQvSheet::LoadFromStream(TStream& Stream) {
    RegisterSheetProperties();
    ReadAllOrNothing(*this, Stream, [](TQvSheet& S, TStream& In) {
        TSheetUpdate block(S);
        // A sheet writes no child components, so it refuses to read any: kept
        // but never saved, they would vanish with the next save.
        ReadComponent(In, &S, false);
    });
}

void TQvSheet::SaveToFile(const std::string& FileName) {
    // The whole file is made in memory first, so a writer that fails leaves
    // the file on disk alone; WriteFileSafely then replaces it whole or not.
    // Writing the data clears the modified flag; a save that fails did not
    // keep the changes anywhere, so it gives the flag back.
    const bool modified = Modified();
    try {
        TMemoryStream m;
        m.Reserve(EstimatePayloadSize(*this));
        SaveToStream(m);
        WriteFileSafely(FileName, m.Bytes());
    } catch (...) {
        SetModified(modified);
        throw;
    }
    // What is on disk now is the clean state.
    UndoStack().SetClean();
}

void TQvSheet::LoadFromFile(const std::string& FileName) {
    // Read whole first: the reader seeks, and a pipe cannot.
    TMemoryStream m(ReadWholeFile(FileName));
    LoadFromStream(m);
}

void TQvStyler::DefineProperties(TFiler& Filer) {
    TComponent::DefineProperties(Filer);
    Filer.DefineBinaryProperty(
        "Styles", [this](TStream& S) { ReadStyles(S); }, [this](TStream& S) { WriteStyles(S); }, HasStyles());
}

}  // namespace qv
