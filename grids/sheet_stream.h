// The sheet's "QvData" payload and the records inside it.
//
// Payload: the client and title base-style records (length-prefixed), a
// size-flags byte (1 title columns, 2 title rows, 4 client columns, 8 client
// rows: lists holding individual sizes) and those integer-list records, then
// the records of sections 0..3, each only when its quadrant is non-empty on
// the counts the reader holds when it reaches it.
//
// Section record: a flags byte (1 merged ranges, 2 table 4, 4 table 0,
// 8 table 1, 16 table 2, 32 table 3, 64 table 5, 128 rows); the ranges as a
// count and 16-byte rectangles; the rows block (row index, then per cell its
// column, class identifier and length-prefixed record, -1 after each row and
// after the last row); the flagged tables as nested-table records in the
// order 4, 0, 1, 2, 3, 5.
//
// A length-prefixed record starts with its total length, the four length
// bytes included. A reader always resumes at the record's end, whatever the
// object consumed, and the object reads from a copy of exactly its record,
// so a faulty record can never read into the next one.
#pragma once

#include <cstdint>
#include <string>

#include "grids/section.h"

namespace qv {

// The flags byte of a section record: merged ranges, rows, and one flag per
// table, listed in the order the tables are written.
constexpr uint8_t sfUnions = 1;
constexpr uint8_t sfRows = 128;
struct TQvTableFlag {
    TQvSectionTable Table;
    uint8_t Flag;
};
inline constexpr TQvTableFlag TableOrder[] = {{tbFill, 2},  {tbVertLines, 4}, {tbHorzLines, 8},
                                              {tbBias1, 16}, {tbBias2, 32},    {tbFrames, 64}};

class TQvPro;
class TQvSheet;
class TStream;

void SaveRecord(TQvPro& Object, TStream& Stream);
// False when the object's read raised (the position is past the record all
// the same). A length that cannot frame a record raises EReadError: nothing
// after it can be trusted.
bool LoadRecord(TQvPro& Object, TStream& Stream);
// The same, giving the reason of a failure in Error.
bool LoadRecord(TQvPro& Object, TStream& Stream, std::string* Error);

void WriteSectionRecord(TQvSection& Section, TStream& Stream);
// Adds to what the section holds. A cell record that fails to load (or names
// no registered class) is reported through the message service, naming the
// cell and the reason, and skipped; structural damage raises EReadError, and
// so does a merged range whose fill would cost far more memory than the
// payload holds (the range then has no fill).
void ReadSectionRecord(TQvSection& Section, TStream& Stream);

// While one lives on a thread, section records read there are bytes a trial
// read on a scratch sheet accepted, now applied to the real sheet: they get
// no fill budget. The trial bounded what the bytes' own ranges cost; what is
// left is giving the sheet's older ranges back their fill in rows the bytes
// replaced, which costs no more than those rows held before, and must not
// fail halfway through applying.
class TQvTriedRead {
public:
    TQvTriedRead();
    ~TQvTriedRead();
    TQvTriedRead(const TQvTriedRead&) = delete;
    TQvTriedRead& operator=(const TQvTriedRead&) = delete;

private:
    bool FOuter;
};

// Clears Modified afterwards.
void WriteSheetData(TQvSheet& Sheet, TStream& Stream);
// The same bytes, leaving Modified alone (snapshots for undo).
void WriteSheetPayload(TQvSheet& Sheet, TStream& Stream);
// About the bytes the payload's cells take (exact for packed cells, a guess
// for objects), without writing them: room a writer in memory makes first,
// so that the bytes are not copied again and again as the buffer grows.
int64_t EstimatePayloadSize(const TQvSheet& Sheet);
// Merges into the sheet (it is not cleared first) inside an update block
// that always closes; views re-read their layout; clears Modified.
void ReadSheetData(TQvSheet& Sheet, TStream& Stream);

}  // namespace qv
