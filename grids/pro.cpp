#include "grids/pro.h"

#include <algorithm>
#include <array>

#include "grids/manager.h"
#include "grids/style.h"
#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/stream.h"

namespace qv {

QV_ABSTRACT_CLASS_IMPL(TQvPro, TPersistent)

TQvPro::TQvPro(TObject* Owner) : FOwner(Owner) {}

TQvPro::~TQvPro() {
    // The font's notification points back at this set; detach it first so
    // that nothing can reach a half-destroyed object.
    if (FRare)
        if (TFont* own = FRare->Font.Own()) own->OnChange = nullptr;
}

TPersistent* TQvPro::GetOwner() const { return dynamic_cast<TPersistent*>(FOwner); }

void TQvPro::Assign(const TPersistent* Source) {
    const TQvPro* src = dynamic_cast<const TQvPro*>(Source);
    if (!src) {
        TPersistent::Assign(Source);
        return;
    }
    FAssigned = TQvProps{};
    for (int id = piControl; id <= piHint; ++id) AssignProperty(src, id);
}

void TQvPro::Changed(int Id) {
    if (!HasState(psSilent)) FAssigned.Include(Id);
}

void TQvPro::AssignProperty(const TQvPro* Source, int Id) {
    if (!Source) return;
    // Lazy fonts are created on read, so reading a source may change it.
    TQvPro* src = const_cast<TQvPro*>(Source);
    switch (Id) {
        case piControl: {
            const TClass cls = src->GetCellClass();
            SetCellClass(cls);
            // A class that refused the change (a cell) keeps its own editor
            // list, so the source's index and format mean nothing to it.
            if (GetCellClass() == cls) {
                SetEditorIndex(src->EditorIndex());
                SetFormatText(src->FormatText());
            }
            break;
        }
        case piLayout: SetLayout(src->Layout()); break;
        case piProtect: SetProtected(src->Protected()); break;
        case piShowing: SetShowing(src->Showing()); break;
        case piColor: SetColor(src->Color()); break;
        case piFont: {
            // Read without taking the source's font as its own.
            const TFont* f = src->ShownFont();
            SetFont(f ? f : src->Font());
            break;
        }
        case piBorder: {
            // Absent lines of the source are not copied as removals.
            const uint8_t set = src->BorderSet();
            for (int i = 0; i < 8; ++i)
                if (set & (1u << i)) SetBorder(i, src->Border(i));
            break;
        }
        case piFrame: SetFrame(src->Frame()); break;
        case piStyle: SetStyle(src->GetStyle()); break;
        default: break;
    }
}

TQvPro* TQvPro::FindSource(int Id) {
    for (TQvPro* p = this; p; p = p->GetStyle())
        if (p->FAssigned.Has(Id)) return p;
    return nullptr;
}

void TQvPro::InheritProperty(int Id) {
    TQvPro* s = FindSource(Id);
    if (!s || s == this) return;
    const bool wasSilent = HasState(psSilent);
    const bool wasInheriting = FInheriting;
    IncludeState(psSilent);
    FInheriting = true;
    try {
        AssignProperty(s, Id);
    } catch (...) {
        if (!wasSilent) ExcludeState(psSilent);
        FInheriting = wasInheriting;
        throw;
    }
    if (!wasSilent) ExcludeState(psSilent);
    FInheriting = wasInheriting;
}

std::string TQvPro::GetText() { return std::string(); }

// --- setters -----------------------------------------------------------------

void TQvPro::SetProtected(bool V) {
    if (V == Protected() && !HasState(psAlwaysNotify)) return;
    if (V) IncludeState(psProtected);
    else ExcludeState(psProtected);
    Changed(piProtect);
}

void TQvPro::SetShowing(bool V) {
    if (V == Showing() && !HasState(psAlwaysNotify)) return;
    if (V) ExcludeState(psHidden);
    else IncludeState(psHidden);
    Changed(piShowing);
}

void TQvPro::SetLayout(const TQvLayout& L) {
    const uint32_t packed = L.Pack();
    if (packed == FLayout && !HasState(psAlwaysNotify)) return;
    FLayout = packed;
    Changed(piLayout);
}

void TQvPro::SetHAlign(uint8_t V) {
    TQvLayout l = Layout();
    l.HAlign = V;
    SetLayout(l);
}

void TQvPro::SetVAlign(uint8_t V) {
    TQvLayout l = Layout();
    l.VAlign = V;
    SetLayout(l);
}

void TQvPro::SetIndent(uint16_t V) {
    TQvLayout l = Layout();
    l.Indent = V;
    SetLayout(l);
}

void TQvPro::SetWrapMode(uint8_t V) {
    TQvLayout l = Layout();
    l.WrapMode = V;
    SetLayout(l);
}

void TQvPro::SetEditorIndex(int32_t V) {
    if (V < 0 || V >= QvManager().EditorCount(GetCellClass())) V = 0;
    if (V == FEditorIndex && !HasState(psAlwaysNotify)) return;
    FEditorIndex = V;
    Changed(piControl);
}

void TQvPro::SetFormat(const std::string& V) {
    if (FFormat == std::string_view(V) && !HasState(psAlwaysNotify)) return;
    SetFormatText(TCompactString(V));
}

void TQvPro::SetFormatText(const TCompactString& V) {
    if (FFormat == V && !HasState(psAlwaysNotify)) return;
    FFormat = V;
    IncludeState(psTextDirty);
    Changed(piControl);
}

TQvControl TQvPro::Control() const { return {GetCellClass(), FEditorIndex, FFormat.str()}; }

void TQvPro::SetControl(const TQvControl& C) {
    SetCellClass(C.CellClass);
    if (GetCellClass() == C.CellClass) {
        SetEditorIndex(C.EditorIndex);
        SetFormat(C.Format);
    }
}

TFont* TQvPro::Font() {
    TQvSharedFont& font = Rare().Font;
    if (!font) {
        font = TQvSharedFont::Make(nullptr);
        // Start as a copy of the supplier's font; the notification is
        // attached only afterwards so that the copy is not recorded.
        InheritProperty(piFont);
    } else if (font.Shared()) {
        font = TQvSharedFont::Make(font.Get());
    }
    TFont* own = font.Own();
    // A font that was shared, or made for sharing, has no notification yet.
    if (!own->OnChange) own->OnChange = [this](TObject*) { Changed(piFont); };
    return own;
}

const TFont* TQvPro::ShownFont() {
    if (HasFont()) return FRare->Font.Get();
    TQvPro* source = FindSource(piFont);
    return source && source != this ? source->ShownFont() : nullptr;
}

void TQvPro::ShareFont(const TQvSharedFont& F) {
    if (!F) return;
    TQvSharedFont& font = Rare().Font;
    if (F == font) return;
    if (TFont* own = font.Own()) own->OnChange = nullptr;
    font = F.Share();
    Changed(piFont);
}

void TQvPro::SetFont(const TFont* F) {
    if (!F) return;
    TFont* own = Font();
    if (own == F) {
        if (HasState(psAlwaysNotify)) Changed(piFont);
        return;
    }
    own->Assign(*F);
    if (HasState(psAlwaysNotify)) Changed(piFont);
}

TColor TQvPro::Color() const {
    bool assigned = false;
    return UnpackLine(GetLine(liFillColor, assigned)).Color;
}

void TQvPro::SetColor(TColor C) {
    const TQvLine v = PackLine(lsSingle, C);
    bool assigned = false;
    if (v == GetLine(liFillColor, assigned) && assigned && !HasState(psAlwaysNotify)) return;
    SetLine(liFillColor, v);
}

uint8_t TQvPro::Frame() const {
    bool assigned = false;
    return static_cast<uint8_t>(GetLine(liFrameStyle, assigned) & 0x7F);
}

void TQvPro::SetFrame(uint8_t F) {
    if (F == Frame() && !HasState(psAlwaysNotify)) return;
    SetLine(liFrameStyle, F);
}

TQvLineInfo TQvPro::Border(int Index) const {
    if (Index < liLeft || Index > liVInternal) return {};
    bool assigned = false;
    return UnpackLine(GetLine(Index, assigned));
}

void TQvPro::SetBorder(int Index, const TQvLineInfo& L) {
    if (Index < liLeft || Index > liVInternal) return;
    const TQvLine v = PackLine(L.Style, L.Color);
    bool assigned = false;
    if (v == GetLine(Index, assigned) && assigned && !HasState(psAlwaysNotify)) return;
    SetLine(Index, v);
}

uint8_t TQvPro::BorderSet() const {
    uint8_t set = 0;
    for (int i = liLeft; i <= liVInternal; ++i) {
        bool assigned = false;
        if (GetLine(i, assigned) != 0 && assigned) set |= static_cast<uint8_t>(1u << i);
    }
    return set;
}

// --- property-set record -----------------------------------------------------

void WriteFontRecord(TStream& Stream, const TFont& F) {
    Stream.WriteString(F.Name());
    Stream.WriteInt32(F.Charset());
    Stream.WriteInt32(F.Style().Bits());
    Stream.WriteInt32(F.Height());
    Stream.WriteInt32(static_cast<int32_t>(F.Color()));
}

void ReadFontRecord(TStream& Stream, TFont& F) {
    std::string name = Stream.ReadString();
    const int32_t charset = Stream.ReadInt32();
    const int32_t style = Stream.ReadInt32();
    const int32_t height = Stream.ReadInt32();
    const int32_t color = Stream.ReadInt32();
    if (charset < 0 || charset > 255)
        throw EReadError("Invalid font charset " + std::to_string(charset) + " in a property record");
    F.SetName(name);
    F.SetCharset(static_cast<TFontCharset>(charset));
    F.SetStyle(TFontStyles::FromBits(static_cast<uint32_t>(style)));
    F.SetHeight(height);
    F.SetColor(static_cast<TColor>(color));
}

void TQvPro::WriteToStream(TStream& Stream) {
    Stream.WriteUInt16(FAssigned.Bits);
    if (FAssigned.Has(piLayout)) Stream.WriteUInt32(FLayout);
    if (FAssigned.Has(piFont)) WriteFontRecord(Stream, HasFont() ? *FRare->Font.Get() : *Font());
    if (FAssigned.Has(piProtect)) Stream.WriteByte(Protected() ? 1 : 0);
    if (FAssigned.Has(piControl)) {
        const TClass cls = GetCellClass();
        if (HasState(psAlwaysNotify)) Stream.WriteInt32(TQvManager::ClassId(cls));
        Stream.WriteInt32(FEditorIndex);
        // Exact match: a format that differs only in case from a predefined
        // one keeps its own spelling.
        int32_t index = -1;
        if (const TStringList* formats = QvManager().Formats(cls)) {
            for (int i = 0; i < formats->Count(); ++i)
                if (FFormat == std::string_view(formats->Strings(i))) {
                    index = i;
                    break;
                }
        }
        Stream.WriteInt32(index);
        if (index < 0) Stream.WriteString(FFormat.str());
    }
}

namespace {

// A file holds cells formatted alike near one another (a bold column, an
// italic one beside it): a font equal to one of the last few read is shared
// with the sets that read it, so a loaded sheet holds each such font once.
const TQvSharedFont& RecentFont(const TFont& F) {
    constexpr size_t Kept = 8;
    thread_local std::array<TQvSharedFont, Kept> recent;  // most recent first
    size_t i = 0;
    while (i < Kept && recent[i] && !recent[i]->Equals(F)) ++i;
    if (i == Kept || !recent[i]) {
        i = std::min(i, Kept - 1);
        recent[i] = TQvSharedFont::Make(&F);
    }
    std::rotate(recent.begin(), recent.begin() + static_cast<std::ptrdiff_t>(i), recent.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    return recent[0];
}

}  // namespace

void TQvPro::ReadFromStream(TStream& Stream) {
    FAssigned.Bits = Stream.ReadUInt16();
    if (FAssigned.Has(piLayout)) FLayout = Stream.ReadUInt32();
    if (FAssigned.Has(piFont)) {
        TFont read;
        ReadFontRecord(Stream, read);
        if (HasFont() && !FontShared()) {
            Font()->Assign(read);
        } else {
            ShareFont(RecentFont(read));
        }
    }
    if (FAssigned.Has(piProtect)) SetProtected(Stream.ReadByte() != 0);
    if (FAssigned.Has(piControl)) {
        if (HasState(psAlwaysNotify)) {
            const int32_t id = Stream.ReadInt32();
            // An identifier no registered class has means no class, like the
            // 0 a set without a class writes; the rest of the record follows.
            SetCellClass(QvManager().ClassById(id));
        }
        SetEditorIndex(Stream.ReadInt32());
        const int32_t index = Stream.ReadInt32();
        if (index >= 0) {
            const TClass cls = GetCellClass();
            const TStringList* formats = QvManager().Formats(cls);
            if (!formats || index >= formats->Count())
                throw EReadError("Format index " + std::to_string(index) + " does not exist for cell class " +
                                 (cls ? std::string(cls->Name) : std::string("(none)")));
            SetFormat(formats->Strings(index));
        } else {
            SetFormat(Stream.ReadString());
        }
    }
}

}  // namespace qv
