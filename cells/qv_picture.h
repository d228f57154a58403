// TQvPicture and TQvFiler: a picture that can store itself inside a cell
// record. The embedded data is a presence byte (1 when a graphic follows, 0
// otherwise) and, after a 1, the picture's own data (graphic class name and
// graphic data).
#pragma once

#include <functional>
#include <string>

#include "platform/filer.h"
#include "platform/picture.h"

namespace qv {

class TStream;

// A filer bound to one stream and one direction. The picture defines its
// binary property "Data" through it; other properties are not stored.
class TQvFiler : public TFiler {
public:
    TQvFiler(TStream& Stream, bool Reading, int32_t BufSize = 4096);

    bool Reading() const { return FReading; }
    int32_t BufSize() const { return FBufSize; }

    // Writing: the presence byte (HasData), then WriteData when present.
    // Reading: the byte, then ReadData when it is non-zero. Only "Data" is
    // handled; other names are ignored.
    void DefineBinaryProperty(const std::string& Name, const TStreamProc& ReadData,
                              const TStreamProc& WriteData, bool HasData) override;
    // Non-binary properties are not part of the embedded data.
    void DefineProperty(const std::string&, const TReaderProc&, const TWriterProc&, bool) override {}

private:
    bool FReading;
    int32_t FBufSize;
};

class TQvPicture : public TPicture {
    QV_CLASS(TQvPicture)
public:
    TQvPicture() = default;

    // Writes or reads the embedded picture data at the stream's position.
    // Reading a 0 presence byte empties the picture; bad data raises
    // EReadError or EInvalidGraphic and leaves the picture as it was.
    void Serialize(TStream& Stream, bool Reading);

    // Defines the binary property "Data" (stored when there is a graphic).
    void DefineProperties(TFiler& Filer) override;
};

}  // namespace qv
