#include "platform/filer.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>

#include "platform/class_registry.h"
#include "platform/component.h"
#include "platform/exceptions.h"

namespace qv {

namespace {

const char Signature[4] = {'T', 'P', 'F', '0'};

bool SameName(const std::string& A, const std::string& B) {
    return A.size() == B.size() &&
           std::equal(A.begin(), A.end(), B.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

[[noreturn]] void InvalidValue() { throw EReadError("Invalid property value"); }

// Primitive reads shared by the reader and the text dumper.

TValueType ReadType(TStream& S) {
    const uint8_t b = S.ReadByte();
    if (b > vaLast) throw EReadError("Invalid value type " + std::to_string(b) + " in stream");
    return static_cast<TValueType>(b);
}

TValueType PeekType(TStream& S) {
    const TValueType t = ReadType(S);
    S.Seek(-1, soCurrent);
    return t;
}

bool AtEndMarker(TStream& S) {
    if (PeekType(S) != vaNull) return false;
    S.ReadByte();
    return true;
}

std::string ReadShort(TStream& S) { return S.ReadBytes(S.ReadByte()); }

// An i32 count of UnitSize-byte units, checked against the bytes left.
std::string ReadCounted(TStream& S, int64_t UnitSize) {
    const int32_t n = S.ReadInt32();
    if (n < 0) throw EReadError("Invalid length " + std::to_string(n) + " in stream");
    return S.ReadBytes(static_cast<int64_t>(n) * UnitSize);
}

double ExtendedToDouble(const std::string& Bytes) {
    uint64_t mantissa;
    uint16_t signExp;
    std::memcpy(&mantissa, Bytes.data(), 8);
    std::memcpy(&signExp, Bytes.data() + 8, 2);
    const int exponent = signExp & 0x7FFF;
    double v;
    if (exponent == 0x7FFF)
        v = (mantissa << 1) ? std::numeric_limits<double>::quiet_NaN()
                            : std::numeric_limits<double>::infinity();
    else
        v = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
    return (signExp & 0x8000) ? -v : v;
}

void AppendUtf8(std::string& Out, uint32_t Code) {
    if (Code < 0x80) {
        Out += static_cast<char>(Code);
    } else if (Code < 0x800) {
        Out += static_cast<char>(0xC0 | (Code >> 6));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += static_cast<char>(0xE0 | (Code >> 12));
        Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (Code >> 18));
        Out += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

std::vector<uint16_t> ReadWideUnits(TStream& S) {
    const std::string bytes = ReadCounted(S, 2);
    std::vector<uint16_t> units(bytes.size() / 2);
    if (!units.empty()) std::memcpy(units.data(), bytes.data(), bytes.size());
    return units;
}

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string WideToUtf8(const std::vector<uint16_t>& Units) {
    std::string out;
    for (size_t i = 0; i < Units.size(); ++i) {
        uint32_t c = Units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < Units.size() && Units[i + 1] >= 0xDC00 &&
            Units[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (Units[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// Skips the optional filer-flags byte before a class name.
void SkipPrefix(TStream& S, std::string* Text) {
    const uint8_t b = S.ReadByte();
    if ((b & 0xF0) != 0xF0) {
        S.Seek(-1, soCurrent);
        return;
    }
    const uint8_t flags = b & 0x0F;
    if (Text) {
        *Text += "[";
        if (flags & 1) *Text += "inherited ";
        if (flags & 4) *Text += "inline ";
    }
    if (flags & 2) {
        int64_t pos;
        switch (ReadType(S)) {
            case vaInt8: pos = static_cast<int8_t>(S.ReadByte()); break;
            case vaInt16: pos = S.ReadInt16(); break;
            case vaInt32: pos = S.ReadInt32(); break;
            default: InvalidValue();
        }
        if (Text) *Text += "child " + std::to_string(pos) + " ";
    }
    if (Text) {
        if (Text->back() == ' ') Text->pop_back();
        *Text += "] ";
    }
}

// Re-entrancy-safe nesting counter.
class TDepthGuard {
public:
    explicit TDepthGuard(int& Depth) : FDepth(Depth) {
        if (++FDepth > MaxStreamNesting) {
            --FDepth;
            throw EReadError("Component stream nested too deeply");
        }
    }
    ~TDepthGuard() { --FDepth; }
    TDepthGuard(const TDepthGuard&) = delete;
    TDepthGuard& operator=(const TDepthGuard&) = delete;

private:
    int& FDepth;
};

// Marks a component as being written for the lifetime of the guard.
class TWritingGuard {
public:
    explicit TWritingGuard(TComponent& C) : FComponent(C), FWas(C.HasState(csWriting)) {
        C.SetWriting(true);
    }
    ~TWritingGuard() { FComponent.SetWriting(FWas); }
    TWritingGuard(const TWritingGuard&) = delete;
    TWritingGuard& operator=(const TWritingGuard&) = delete;

private:
    TComponent& FComponent;
    bool FWas;
};

TComponent* CreateComponent(const std::string& ClassName) {
    TClass c = GetClass(ClassName);
    if (!c) throw EReadError("Class " + EscapeBytes(ClassName) + " not found");
    if (!c->InheritsFrom(TComponent::StaticClass()))
        throw EReadError("Class " + ClassName + " is not a component class");
    TObject* o = c->Create();
    if (!o) throw EReadError("Cannot create an instance of the abstract class " + ClassName);
    return static_cast<TComponent*>(o);
}

}  // namespace

// ---------------------------------------------------------------- writer

void TWriter::WriteSignature() { FStream.WriteBuffer(Signature, 4); }

void TWriter::WriteInteger(int64_t Value) {
    if (Value >= INT8_MIN && Value <= INT8_MAX) {
        WriteValue(vaInt8);
        FStream.WriteByte(static_cast<uint8_t>(static_cast<int8_t>(Value)));
    } else if (Value >= INT16_MIN && Value <= INT16_MAX) {
        WriteValue(vaInt16);
        FStream.WriteInt16(static_cast<int16_t>(Value));
    } else if (Value >= INT32_MIN && Value <= INT32_MAX) {
        WriteValue(vaInt32);
        FStream.WriteInt32(static_cast<int32_t>(Value));
    } else {
        WriteValue(vaInt64);
        FStream.WriteInt64(Value);
    }
}

void TWriter::WriteStr(const std::string& Value) {
    if (Value.size() > 255)
        throw EWriteError("Name too long for a component stream (" + std::to_string(Value.size()) +
                          " characters, at most 255): " + Value.substr(0, 40) + "...");
    FStream.WriteByte(static_cast<uint8_t>(Value.size()));
    FStream.WriteBytes(Value);
}

void TWriter::WriteString(const std::string& Value) {
    if (Value.size() <= 255) {
        WriteValue(vaString);
        WriteStr(Value);
    } else {
        WriteValue(vaLString);
        FStream.WriteString(Value);
    }
}

void TWriter::WriteIdent(const std::string& Value) {
    if (Value.size() > 255) throw EWriteError("Identifier too long: " + Value.substr(0, 40) + "...");
    WriteValue(vaIdent);
    WriteStr(Value);
}

void TWriter::WriteDouble(double Value) {
    WriteValue(vaDouble);
    FStream.WriteDouble(Value);
}

void TWriter::WriteBinary(const std::string& Bytes) {
    WriteValue(vaBinary);
    FStream.WriteString(Bytes);
}

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&,
                             const TWriterProc& WriteData, bool HasData) {
    if (!HasData || !WriteData) return;
    WritePropName(Name);
    WriteData(*this);
}

void TWriter::DefineBinaryProperty(const std::string& Name, const TStreamProc&,
                                   const TStreamProc& WriteData, bool HasData) {
    if (!HasData || !WriteData) return;
    // Into memory the bytes go in place, behind a length filled in after
    // them, and a failing writer's half entry is cut off again: a sheet's
    // data, most of its file, is never held twice.
    if (auto* memory = dynamic_cast<TMemoryStream*>(&FStream); memory && memory->Position() == memory->Size()) {
        const int64_t start = memory->Position();
        try {
            WritePropName(Name);
            WriteValue(vaBinary);
            const int64_t length = memory->Position();
            memory->WriteInt32(0);
            WriteData(*memory);
            const int64_t end = memory->Position();
            if (end - length - 4 > INT32_MAX) throw EWriteError("Binary property " + Name + " is too large to write");
            memory->SetPosition(length);
            memory->WriteInt32(static_cast<int32_t>(end - length - 4));
            memory->SetPosition(end);
        } catch (...) {
            memory->SetSize(start);
            memory->SetPosition(start);
            throw;
        }
        return;
    }
    // Produce the bytes first so that a failing writer leaves no half entry.
    TMemoryStream data;
    WriteData(data);
    WritePropName(Name);
    WriteBinary(data.Bytes());
}

void TWriter::WriteRootComponent(TComponent* Root) {
    FRoot = Root;
    WriteSignature();
    WriteComponent(Root);
}

void TWriter::WriteComponent(TComponent* Component) {
    if (++FDepth > MaxStreamNesting) {
        --FDepth;
        throw EWriteError("Components nested too deeply to write");
    }
    struct TDepthDown {
        int& D;
        ~TDepthDown() { --D; }
    } down{FDepth};
    TWritingGuard writing(*Component);
    WriteStr(Component->ClassName());
    WriteStr(Component->Name());
    const std::string outer = FPrefix;
    FPrefix.clear();
    WriteProperties(*Component);
    FPrefix = outer;
    WriteListEnd();
    Component->GetChildren([this](TComponent* Child) { if (Child) WriteComponent(Child); }, FRoot);
    WriteListEnd();
}

void TWriter::WriteProperties(TPersistent& Instance) {
    for (const TPropInfoPtr& p : PublishedProperties(Instance.ClassType())) {
        if (!p->IsStored(Instance)) continue;
        switch (p->Kind) {
            case pkInteger:
                WritePropName(p->Name);
                WriteInteger(p->GetInteger(Instance));
                break;
            case pkBoolean:
                WritePropName(p->Name);
                WriteBoolean(p->GetBoolean(Instance));
                break;
            case pkString:
                WritePropName(p->Name);
                WriteString(p->GetString(Instance));
                break;
            case pkEvent: {
                const std::string handler = p->GetString(Instance);
                WritePropName(p->Name);
                if (handler.empty())
                    WriteValue(vaNil);
                else
                    WriteIdent(handler);
                break;
            }
            case pkReference: {
                const TComponent* c = p->GetReference(Instance);
                WritePropName(p->Name);
                if (c && !c->Name().empty())
                    WriteIdent(c->Name());
                else
                    WriteValue(vaNil);
                break;
            }
            case pkBinary: {
                TMemoryStream data;
                p->WriteBinary(Instance, data);
                WritePropName(p->Name);
                WriteBinary(data.Bytes());
                break;
            }
            case pkPersistent: {
                TPersistent* nested = p->GetObject(Instance);
                if (!nested) break;
                if (++FDepth > MaxStreamNesting) {
                    --FDepth;
                    throw EWriteError("Properties nested too deeply to write");
                }
                const std::string outer = FPrefix;
                FPrefix += p->Name + ".";
                try {
                    WriteProperties(*nested);
                } catch (...) {
                    FPrefix = outer;
                    --FDepth;
                    throw;
                }
                FPrefix = outer;
                --FDepth;
                break;
            }
        }
    }
    Instance.DefineProperties(*this);
}

// ---------------------------------------------------------------- reader

void TReader::ReadSignature() {
    char sig[4];
    if (FStream.Read(sig, 4) != 4 || std::memcmp(sig, Signature, 4) != 0)
        throw EReadError("Invalid stream format");
}

TValueType TReader::ReadValue() { return ReadType(FStream); }
TValueType TReader::NextValue() { return PeekType(FStream); }
bool TReader::EndOfList() { return AtEndMarker(FStream); }
std::string TReader::ReadStr() { return ReadShort(FStream); }

int32_t TReader::ReadInteger() {
    switch (ReadValue()) {
        case vaInt8: return static_cast<int8_t>(FStream.ReadByte());
        case vaInt16: return FStream.ReadInt16();
        case vaInt32: return FStream.ReadInt32();
        default: InvalidValue();
    }
}

int64_t TReader::ReadInt64() {
    if (NextValue() == vaInt64) {
        ReadValue();
        return FStream.ReadInt64();
    }
    return ReadInteger();
}

bool TReader::ReadBoolean() {
    switch (ReadValue()) {
        case vaFalse: return false;
        case vaTrue: return true;
        default: InvalidValue();
    }
}

std::string TReader::ReadString() {
    switch (ReadValue()) {
        case vaString: return ReadStr();
        case vaLString:
        case vaUTF8String: return ReadCounted(FStream, 1);
        case vaWString: return WideToUtf8(ReadWideUnits(FStream));
        default: InvalidValue();
    }
}

std::string TReader::ReadIdent() {
    switch (ReadValue()) {
        case vaIdent: return ReadStr();
        case vaFalse: return "False";
        case vaTrue: return "True";
        case vaNil: return "nil";
        default: InvalidValue();
    }
}

double TReader::ReadDouble() {
    switch (NextValue()) {
        case vaExtended: ReadValue(); return ExtendedToDouble(FStream.ReadBytes(10));
        case vaSingle: ReadValue(); return FStream.ReadSingle();
        case vaDouble:
        case vaDate: ReadValue(); return FStream.ReadDouble();
        default: return static_cast<double>(ReadInt64());
    }
}

std::string TReader::ReadBinary() {
    if (ReadValue() != vaBinary) InvalidValue();
    return ReadCounted(FStream, 1);
}

void TReader::SkipValue() { SkipValue(0); }

void TReader::SkipValue(int Depth) {
    if (Depth > MaxStreamNesting) throw EReadError("Component stream nested too deeply");
    switch (ReadValue()) {
        case vaNull: InvalidValue();
        case vaList:
            while (!EndOfList()) SkipValue(Depth + 1);
            break;
        case vaInt8: FStream.ReadBytes(1); break;
        case vaInt16: FStream.ReadBytes(2); break;
        case vaInt32:
        case vaSingle: FStream.ReadBytes(4); break;
        case vaInt64:
        case vaDouble:
        case vaDate:
        case vaCurrency: FStream.ReadBytes(8); break;
        case vaExtended: FStream.ReadBytes(10); break;
        case vaString:
        case vaIdent: ReadStr(); break;
        case vaFalse:
        case vaTrue:
        case vaNil: break;
        case vaBinary:
        case vaLString:
        case vaUTF8String: ReadCounted(FStream, 1); break;
        case vaWString: ReadCounted(FStream, 2); break;
        case vaSet:
            while (!ReadStr().empty()) {
            }
            break;
        case vaCollection:
            while (!EndOfList()) {
                const TValueType t = NextValue();
                if (t == vaInt8 || t == vaInt16 || t == vaInt32) ReadInteger();
                if (ReadValue() != vaList) InvalidValue();
                while (!EndOfList()) {
                    ReadStr();
                    SkipValue(Depth + 1);
                }
            }
            break;
    }
}

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                             const TWriterProc&, bool) {
    if (FPropFound || !ReadData || !SameName(Name, FPropName)) return;
    FPropFound = true;
    ReadData(*this);
}

void TReader::DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                   const TStreamProc&, bool) {
    if (FPropFound || !ReadData || !SameName(Name, FPropName)) return;
    FPropFound = true;
    // The property reads from its own stream: it can never go past its bytes.
    // Over bytes in memory that is a window on them, not a copy (a sheet's
    // data is most of its file).
    if (dynamic_cast<TMemoryStream*>(&FStream)) {
        const int64_t at = FStream.Position();
        if (ReadValue() != vaBinary) InvalidValue();
        const int32_t n = FStream.ReadInt32();
        if (n >= 0 && n <= FStream.Remaining()) {
            const int64_t start = FStream.Position();
            {
                TStreamWindow data(FStream, n);
                ReadData(data);
            }
            FStream.SetPosition(start + n);
            return;
        }
        FStream.SetPosition(at);  // the copy below names the fault
    }
    TMemoryStream data(ReadBinary());
    ReadData(data);
}

void TReader::ReadPrefix() { SkipPrefix(FStream, nullptr); }

TComponent* TReader::ReadRootComponent(TComponent* Root) {
    ReadSignature();
    ReadPrefix();
    const std::string className = ReadStr();
    const std::string name = ReadStr();
    std::unique_ptr<TComponent> created;
    if (!Root) {
        created.reset(CreateComponent(className));
        Root = created.get();
    }
    FRoot = Root;
    FLoaded.assign(1, Root);
    FFixups.clear();
    Root->Loading();
    Root->SetReading(true);
    try {
        // A designer keeps its own name for the component; an empty name in
        // the stream keeps the present one.
        if (!name.empty() && !Root->HasState(csDesigning)) GiveName(*Root, name);
        ReadProperties(*Root);
        if (FRootKeepsChildren)
            ReadChildren(*Root);
        else
            RefuseChildren(*Root);
    } catch (...) {
        try {
            ResolveFixups();
        } catch (...) {
            // The first error is the one reported.
        }
        try {
            CallLoaded();
        } catch (...) {
        }
        throw;
    }
    std::exception_ptr fixupError;
    try {
        ResolveFixups();
    } catch (...) {
        fixupError = std::current_exception();
    }
    CallLoaded();
    if (fixupError) std::rethrow_exception(fixupError);
    return created ? created.release() : Root;
}

void TReader::GiveName(TComponent& Component, const std::string& Name) {
    std::string unique = Name;
    if (const TComponent* owner = Component.Owner()) {
        for (int i = 1;; ++i) {
            const TComponent* other = owner->FindComponent(unique);
            if (!other || other == &Component) break;
            unique = Name + "_" + std::to_string(i);
        }
    }
    try {
        Component.SetName(unique);
    } catch (const EComponentError& e) {
        throw EReadError("Error reading " + Component.ClassName() + ": " + e.Message());
    }
}

void TReader::ReadProperties(TComponent& Component) {
    while (!EndOfList()) ReadProperty(Component);
}

void TReader::ReadProperty(TComponent& Component) {
    const std::string name = ReadStr();
    const std::string where = "Error reading " + Component.ClassName() + "." + EscapeBytes(name) + ": ";
    try {
        // "A.B.C": the whole name as an entry or defined property of the
        // instance, else the first part as a nested object and the rest in it.
        TPersistent* instance = &Component;
        std::string rest = name;
        for (int level = 0; level < MaxStreamNesting; ++level) {
            // A nested object's entry takes no value of its own: ApplyProperty
            // rejects it.
            if (TPropInfoPtr p = FindPublished(instance->ClassType(), rest)) {
                ApplyProperty(*instance, p, FLoaded.size() - 1);
                return;
            }
            if (ReadDefined(*instance, rest)) return;
            const size_t dot = rest.find('.');
            if (dot == std::string::npos) break;
            const TPropInfoPtr head = FindPublished(instance->ClassType(), rest.substr(0, dot));
            if (!head || head->Kind != pkPersistent) break;
            TPersistent* nested = head->GetObject(*instance);
            if (!nested) break;
            instance = nested;
            rest = rest.substr(dot + 1);
        }
    } catch (const EReadError& e) {
        throw EReadError(where + e.Message());
    }
    throw EReadError(where + "Property " + EscapeBytes(name) + " does not exist");
}

bool TReader::ReadDefined(TPersistent& Instance, const std::string& Name) {
    FPropName = Name;
    FPropFound = false;
    Instance.DefineProperties(*this);
    const bool found = FPropFound;
    FPropName.clear();
    FPropFound = false;
    return found;
}

void TReader::ApplyProperty(TPersistent& Instance, const TPropInfoPtr& Prop, size_t ComponentIndex) {
    switch (Prop->Kind) {
        case pkInteger: {
            const int32_t v = ReadInteger();
            if (Prop->SetInteger) Prop->SetInteger(Instance, v);
            break;
        }
        case pkBoolean: {
            const bool v = ReadBoolean();
            if (Prop->SetBoolean) Prop->SetBoolean(Instance, v);
            break;
        }
        case pkString: {
            const std::string v = ReadString();
            if (Prop->SetString) Prop->SetString(Instance, v);
            break;
        }
        case pkEvent: {
            const TValueType t = ReadValue();
            if (t != vaIdent && t != vaNil) InvalidValue();
            const std::string handler = t == vaIdent ? ReadStr() : std::string();
            if (Prop->SetString) Prop->SetString(Instance, handler);
            break;
        }
        case pkReference: {
            const TValueType t = ReadValue();
            if (t == vaNil) {
                if (Prop->SetReference) Prop->SetReference(Instance, nullptr);
            } else if (t == vaIdent) {
                // Resolved once every component of the stream exists.
                FFixups.push_back({&Instance, Prop, ReadStr(), ComponentIndex});
            } else {
                InvalidValue();
            }
            break;
        }
        case pkBinary: {
            TMemoryStream data(ReadBinary());
            if (Prop->ReadBinary) Prop->ReadBinary(Instance, data);
            break;
        }
        case pkPersistent:
            InvalidValue();
    }
}

void TReader::RefuseChildren(TComponent& Root) {
    if (EndOfList()) return;
    ReadPrefix();
    const std::string className = ReadStr();
    const std::string name = ReadStr();
    throw EReadError("Error reading " + Root.ClassName() + ": it keeps no child components, but the stream holds a " +
                     EscapeBytes(className) + (name.empty() ? "" : " named \"" + EscapeBytes(name) + "\""));
}

void TReader::ReadChildren(TComponent& Parent) {
    TDepthGuard depth(FDepth);
    while (!EndOfList()) ReadChild(Parent);
}

void TReader::ReadChild(TComponent& Parent) {
    ReadPrefix();
    const std::string className = ReadStr();
    const std::string name = ReadStr();
    TComponent* child = CreateComponent(className);
    try {
        Parent.InsertComponent(child);
    } catch (...) {
        delete child;
        throw;
    }
    const size_t index = FLoaded.size();
    FLoaded.push_back(child);
    child->Loading();
    child->SetReading(true);
    try {
        GiveName(*child, name);
        ReadProperties(*child);
        ReadChildren(*child);
    } catch (...) {
        // A half-read child goes, with everything read into it.
        FLoaded.resize(index);
        std::erase_if(FFixups, [index](const TFixup& f) { return f.Component >= index; });
        delete child;
        throw;
    }
}

void TReader::ResolveFixups() {
    // Names resolve among the root's own components, then among the
    // components of the root's owner (its siblings on a form), then the
    // root itself.
    const auto find = [this](const std::string& Name) -> TComponent* {
        if (TComponent* c = FRoot->FindComponent(Name)) return c;
        if (FRoot->Owner())
            if (TComponent* c = FRoot->Owner()->FindComponent(Name)) return c;
        if (!FRoot->Name().empty() && SameName(FRoot->Name(), Name)) return FRoot;
        return nullptr;
    };
    std::vector<TFixup> fixups;
    fixups.swap(FFixups);
    std::exception_ptr first;
    for (const TFixup& f : fixups) {
        TComponent* target = find(f.Target);
        // An unresolved name, or one naming a component of another class,
        // leaves the reference as it was.
        if (!target || !target->InheritsFrom(f.Prop->RefClass) || !f.Prop->SetReference) continue;
        try {
            f.Prop->SetReference(*f.Instance, target);
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

void TReader::CallLoaded() {
    std::vector<TComponent*> loaded;
    loaded.swap(FLoaded);
    for (TComponent* c : loaded) c->SetReading(false);
    std::exception_ptr first;
    for (TComponent* c : loaded) {
        try {
            c->Loaded();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

// ---------------------------------------------------------------- helpers

void WriteComponent(TStream& Stream, TComponent* Component) {
    TWriter writer(Stream);
    writer.WriteRootComponent(Component);
}

TComponent* ReadComponent(TStream& Stream, TComponent* Root, bool RootKeepsChildren) {
    TReader reader(Stream);
    reader.SetRootKeepsChildren(RootKeepsChildren);
    return reader.ReadRootComponent(Root);
}

namespace {

std::string FormatDouble(double V) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, V);
    return std::string(buf, r.ptr);
}

std::string FormatSingle(float V) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, V);
    return std::string(buf, r.ptr);
}

std::string FormatCurrency(int64_t V) {
    const bool negative = V < 0;
    const uint64_t u = negative ? 0 - static_cast<uint64_t>(V) : static_cast<uint64_t>(V);
    std::string s = std::to_string(u / 10000);
    std::string frac = std::to_string(u % 10000);
    frac.insert(0, 4 - frac.size(), '0');
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
    if (!frac.empty()) s += "." + frac;
    return negative ? "-" + s : s;
}

// Printable runs in quotes (a quote doubled), other codes as #n.
std::string Quote(const std::vector<uint32_t>& Codes) {
    if (Codes.empty()) return "''";
    std::string out;
    bool inQuote = false;
    for (uint32_t c : Codes) {
        if (c >= 32 && c < 127) {
            if (!inQuote) out += '\'';
            inQuote = true;
            if (c == '\'') out += '\'';
            out += static_cast<char>(c);
        } else {
            if (inQuote) out += '\'';
            inQuote = false;
            out += '#';
            out += std::to_string(c);
        }
    }
    if (inQuote) out += '\'';
    return out;
}

std::string QuoteBytes(const std::string& S) {
    std::vector<uint32_t> codes;
    for (char c : S) codes.push_back(static_cast<unsigned char>(c));
    return Quote(codes);
}

class TStreamDumper {
public:
    explicit TStreamDumper(TStream& S) : FS(S) {}

    std::string Run() {
        char sig[4];
        if (FS.Read(sig, 4) != 4 || std::memcmp(sig, Signature, 4) != 0)
            throw EReadError("Invalid stream format");
        Object(0);
        return FOut;
    }

private:
    static std::string Pad(int Level) { return std::string(static_cast<size_t>(Level) * 2, ' '); }

    void Object(int Level) {
        if (Level > MaxStreamNesting) throw EReadError("Component stream nested too deeply");
        std::string line = Pad(Level) + "object ";
        SkipPrefix(FS, &line);
        const std::string className = ReadShort(FS);
        const std::string name = ReadShort(FS);
        line += name.empty() ? className : name + ": " + className;
        FOut += line + "\n";
        Properties(Level + 1);
        while (!AtEndMarker(FS)) Object(Level + 1);
        FOut += Pad(Level) + "end\n";
    }

    void Properties(int Level) {
        while (!AtEndMarker(FS)) {
            const std::string name = ReadShort(FS);
            FOut += Pad(Level) + name + " = ";
            Value(Level, 0);
            FOut += "\n";
        }
    }

    void Value(int Level, int Depth) {
        if (Depth > MaxStreamNesting) throw EReadError("Component stream nested too deeply");
        switch (ReadType(FS)) {
            case vaNull: InvalidValue();
            case vaList: {
                FOut += "(";
                bool first = true;
                while (!AtEndMarker(FS)) {
                    if (!first) FOut += " ";
                    first = false;
                    Value(Level, Depth + 1);
                }
                FOut += ")";
                break;
            }
            case vaInt8: FOut += std::to_string(static_cast<int8_t>(FS.ReadByte())); break;
            case vaInt16: FOut += std::to_string(FS.ReadInt16()); break;
            case vaInt32: FOut += std::to_string(FS.ReadInt32()); break;
            case vaInt64: FOut += std::to_string(FS.ReadInt64()); break;
            case vaExtended: FOut += FormatDouble(ExtendedToDouble(FS.ReadBytes(10))); break;
            case vaSingle: FOut += FormatSingle(FS.ReadSingle()); break;
            case vaDouble: FOut += FormatDouble(FS.ReadDouble()); break;
            case vaDate: FOut += FormatDouble(FS.ReadDouble()) + "d"; break;
            case vaCurrency: FOut += FormatCurrency(FS.ReadInt64()) + "c"; break;
            case vaString: FOut += QuoteBytes(ReadShort(FS)); break;
            case vaLString:
            case vaUTF8String: FOut += QuoteBytes(ReadCounted(FS, 1)); break;
            case vaWString: {
                std::vector<uint32_t> codes;
                for (uint16_t u : ReadWideUnits(FS)) codes.push_back(u);
                FOut += Quote(codes);
                break;
            }
            case vaIdent: FOut += ReadShort(FS); break;
            case vaFalse: FOut += "False"; break;
            case vaTrue: FOut += "True"; break;
            case vaNil: FOut += "nil"; break;
            case vaBinary: Binary(Level, ReadCounted(FS, 1)); break;
            case vaSet: {
                FOut += "[";
                bool first = true;
                for (std::string n = ReadShort(FS); !n.empty(); n = ReadShort(FS)) {
                    if (!first) FOut += ", ";
                    first = false;
                    FOut += n;
                }
                FOut += "]";
                break;
            }
            case vaCollection: {
                FOut += "<";
                while (!AtEndMarker(FS)) {
                    FOut += "\n" + Pad(Level + 1) + "item";
                    const TValueType t = PeekType(FS);
                    if (t == vaInt8 || t == vaInt16 || t == vaInt32) {
                        FOut += " [";
                        Value(Level, Depth + 1);
                        FOut += "]";
                    }
                    if (ReadType(FS) != vaList) InvalidValue();
                    FOut += "\n";
                    while (!AtEndMarker(FS)) {
                        FOut += Pad(Level + 2) + ReadShort(FS) + " = ";
                        Value(Level + 2, Depth + 1);
                        FOut += "\n";
                    }
                    FOut += Pad(Level + 1) + "end";
                }
                FOut += ">";
                break;
            }
        }
    }

    void Binary(int Level, const std::string& Bytes) {
        static const char hex[] = "0123456789ABCDEF";
        FOut += "{";
        for (size_t i = 0; i < Bytes.size(); ++i) {
            if (i % 32 == 0) FOut += "\n" + Pad(Level + 1);
            const auto b = static_cast<unsigned char>(Bytes[i]);
            FOut += hex[b >> 4];
            FOut += hex[b & 15];
        }
        FOut += "}";
    }

    TStream& FS;
    std::string FOut;
};

}  // namespace

std::string ComponentStreamToText(TStream& Stream) { return TStreamDumper(Stream).Run(); }

}  // namespace qv
