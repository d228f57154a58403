// Hostile inputs for the reader tests: the regression seeds of the fuzz
// corpus, and the two large inputs, made with the project's writers rather
// than kept as files.
#pragma once

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "cells/strings_cell.h"
#include "grids/manager.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/stream.h"

namespace qv::test {

inline std::string CorpusDir() { return std::string(QV_SOURCE_DIR) + "/fuzz/corpus"; }

// A file of the fuzz corpus, by its path under fuzz/corpus.
inline std::string CorpusFile(const std::string& Path) { return ReadWholeFile(CorpusDir() + "/" + Path); }

inline std::string Le32Bytes(int32_t V) { return std::string(reinterpret_cast<const char*>(&V), 4); }

// A "QvData" payload whose client section holds the merged ranges Ranges,
// written in as they stand (the writer would refuse overlapping ones).
inline std::string RangesPayload(const std::vector<TRect>& Ranges) {
    TQvSheet s;
    s.Sections(skClient)->Merge({0, 0, 2, 2});
    TMemoryStream m;
    s.WriteData(m);
    std::string d = m.Bytes();
    const std::string one = Le32Bytes(1) + Le32Bytes(0) + Le32Bytes(0) + Le32Bytes(2) + Le32Bytes(2);
    std::string many = Le32Bytes(static_cast<int32_t>(Ranges.size()));
    for (const TRect& r : Ranges) many += Le32Bytes(r.Left) + Le32Bytes(r.Top) + Le32Bytes(r.Right) + Le32Bytes(r.Bottom);
    return d.replace(d.rfind(one), one.size(), many);
}

// 4,096 merged ranges, each over the whole index space (64 KiB of ranges).
inline std::string ManyRangesPayload() {
    const int32_t top = TSList().MaxIndex();
    return RangesPayload(std::vector<TRect>(4096, TRect{0, 0, top, top}));
}

// A sheet that claims the most rows and columns a sheet holds but stores a
// few cells, sizes, lines and a merged range at its far corner.
inline std::string FarCornerPayload() {
    TQvSheet s;
    const int32_t last = TQvSheet::MaxCount() - 1;
    s.SetColCount(last + 1);
    s.SetRowCount(last + 1);
    for (int32_t k = 0; k < 4; ++k) {
        s.SetCellValue(last - k, last, TVariant(k));
        s.SetCellValue(last, k, TVariant(k));
        s.SetSize(axRows, last - k, 3);
        s.SetSize(axCols, last - k, 3);
    }
    for (TQvSectionTable t : {tbHorzLines, tbVertLines, tbFill}) s.Sections(skClient)->SetLine(t, last, last - 8, last, 0xFF);
    s.Sections(skClient)->Merge({last - 3, last - 3, last - 1, last - 1});
    TMemoryStream m;
    s.WriteData(m);
    return m.Bytes();
}

// 50,000 small merged ranges side by side, two positions each: a lookup
// that scanned every range would make loading them take time quadratic in
// their number.
inline std::string ManySmallRangesPayload() {
    std::vector<TRect> ranges;
    for (int32_t i = 0; i < 50000; ++i) ranges.push_back({i % 100 * 2, i / 100, i % 100 * 2 + 2, i / 100 + 1});
    return RangesPayload(ranges);
}

// A "QvData" payload with one pick-list cell whose items text is 16 MiB of
// line feeds: sixteen million empty lines.
inline std::string LineFeedPickListPayload() {
    TQvSheet s;
    s.Sections(skClient)->NeedCellOfClass({0, 0}, TQvCStrings::StaticClass())->SetAsString("x");
    TMemoryStream m;
    s.WriteData(m);
    std::string d = m.Bytes();
    const std::string head = Le32Bytes(0) + Le32Bytes(TQvManager::ClassId(TQvCStrings::StaticClass()));
    const size_t record = d.find(head) + head.size();
    int32_t length;
    std::memcpy(&length, d.data() + record, 4);
    const std::string items = Le32Bytes(3) + "x\r\n";
    const size_t at = d.find(items, record);
    const int32_t n = 16 << 20;
    d.replace(at, items.size(), Le32Bytes(n) + std::string(size_t(n), '\n'));
    return d.replace(record, 4, Le32Bytes(length + n - 3));
}

// Every file of the corpus as (target folder, path).
inline std::vector<std::pair<std::string, std::string>> CorpusFiles() {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& dir : std::filesystem::directory_iterator(CorpusDir()))
        for (const auto& f : std::filesystem::directory_iterator(dir.path()))
            files.emplace_back(dir.path().filename().string(), f.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

}  // namespace qv::test
