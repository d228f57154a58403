// Under a real limit of the address space, an import that runs out of
// memory while it writes and a paste whose text is too large to read end in
// a clear error with the sheet as it was. Each runs in a forked child that
// lowers RLIMIT_AS; the address sanitizer reserves terabytes of address
// space up front, so its builds skip this.
#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "exchange/csv_import.h"
#include "exchange/text_table.h"
#include "grids/sheet.h"
#include "platform/sanitizer.h"
#include "grids/sheet_snapshot.h"
#include "platform/exceptions.h"
#include "platform/stream.h"


using namespace qv;

namespace {

int64_t AddressSpaceInUse() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmSize:", 0) == 0) return std::atoll(line.c_str() + 7) * 1024;
    return 0;
}

// In a child allowed 48 MB of address space beyond what it has: 0 when Fn
// raises an error holding Expected and leaves Sheet as it was.
template <typename TFn>
int InChild(TQvSheet& Sheet, const std::string& Expected, TFn&& Fn) {
    const TQvSheetSnapshot before = TakeSnapshot(Sheet);
    const pid_t pid = fork();
    if (pid == 0) {
        // Free room the process kept from earlier tests would count as
        // allowance: give back what can be given back first.
        malloc_trim(0);
        const rlim_t limit = static_cast<rlim_t>(AddressSpaceInUse() + (48 << 20));
        const struct rlimit r{limit, limit};
        setrlimit(RLIMIT_AS, &r);
        int code = 1;  // it fitted: nothing proven
        try {
            Fn();
        } catch (const Exception& e) {
            code = std::string(e.what()).find(Expected) == std::string::npos ? 2 : 0;
        }
        _exit(code == 0 && !(TakeSnapshot(Sheet) == before) ? 3 : code);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

}  // namespace

TEST(AddressLimit, ImportsAndPastesThatRunOutOfMemoryLeaveTheSheetAsItWas) {
#ifdef QV_TEST_ASAN
    GTEST_SKIP() << "the address sanitizer reserves the address space a limit would count";
#else
    TQvSheet s;
    s.SetColCount(20);
    s.SetRowCount(20);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 20; ++x) s.SetCellValue(x, y, TVariant(x * 100 + y));
    // 6 MB of one-digit fields stage in about 30 MB; with their three
    // million cells they need more than the 48 MB allowed. The inputs are
    // made before.
    std::string text(6 << 20, ',');
    for (size_t i = 0; i < text.size(); i += 2) text[i] = i % 200 == 198 ? '\n' : '7';
    EXPECT_EQ(InChild(s, "not enough memory to import", [&] {
                  TMemoryStream m(text);
                  ImportCsv(s, m);
              }), 0);
    // One line of 8 MB of tab-separated fields.
    text.assign(8 << 20, '\t');
    for (size_t i = 0; i < text.size(); i += 2) text[i] = '1';
    EXPECT_EQ(InChild(s, "Not enough memory to read the tab-separated text",
                      [&] { PasteTextTable(ParseTabText(text), s, skClient, {0, 0}); }), 0);
#endif
}
