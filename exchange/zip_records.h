// The fixed parts of a zip package's records and their little-endian
// fields, for the code that looks into packages or rewrites them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv::zipr {

constexpr uint32_t LocalSig = 0x04034b50;
constexpr uint32_t CentralSig = 0x02014b50;
constexpr uint32_t EndSig = 0x06054b50;
constexpr size_t LocalSize = 30;
constexpr size_t CentralSize = 46;
constexpr size_t EndSize = 22;

inline uint32_t Get(std::string_view B, size_t At, int Bytes) {
    uint32_t v = 0;
    for (int i = Bytes - 1; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(B[At + i]);
    return v;
}

inline void Put(std::string& B, size_t At, int Bytes, uint32_t V) {
    for (int i = 0; i < Bytes; ++i) B[At + i] = static_cast<char>((V >> (8 * i)) & 0xFF);
}

// Where the end record starts: the last signature within the reach of its
// comment; npos when there is none.
inline size_t FindEnd(std::string_view Zip) {
    if (Zip.size() < EndSize) return std::string_view::npos;
    for (size_t p = Zip.size() - EndSize + 1; p-- > 0 && Zip.size() - p <= EndSize + 0xFFFF;)
        if (Get(Zip, p, 4) == EndSig) return p;
    return std::string_view::npos;
}

}  // namespace qv::zipr
