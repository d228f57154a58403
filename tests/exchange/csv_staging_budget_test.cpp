// What a CSV import holds while it reads, beyond the cells it makes, stays
// within a small multiple of the file's size. The worst case is a file of
// one-character fields, two bytes each with their separators: whatever the
// import keeps per field shows up there many times over.
//
// The import runs in a fresh process (this test again, told so by its
// environment): in this one, memory earlier tests freed would serve it
// without showing. Its peak resident size is reset just before (Linux: "5"
// into /proc/self/clear_refs) and read after; what the peak exceeds the
// resident size at the end by is what the import held and let go again:
// its staging. Builds with the address sanitizer skip this,
// since the sanitizer's own bookkeeping grows with every allocation.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "exchange/csv_import.h"
#include "grids/sheet.h"
#include "platform/sanitizer.h"


using namespace qv;

namespace {

// A field of /proc/self/status in bytes ("VmRSS", "VmHWM").
int64_t StatusBytes(const char* Field) {
    std::ifstream status("/proc/self/status");
    const std::string key = std::string(Field) + ":";
    for (std::string line; std::getline(status, line);)
        if (line.rfind(key, 0) == 0) return std::atoll(line.c_str() + key.size()) * 1024;
    return -1;
}

bool ResetPeak() { return static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5"); }

constexpr const char* ChildVariable = "QV_CSV_STAGING_FILE";

// In the fresh process: imports File and prints what the import held at
// its peak beyond what stayed.
void MeasureHere(const char* File) {
    TQvSheet sheet;
    if (!ResetPeak()) return;
    ImportCsvFile(sheet, File);
    // The kernel counts resident pages in per-CPU batches, so the two
    // figures may differ by a little either way.
    std::printf("staging=%lld\n",
                static_cast<long long>(std::max<int64_t>(0, StatusBytes("VmHWM") - StatusBytes("VmRSS"))));
}

// Runs this test again in a process of its own, whose heap holds nothing
// that earlier tests freed, and reads its figure; -1 when it gave none.
int64_t StagingOf(const std::string& File) {
    const std::string command = std::string("env ") + ChildVariable + "=" + File +
                                " /proc/" + std::to_string(getpid()) + "/exe --gtest_filter=" +
                                ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "." +
                                ::testing::UnitTest::GetInstance()->current_test_info()->name();
    FILE* p = popen(command.c_str(), "r");
    if (!p) return -1;
    int64_t staging = -1;
    char line[512];
    while (std::fgets(line, sizeof line, p))
        if (std::strncmp(line, "staging=", 8) == 0) staging = std::atoll(line + 8);
    return pclose(p) == 0 ? staging : -1;
}

}  // namespace

TEST(CsvStaging, StagingStaysWithinAFewTimesTheFileBeyondTheCellsItMakes) {
#ifdef QV_TEST_ASAN
    GTEST_SKIP() << "the address sanitizer's bookkeeping grows with every allocation";
#endif
    if (const char* file = std::getenv(ChildVariable)) return MeasureHere(file);
    namespace fs = std::filesystem;
    const std::string file = (fs::temp_directory_path() / ("csv_staging_" + std::to_string(getpid()) + ".csv")).string();
    // 6 MB: 300,000 records of ten one-digit fields.
    const std::string record = "1,2,3,4,5,6,7,8,9,0\n";
    {
        std::ofstream out(file, std::ios::binary);
        for (int i = 0; i < 300000; ++i) out << record;
    }
    const int64_t size = static_cast<int64_t>(fs::file_size(file));
    const int64_t staging = StagingOf(file);
    fs::remove(file);
    ASSERT_GE(staging, 0) << "the child could not measure its import";
    // About twice the file today; sixteen bytes a field and a doubling
    // vector were eight times.
    EXPECT_LE(staging, 4 * size) << (staging >> 20) << " MB staged for a file of " << (size >> 20) << " MB";
    std::printf("  staged %.1f MB for a file of %.1f MB (%.1f x)\n", staging / 1048576.0, size / 1048576.0,
                double(staging) / double(size));
}
