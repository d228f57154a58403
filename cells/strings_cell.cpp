#include "cells/strings_cell.h"

#include "platform/exceptions.h"
#include "platform/stream.h"
#include "platform/string_list.h"

namespace qv {

QV_CLASS_IMPL(TQvCStrings, TQvCString)

TQvCStrings::TQvCStrings() = default;

TQvCStrings::~TQvCStrings() { FreeData(); }

void TQvCStrings::CreateData() {
    if (!FItems) FItems = std::make_unique<TStringList>();
}

void TQvCStrings::FreeData() { FItems.reset(); }

std::string TQvCStrings::GetText() {
    if (!FItems || FItemIndex < 0 || FItemIndex >= FItems->Count()) return {};
    return FItems->Strings(FItemIndex);
}

int32_t TQvCStrings::AsInteger() { return FItemIndex; }

void TQvCStrings::SetAsInteger(int32_t V) {
    if (V == FItemIndex) return;
    FItemIndex = V;
    ValueChanged();
}

std::string TQvCStrings::AsString() { return FItems ? FItems->Text() : std::string(); }

void TQvCStrings::SetAsString(const std::string& V) {
    CreateData();
    // Compared in the list's own text form, so "a" and "a\r\n" are the
    // same list and setting it again is no change.
    TStringList lines;
    lines.SetText(V);
    if (FItems->Text() == lines.Text()) return;
    FItems->Assign(&lines);
    ValueChanged();
}

TObject* TQvCStrings::AsObject() { return FItems.get(); }

void TQvCStrings::SetAsObject(TObject* V) {
    CreateData();
    // Null empties the list; anything but a string list raises the
    // assignment error and leaves the list as it was.
    if (!V)
        FItems->Clear();
    else if (V != FItems.get()) {
        auto* source = dynamic_cast<TPersistent*>(V);
        if (!source) throw EConvertError("Cannot assign a " + V->ClassName() + " to a TStringList");
        FItems->Assign(source);
    }
    ValueChanged();
}

TVariant TQvCStrings::GetValue() { return TVariant(AsString()); }

void TQvCStrings::SetValue(const TVariant& V) { SetAsString(V.AsString()); }

void TQvCStrings::AssignProperty(const TQvPro* Source, int Id) {
    TQvCString::AssignProperty(Source, Id);
    if (Id != piValue) return;
    if (const auto* src = dynamic_cast<const TQvCStrings*>(Source)) SetAsInteger(src->ItemIndex());
}

void TQvCStrings::ReadFromStream(TStream& Stream) {
    TQvCString::ReadFromStream(Stream);
    const int32_t index = Stream.ReadInt32();
    const std::string text = Stream.ReadString();
    CreateData();
    FItemIndex = index;
    FItems->SetText(text);
    IncludeState(psTextDirty);
}

void TQvCStrings::WriteToStream(TStream& Stream) {
    TQvCString::WriteToStream(Stream);
    Stream.WriteInt32(FItemIndex);
    Stream.WriteString(AsString());
}

}  // namespace qv
