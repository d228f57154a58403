// Small hand-built file images of bitmaps, icons and metafiles for tests.
#pragma once

#include <cstdint>
#include <string>

namespace qv::test {

inline void PutU16(std::string& S, uint32_t V) {
    S += char(V & 0xFF);
    S += char((V >> 8) & 0xFF);
}
inline void PutU32(std::string& S, uint32_t V) {
    PutU16(S, V & 0xFFFF);
    PutU16(S, V >> 16);
}

// A complete uncompressed bitmap file: info header (40 bytes) or core
// header (12 bytes), Height negative for top-down rows.
inline std::string MakeBmp(int32_t Width, int32_t Height, int BitCount = 24, bool Core = false) {
    const uint32_t hdr = Core ? 12 : 40;
    const uint32_t rows = uint32_t(Height < 0 ? -Height : Height);
    const uint32_t stride = ((uint32_t(Width) * BitCount + 31) / 32) * 4;
    const uint32_t off = 14 + hdr;
    std::string s = "BM";
    PutU32(s, off + stride * rows);
    PutU32(s, 0);
    PutU32(s, off);
    PutU32(s, hdr);
    if (Core) {
        PutU16(s, uint32_t(Width));
        PutU16(s, uint32_t(Height));
        PutU16(s, 1);
        PutU16(s, uint32_t(BitCount));
    } else {
        PutU32(s, uint32_t(Width));
        PutU32(s, uint32_t(Height));
        PutU16(s, 1);
        PutU16(s, uint32_t(BitCount));
        for (int i = 0; i < 6; ++i) PutU32(s, 0);  // compression .. important colours
    }
    for (uint32_t i = 0; i < stride * rows; ++i) s += char(i * 7);
    return s;
}

// An icon file with two images: the first W x H (0 meaning 256), the
// second 16 x 16; each image is ImageBytes bytes of filler.
inline std::string MakeIco(uint8_t W, uint8_t H, uint32_t ImageBytes = 8) {
    std::string s;
    PutU16(s, 0);
    PutU16(s, 1);
    PutU16(s, 2);
    const uint32_t first = 6 + 2 * 16;
    const uint8_t sizes[2][2] = {{W, H}, {16, 16}};
    for (int i = 0; i < 2; ++i) {
        s += char(sizes[i][0]);
        s += char(sizes[i][1]);
        s += '\0';
        s += '\0';
        PutU16(s, 1);
        PutU16(s, 32);
        PutU32(s, ImageBytes);
        PutU32(s, first + uint32_t(i) * ImageBytes);
    }
    for (uint32_t i = 0; i < 2 * ImageBytes; ++i) s += char('a' + i % 26);
    return s;
}

// A Windows metafile with a placeable header and an end-of-file record.
inline std::string MakeWmf(int16_t Left, int16_t Top, int16_t Right, int16_t Bottom, uint16_t Inch) {
    std::string s;
    PutU32(s, 0x9AC6CDD7u);
    PutU16(s, 0);
    PutU16(s, uint16_t(Left));
    PutU16(s, uint16_t(Top));
    PutU16(s, uint16_t(Right));
    PutU16(s, uint16_t(Bottom));
    PutU16(s, Inch);
    PutU32(s, 0);
    PutU16(s, 0);  // checksum (not checked)
    // Metafile header: type, header words, version, size in words, objects,
    // largest record, parameters; then the 3-word end record.
    PutU16(s, 1);
    PutU16(s, 9);
    PutU16(s, 0x300);
    PutU32(s, 9 + 3);
    PutU16(s, 0);
    PutU32(s, 3);
    PutU16(s, 0);
    PutU32(s, 3);
    PutU16(s, 0);
    return s;
}

// An enhanced metafile: the 88-byte header record and a 20-byte end record.
inline std::string MakeEmf(int32_t FrameRight, int32_t FrameBottom) {
    std::string s;
    const uint32_t total = 88 + 20;
    PutU32(s, 1);   // header record
    PutU32(s, 88);  // its size
    for (int i = 0; i < 4; ++i) PutU32(s, 0);  // bounds
    PutU32(s, 0);
    PutU32(s, 0);
    PutU32(s, uint32_t(FrameRight));
    PutU32(s, uint32_t(FrameBottom));
    PutU32(s, 0x464D4520u);
    PutU32(s, 0x10000);
    PutU32(s, total);
    PutU32(s, 2);  // records
    PutU16(s, 1);
    PutU16(s, 0);
    for (int i = 0; i < 3; ++i) PutU32(s, 0);  // description, palette
    PutU32(s, 1024);
    PutU32(s, 768);
    PutU32(s, 320);
    PutU32(s, 240);
    PutU32(s, 14);  // end-of-file record
    PutU32(s, 20);
    PutU32(s, 0);
    PutU32(s, 16);
    PutU32(s, 20);
    return s;
}

}  // namespace qv::test
