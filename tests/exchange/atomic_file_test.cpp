// Saving over what stands on disk: read-only files are refused, symbolic
// links stay links, and a save that was killed leaves nothing the next one
// does not clear away.
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>

#include "exchange/csv_export.h"
#include "grids/sheet.h"
#include "platform/atomic_file.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

struct TFolder {
    // One folder a test process: ctest runs the tests side by side.
    std::string Path = testing::TempDir() + "qv_atomic_file_" + std::to_string(::getpid()) + "/";
    TFolder() {
        fs::remove_all(Path);
        fs::create_directories(Path);
    }
    ~TFolder() {
        fs::permissions(Path, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(Path);
    }
    std::set<std::string> Names() const {
        std::set<std::string> names;
        for (const auto& e : fs::directory_iterator(Path)) names.insert(e.path().filename().string());
        return names;
    }
};

// The two savers a person reaches: a sheet file and a CSV export.
const std::function<void(const std::string&)> Savers[] = {
    [](const std::string& Name) {
        TQvSheet s;
        s.SetCellValue(0, 0, TVariant("new"));
        s.SaveToFile(Name);
    },
    [](const std::string& Name) {
        TQvSheet s;
        s.SetCellValue(0, 0, TVariant("new"));
        ExportCsvFile(s, Name);
    },
};

}  // namespace

// Even the superuser, whom the system lets write anything, is refused a
// file that has no write bit: the refusal does not wait for open() to fail.
TEST(AtomicFile, AReadOnlyFileIsRefusedWithTheSystemsReasonAndStaysAsItWas) {
    TFolder dir;
    for (const auto& save : Savers) {
        const std::string name = dir.Path + "locked";
        WriteFileSafely(name, "mine");
        ::chmod(name.c_str(), 0444);
        try {
            save(name);
            ADD_FAILURE() << "saved over a read-only file";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message(), "Cannot create file \"" + name + "\": " + std::strerror(EACCES));
        }
        EXPECT_EQ(ReadWholeFile(name), "mine");
        EXPECT_EQ(dir.Names(), std::set<std::string>{"locked"});
        ::chmod(name.c_str(), 0644);
        fs::remove(name);
    }
}

TEST(AtomicFile, ASaveThroughASymbolicLinkReplacesTheFileItNamesAndKeepsTheLink) {
    TFolder dir;
    fs::create_directories(dir.Path + "real");
    for (const auto& save : Savers) {
        WriteFileSafely(dir.Path + "real/a", "old");
        fs::create_symlink("real/a", dir.Path + "link");                 // relative, to a file
        fs::create_symlink(dir.Path + "real/b", dir.Path + "dangling");  // absolute, to no file yet
        ::chmod((dir.Path + "real/a").c_str(), 0640);
        save(dir.Path + "link");
        save(dir.Path + "dangling");
        for (const char* link : {"link", "dangling"}) EXPECT_TRUE(fs::is_symlink(dir.Path + link)) << link;
        EXPECT_NE(ReadWholeFile(dir.Path + "real/a"), "old");
        EXPECT_EQ(ReadWholeFile(dir.Path + "real/a"), ReadWholeFile(dir.Path + "real/b"));
        EXPECT_EQ(fs::status(dir.Path + "real/a").permissions() & fs::perms::all,
                  fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
        EXPECT_EQ(dir.Names(), (std::set<std::string>{"dangling", "link", "real"}));
        for (const char* f : {"link", "dangling", "real/a", "real/b"}) fs::remove(dir.Path + f);
    }
}

TEST(AtomicFile, AKilledSaveLeavesATemporaryFileThatTheNextSaveOfTheTargetRemoves) {
    TFolder dir;
    const std::string target = dir.Path + "a.qvf";
    const std::string prefix = TAtomicFile::TempPrefix("a.qvf");
    // A save killed halfway: its process ends without any clean-up.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto* f = new TAtomicFile(target);
        f->Write("half", 4);
        ::_exit(f->TempName().rfind(dir.Path + prefix, 0) == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_EQ(dir.Names().size(), 1u);
    // A save still running (it holds its file locked), the temporary files of
    // another target and a file that only looks alike all stay.
    TAtomicFile running(target);
    const std::string others[] = {TAtomicFile::TempPrefix("b.qvf") + "abcdef", prefix + "toolong",
                                  "a.qvf.qvtmp-abcdef"};
    for (const std::string& o : others) WriteFileSafely(dir.Path + o, "x");
    const std::string left = *dir.Names().begin();

    Savers[0](target);
    std::set<std::string> expected{"a.qvf", running.TempName().substr(dir.Path.size())};
    for (const std::string& o : others) expected.insert(o);
    EXPECT_EQ(dir.Names(), expected) << "the killed save's file was " << left;
}
