// Every reader, given any file of the fuzz corpus or one of the large hostile
// inputs, loads it or fails within 2 s of CPU time and 256 MB of memory.
//
// Each input is read in a forked child, so that a bomb costs the child and
// not the test run:
// - time: RLIMIT_CPU stops the child with SIGXCPU once it has used 3 s of
//   CPU, and the CPU time wait4 reports must stay under 2 s. CPU time, not
//   wall time, so a busy machine does not fail the test.
// - memory: the growth of the child's peak resident size (getrusage before
//   and after the reads, sent to the parent through a pipe). RLIMIT_AS is
//   no use: the address sanitizer reserves terabytes of address space up
//   front. While the child runs, the parent watches its resident size in
//   /proc and kills it at four times the budget, so a memory bomb is stopped
//   long before it can hurt the machine.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "exchange/hostile_spreadsheets.h"
#include "exchange/spreadsheet_import.h"
#include "grids/hostile_inputs.h"
#include "grids/sheet.h"
#include "grids/styler.h"
#include "lists/int_slist.h"
#include "lists/list_slist.h"
#include "platform/exceptions.h"
#include "platform/filer.h"
#include "platform/graphic.h"
#include "platform/message_box.h"
#include "platform/picture.h"
#include "platform/stream.h"

using namespace qv;

namespace {

constexpr double CpuBudget = 2.0;             // seconds
constexpr int64_t MemoryBudget = 256 << 20;  // bytes

// Hands Bytes to every reader of the library; each either reads them or
// raises one of the framework's errors.
void ReadWithEveryReader(const std::string& Bytes) {
    TRecordingMessageService messages;
    TMessageServiceScope scope(messages);
    TMemoryStream in(Bytes);  // one copy: no reader writes to it
    const auto attempt = [&](const auto& Read) {
        in.SetPosition(0);
        try {
            Read(in);
        } catch (const Exception&) {
        }
    };
    attempt([](TStream& S) { TQvSheet().ReadData(S); });
    attempt([](TStream& S) { TQvSheet().LoadFromStream(S); });
    attempt([](TStream& S) { TQvStyler().ReadStyles(S); });
    attempt([](TStream& S) { TSList().LoadFromStream(S); });
    attempt([](TStream& S) { TIntSList().LoadFromStream(S); });
    attempt([](TStream& S) { TListSList().LoadItems(S, TIntSList::StaticClass()); });
    attempt([](TStream& S) { TPicture().ReadData(S); });
    attempt([](TStream& S) { TBitmap().LoadFromStream(S); });
    attempt([](TStream& S) { TIcon().ReadData(S); });
    attempt([](TStream& S) { TMetafile().LoadFromStream(S); });
    attempt([](TStream& S) { ComponentStreamToText(S); });
    attempt([](TStream& S) { std::unique_ptr<TComponent>(ReadComponent(S, nullptr)); });
    attempt([&](TStream&) {
        TQvSheet sheet;
        ImportSpreadsheet(sheet, Bytes, "input");
    });
}

int64_t PeakRss() {
    struct rusage u {};
    ::getrusage(RUSAGE_SELF, &u);
    return int64_t(u.ru_maxrss) * 1024;
}

int64_t ResidentBytes(pid_t Pid) {
    std::ifstream statm("/proc/" + std::to_string(Pid) + "/statm");
    int64_t size = 0, resident = 0;
    statm >> size >> resident;
    return resident * ::sysconf(_SC_PAGESIZE);
}

struct TCost {
    std::string Failure;  // empty when the child read everything and ended normally
    double Cpu = 0;
    int64_t Memory = 0;
};

TCost Measure(const std::string& Bytes, void (*Read)(const std::string&) = ReadWithEveryReader) {
    int fds[2];
    if (::pipe(fds) != 0) return {"no pipe"};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        const struct rlimit cpu {3, 4};
        ::setrlimit(RLIMIT_CPU, &cpu);
        const int64_t before = PeakRss();
        int status = 0;
        try {
            Read(Bytes);
        } catch (...) {
            status = 3;  // something other than the framework's errors
        }
        const int64_t growth = PeakRss() - before;
        if (::write(fds[1], &growth, sizeof growth) != sizeof growth) status = 4;
        ::_exit(status);
    }
    ::close(fds[1]);
    TCost cost;
    const int64_t start = ResidentBytes(pid);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    struct rusage usage {};
    while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
        if (ResidentBytes(pid) - start > 4 * MemoryBudget) {
            ::kill(pid, SIGKILL);
            cost.Failure = "stopped above " + std::to_string(4 * MemoryBudget >> 20) + " MB";
        } else if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            cost.Failure = "stopped after 60 s of wall time";
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    if (::read(fds[0], &cost.Memory, sizeof cost.Memory) != sizeof cost.Memory) cost.Memory = -1;
    ::close(fds[0]);
    cost.Cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (cost.Failure.empty()) {
        if (WIFSIGNALED(status))
            cost.Failure = WTERMSIG(status) == SIGXCPU ? "stopped by the CPU limit"
                                                       : "killed by signal " + std::to_string(WTERMSIG(status));
        else if (WEXITSTATUS(status) != 0)
            cost.Failure = "exit status " + std::to_string(WEXITSTATUS(status));
    }
    return cost;
}

// The input is made before the fork: only reading it counts.
void ExpectWithinBudget(const std::string& Name, const std::string& Bytes,
                        void (*Read)(const std::string&) = ReadWithEveryReader) {
    const TCost cost = Measure(Bytes, Read);
    EXPECT_EQ(cost.Failure, "") << Name;
    EXPECT_LE(cost.Cpu, CpuBudget) << Name;
    EXPECT_GE(cost.Memory, 0) << Name;
    EXPECT_LE(cost.Memory, MemoryBudget) << Name << ": " << (cost.Memory >> 20) << " MB";
    std::printf("  %-60s %6.2f s %6lld MB\n", Name.c_str(), cost.Cpu, static_cast<long long>(cost.Memory >> 20));
}

}  // namespace

TEST(LoadBudget, EveryCorpusFileLoadsOrFailsWithinTheBudget) {
    const auto files = test::CorpusFiles();
    ASSERT_GE(files.size(), 20u);
    for (const auto& [target, path] : files)
        ExpectWithinBudget(target + "/" + path.substr(path.rfind('/') + 1), ReadWholeFile(path));
}

TEST(LoadBudget, TheLargeHostileInputsLoadWithinTheBudget) {
    ExpectWithinBudget("4,096 ranges over the whole index space", test::ManyRangesPayload());
    ExpectWithinBudget("50,000 small ranges side by side", test::ManySmallRangesPayload());
    ExpectWithinBudget("a pick list of 16 MiB of line feeds", test::LineFeedPickListPayload());
    ExpectWithinBudget("16,776,960 rows and columns holding a far corner", test::FarCornerPayload());
}

// The spreadsheet import alone: a framework error or a load, either within
// the budget.
void ImportOnce(const std::string& Bytes) {
    TQvSheet sheet;
    try {
        ImportSpreadsheet(sheet, Bytes, "input");
    } catch (const Exception&) {
    }
}

TEST(LoadBudget, HostileSpreadsheetFilesLoadOrFailWithinTheBudget) {
    using namespace qv::test;
    ExpectWithinBudget("a zip bomb that declares 600 MB", ZipBomb(600, true), ImportOnce);
    ExpectWithinBudget("a zip bomb that claims 1 KB for 300 MB", ZipBomb(300, false), ImportOnce);
    ExpectWithinBudget("entities expanding to a billion words", EntityBomb(), ImportOnce);
    ExpectWithinBudget("a dimension of 16,384 x 1,048,576 over three cells, a merge of it all",
                       WorkbookFile("<dimension ref=\"A1:XFD1048576\"/><sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c>"
                                    "</row><row r=\"1048576\"><c r=\"XFD1048576\"><v>2</v></c><c r=\"XFC1048576\">"
                                    "<v>3</v></c></row></sheetData><mergeCells count=\"1\"><mergeCell ref=\"B2:XFB1048575\"/>"
                                    "</mergeCells><cols><col min=\"1\" max=\"16384\" width=\"30\" customWidth=\"1\"/></cols>"),
                       ImportOnce);
}
