#include "platform/stream.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/exceptions.h"

using namespace qv;

TEST(MemoryStream, WritesLittleEndianValuesAndReadsThemBack) {
    TMemoryStream s;
    s.WriteInt32(0x01020304);
    s.WriteByte(7);
    s.WriteString("abc");
    s.WriteDouble(1.5);
    EXPECT_EQ(s.Bytes().substr(0, 4), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(s.Size(), 4 + 1 + 4 + 3 + 8);
    s.SetPosition(0);
    EXPECT_EQ(s.ReadInt32(), 0x01020304);
    EXPECT_EQ(s.ReadByte(), 7);
    EXPECT_EQ(s.ReadString(), "abc");
    EXPECT_EQ(s.ReadDouble(), 1.5);
    EXPECT_EQ(s.Remaining(), 0);
}

TEST(MemoryStream, ShortReadsRaiseReadErrors) {
    TMemoryStream s(std::string("\x01\x02", 2));
    EXPECT_THROW(s.ReadInt32(), EReadError);
    TMemoryStream huge(std::string("\xff\xff\xff\x7f", 4));  // length 2^31-1, no bytes
    EXPECT_THROW(huge.ReadString(), EReadError);
    TMemoryStream negative(std::string("\xff\xff\xff\xff", 4));
    EXPECT_THROW(negative.ReadString(), EReadError);
}

TEST(FileStream, NamesTheFileWhenItCannotBeOpened) {
    try {
        TFileStream f("/nonexistent/dir/file.qvf", fmOpenRead);
        FAIL() << "no exception";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/dir/file.qvf"), std::string::npos);
    }
    EXPECT_THROW(TFileStream("/nonexistent/dir/x", fmCreate), EFCreateError);
}

TEST(FileStream, RoundTripsThroughAFile) {
    const std::string name = testing::TempDir() + "qv_stream_test.bin";
    {
        TFileStream f(name, fmCreate);
        f.WriteString("hello");
    }
    TMemoryStream m;
    m.LoadFromFile(name);
    EXPECT_EQ(m.ReadString(), "hello");
    std::remove(name.c_str());
}

TEST(StreamWindow, ReadsOnlyItsBytes) {
    TMemoryStream base(std::string("abcdefgh"));
    base.SetPosition(2);
    TStreamWindow w(base, 3);
    EXPECT_EQ(w.Size(), 3);
    EXPECT_EQ(w.ReadBytes(3), "cde");
    EXPECT_THROW(w.ReadByte(), EReadError);
    w.SetPosition(1);
    EXPECT_EQ(w.ReadBytes(2), "de");
    TStreamWindow past(base, 100);  // never larger than what remains
    EXPECT_EQ(past.Size(), base.Size() - base.Position());
}
