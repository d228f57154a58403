// Settings shared by CSV import and export.
#pragma once

#include <cstdint>
#include <functional>

namespace qv {

enum TCsvEncoding : uint8_t {
    ceUtf8 = 0,     // UTF-8; a byte-order mark on import is skipped
    ceUtf8Bom = 1,  // the same, and export writes a byte-order mark first
};

// Progress of a long import or export: Done of Total units (bytes read, or
// rows written). Called often; keep it cheap.
using TCsvProgress = std::function<void(int64_t Done, int64_t Total)>;

struct TCsvOptions {
    char Separator = ',';
    char Quote = '"';
    TCsvEncoding Encoding = ceUtf8;
    // Export: the cells' raw values (numbers in full precision, dates in ISO
    // form) instead of their display texts.
    bool RawValues = false;
    // Import: recognise integers, decimal numbers and ISO dates; off, every
    // value stays text.
    bool DetectTypes = true;
    TCsvProgress Progress;
};

}  // namespace qv
