// Feeds arbitrary bytes to the graphic file-image readers (bitmap, icon,
// metafile) and to the stored picture data reader. Each either accepts the
// bytes or raises one of the framework's errors; nothing reads outside them.
#include <cstdint>
#include <string>

#include "platform/exceptions.h"
#include "platform/graphic.h"
#include "platform/picture.h"
#include "platform/stream.h"

using namespace qv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    try {
        switch (data[0] % 4) {
            case 0: TBitmap().LoadFromBytes(bytes); break;
            case 1: TIcon().LoadFromBytes(bytes); break;
            case 2: TMetafile().LoadFromBytes(bytes); break;
            default: {
                TMemoryStream s(bytes);
                TPicture p;
                p.ReadData(s);
                // What was read writes back and reads again.
                TMemoryStream out;
                p.WriteData(out);
                out.SetPosition(0);
                TPicture again;
                again.ReadData(out);
            }
        }
    } catch (const Exception&) {
    }
    return 0;
}
