#include "platform/stream.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

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
}

TEST(MemoryStream, AStringLengthOfZeroOrLessIsTheEmptyString) {
    TMemoryStream s(std::string("\xff\xff\xff\xff", 4) + std::string("\x00\x00\x00\x80", 4) + "\x05\x00\x00\x00");
    EXPECT_EQ(s.ReadString(), "");
    EXPECT_EQ(s.ReadString(), "");
    EXPECT_EQ(s.Position(), 8);  // nothing after a non-positive length
    EXPECT_THROW(s.ReadString(), EReadError);
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

namespace {

std::string FileBytes(const std::string& Name) { return ReadWholeFile(Name); }

}  // namespace

TEST(FileStream, APipeCannotSeekButLoadsWhole) {
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const std::string bytes(100000, 'q');  // more than a pipe buffer holds
    std::thread writer([&] {
        {
            TFileStream out("/proc/self/fd/" + std::to_string(fds[1]), fmOpenReadWrite);
            out.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
        }
        ::close(fds[1]);  // the reader sees the end once every writer is gone
    });
    const std::string name = "/proc/self/fd/" + std::to_string(fds[0]);
    {
        TFileStream in(name, fmOpenRead);
        EXPECT_FALSE(in.CanSeek());
        try {
            in.Seek(4, soCurrent);
            FAIL() << "a pipe seeks";
        } catch (const EStreamError& e) {
            EXPECT_NE(std::string(e.what()).find(name), std::string::npos) << e.what();
        }
    }
    TMemoryStream m;
    m.LoadFromFile(name);
    writer.join();
    ::close(fds[0]);
    EXPECT_EQ(m.Bytes(), bytes);
}

TEST(FileStream, ASaveReplacesTheFileWholeOrNotAtAll) {
    const std::string dir = testing::TempDir() + "qv_safe_save/";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const std::string name = dir + "sheet.qvf";
    const std::string old(200000, 'o');
    WriteFileSafely(name, old);
    ::chmod(name.c_str(), 0640);
    EXPECT_EQ(FileBytes(name), old);

    // The disk fills midway (a file size limit fails the same way).
    struct rlimit before {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &before), 0);
    struct rlimit small = before;
    small.rlim_cur = 65536;
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        WriteFileSafely(name, std::string(245000, 'n'));
    } catch (const EWriteError& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, oldHandler);
    EXPECT_NE(message.find("\"" + name + "\""), std::string::npos) << message;
    EXPECT_NE(message.find(std::strerror(EFBIG)), std::string::npos) << message;
    EXPECT_EQ(FileBytes(name), old);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);

    // A save that works keeps the file's permissions.
    WriteFileSafely(name, "new");
    EXPECT_EQ(FileBytes(name), "new");
    struct stat st {};
    ASSERT_EQ(::stat(name.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    std::filesystem::remove_all(dir);
}
