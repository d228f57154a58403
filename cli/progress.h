// A progress bar on standard error for work that takes longer than a second,
// shown only when standard error is a terminal. Cleared when done.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace qv::cli {

class TProgressBar {
public:
    explicit TProgressBar(std::string Label);
    ~TProgressBar();
    void Update(int64_t Done, int64_t Total);
    void SetLabel(std::string Label) { FLabel = std::move(Label); }

private:
    std::string FLabel;
    std::chrono::steady_clock::time_point FStart;
    std::chrono::steady_clock::time_point FLastDraw;
    bool FTerminal;
    bool FShown = false;
};

}  // namespace qv::cli
