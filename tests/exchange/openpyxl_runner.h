// Python with openpyxl, the independent writer and reader that the
// spreadsheet-file tests check against, and their temporary files.
#pragma once

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace qv::test {

// Per process: the tests may run side by side.
inline std::string TempPathOf(const std::string& Prefix, const std::string& Name) {
    return (std::filesystem::temp_directory_path() / (Prefix + std::to_string(::getpid()) + "_" + Name)).string();
}

// Runs Program with File as sys.argv[1] and returns what it printed, errors
// included.
inline std::string RunOpenpyxl(const std::string& Program, const std::string& File) {
    const std::string script = TempPathOf("qv_openpyxl_", "program.py");
    std::ofstream(script) << Program;
    // Debian's own interpreter, which finds python3-openpyxl.
    const char* python = std::filesystem::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    std::string out;
    FILE* p = popen((std::string(python) + " " + script + " " + File + " 2>&1").c_str(), "r");
    if (!p) return "cannot run python3";
    std::array<char, 512> buf;
    while (fgets(buf.data(), buf.size(), p)) out += buf.data();
    pclose(p);
    std::remove(script.c_str());
    return out;
}

}  // namespace qv::test
