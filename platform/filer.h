// The component stream ("TPF0"): the filer, its reader and writer, and the
// value encodings they share.
//
// Layout of a component (all values little-endian):
//   "TPF0"                     signature, before the root only
//   [flags]                    optional byte 0xF0 | flags (1 inherited,
//                              2 child position: an integer value follows,
//                              4 inline); never written, skipped on reading
//   class name, component name short strings (u8 length + bytes)
//   property entries           each a short-string name and one value
//   0                          end of the properties
//   child components           each laid out as above without the signature
//   0                          end of the children
//
// Value encodings: a type byte (TValueType) and its data:
//   vaInt8/16/32/64            signed integer of 1/2/4/8 bytes; writers use
//                              the smallest of int8/16/32 that holds the value
//   vaExtended                 10-byte x87 float; vaSingle 4; vaDouble 8
//   vaCurrency                 int64 × 10 000; vaDate an 8-byte double
//   vaString, vaIdent          short string
//   vaLString, vaUTF8String    i32 byte count + bytes
//   vaWString                  i32 character count + UTF-16 units
//   vaFalse, vaTrue, vaNil     nothing
//   vaBinary                   i32 byte count + bytes
//   vaSet                      short-string names until an empty one
//   vaList                     values until vaNull
//   vaCollection               items until vaNull; each an optional integer
//                              value (its order), then vaList and properties
//                              until 0
//
// Readers of outside bytes: every count and length is checked against the
// bytes that remain before anything is allocated, nesting of lists and
// children is capped, and every fault is an EReadError.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/published.h"
#include "platform/stream.h"

namespace qv {

class TComponent;
class TPersistent;
class TReader;
class TWriter;

enum TValueType : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
    vaDouble = 21,
};
constexpr uint8_t vaLast = vaDouble;

// Deepest nesting of child components and of list or collection values.
constexpr int MaxStreamNesting = 64;

using TReaderProc = std::function<void(TReader&)>;
using TWriterProc = std::function<void(TWriter&)>;
// Reads or writes a binary property's bytes. On reading, the stream holds
// exactly the stored bytes, from position 0.
using TStreamProc = std::function<void(TStream&)>;

// The object that DefineProperties talks to. A reader or writer answers a
// definition by reading or writing the property; other filers (the picture
// filer of picture cells) may answer binary definitions only.
class TFiler {
public:
    explicit TFiler(TStream& AStream) : FStream(AStream) {}
    TFiler(const TFiler&) = delete;
    TFiler& operator=(const TFiler&) = delete;
    virtual ~TFiler() = default;

    // A property stored as one value, read and written through the reader
    // or writer. HasData: whether the writer writes it.
    virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                                const TWriterProc& WriteData, bool HasData) = 0;
    // A property stored as binary bytes.
    virtual void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                                      const TStreamProc& WriteData, bool HasData) = 0;

    TStream& Stream() const { return FStream; }
    // The root component being read or written; null outside a component read.
    TComponent* Root() const { return FRoot; }

protected:
    TStream& FStream;
    TComponent* FRoot = nullptr;
};

class TWriter : public TFiler {
public:
    explicit TWriter(TStream& AStream) : TFiler(AStream) {}

    // The whole stream: signature, Root with its properties and children.
    void WriteRootComponent(TComponent* Root);

    void WriteSignature();
    void WriteValue(TValueType Value) { FStream.WriteByte(Value); }
    // The smallest of int8, int16, int32 (int64 beyond) that holds Value.
    void WriteInteger(int64_t Value);
    void WriteBoolean(bool Value) { WriteValue(Value ? vaTrue : vaFalse); }
    // vaString up to 255 bytes, vaLString beyond.
    void WriteString(const std::string& Value);
    // vaIdent; raises EWriteError beyond 255 bytes.
    void WriteIdent(const std::string& Value);
    void WriteDouble(double Value);
    void WriteBinary(const std::string& Bytes);
    void WriteListBegin() { WriteValue(vaList); }
    void WriteListEnd() { WriteValue(vaNull); }
    // A bare short string (names); raises EWriteError beyond 255 bytes.
    void WriteStr(const std::string& Value);

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

private:
    void WriteComponent(TComponent* Component);
    // The published table of Instance, then its DefineProperties, each name
    // preceded by FPrefix.
    void WriteProperties(TPersistent& Instance);
    void WritePropName(const std::string& Name) { WriteStr(FPrefix + Name); }

    std::string FPrefix;
    int FDepth = 0;
};

class TReader : public TFiler {
public:
    explicit TReader(TStream& AStream) : TFiler(AStream) {}

    // Reads the whole stream into Root (class name ignored), or into a new
    // component of the stream's class when Root is null (the caller owns
    // it). Properties apply in stream order; references resolve after the
    // whole stream was read; then every component read gets Loaded(). On
    // an error, what was applied stays (references read so far are
    // resolved and Loaded() is called), a child being read is deleted, and
    // the error propagates.
    TComponent* ReadRootComponent(TComponent* Root);
    // False for a root that writes no children of its own (a sheet): a child
    // in its stream would be kept but never saved, so the read raises
    // EReadError naming the child's class and name, before creating it.
    void SetRootKeepsChildren(bool Value) { FRootKeepsChildren = Value; }

    // Raises EReadError "Invalid stream format" unless "TPF0" follows.
    void ReadSignature();
    TValueType ReadValue();
    // The next type byte without consuming it.
    TValueType NextValue();
    // True, consuming the marker, at a vaNull end-of-list marker.
    bool EndOfList();
    // Type-checked values: each raises EReadError "Invalid property value"
    // when another type follows.
    int32_t ReadInteger();  // vaInt8, vaInt16, vaInt32
    int64_t ReadInt64();    // those and vaInt64
    bool ReadBoolean();
    std::string ReadString();  // vaString, vaLString, vaWString (as UTF-8), vaUTF8String
    std::string ReadIdent();   // vaIdent, and vaFalse/vaTrue/vaNil as their names
    double ReadDouble();       // vaExtended, vaSingle, vaDouble, vaDate and integers
    std::string ReadBinary();
    // A bare short string.
    std::string ReadStr();
    // Skips one value of any type.
    void SkipValue();

    void DefineProperty(const std::string& Name, const TReaderProc& ReadData,
                        const TWriterProc& WriteData, bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;

private:
    struct TFixup {
        TPersistent* Instance;
        TPropInfoPtr Prop;
        std::string Target;
        size_t Component;  // index into FLoaded of the component it belongs to
    };

    void ReadPrefix();
    void ReadProperties(TComponent& Component);
    void ReadProperty(TComponent& Component);
    void ApplyProperty(TPersistent& Instance, const TPropInfoPtr& Prop, size_t ComponentIndex);
    bool ReadDefined(TPersistent& Instance, const std::string& Name);
    void ReadChildren(TComponent& Parent);
    void ReadChild(TComponent& Parent);
    void RefuseChildren(TComponent& Root);
    void GiveName(TComponent& Component, const std::string& Name);
    void ResolveFixups();
    void CallLoaded();
    void SkipValue(int Depth);
    std::string ReadLength32(int64_t UnitSize);

    std::vector<TComponent*> FLoaded;
    std::vector<TFixup> FFixups;
    std::string FPropName;  // the defined property being looked for
    bool FPropFound = false;
    bool FRootKeepsChildren = true;
    int FDepth = 0;
};

// What TQvSheet::SaveToStream and LoadFromStream call: one component with
// its children as a whole stream.
void WriteComponent(TStream& Stream, TComponent* Component);
// Reads into Root (or a new component of the stream's class when Root is
// null) and returns it. RootKeepsChildren: see TReader::SetRootKeepsChildren.
TComponent* ReadComponent(TStream& Stream, TComponent* Root, bool RootKeepsChildren = true);

// A readable text of any component stream, from the stream's position:
//   object Sheet1: TQvSheet
//     ColCount = 5
//     QvData = {
//       7000000001...}
//   end
// Raises EReadError on bytes that are not a component stream.
std::string ComponentStreamToText(TStream& Stream);

}  // namespace qv
