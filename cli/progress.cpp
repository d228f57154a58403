#include "cli/progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace qv::cli {

TProgressBar::TProgressBar(std::string Label)
    : FLabel(std::move(Label)), FStart(std::chrono::steady_clock::now()), FTerminal(::isatty(STDERR_FILENO) == 1) {}

TProgressBar::~TProgressBar() {
    if (FShown) std::fprintf(stderr, "\r\033[K");
}

void TProgressBar::Update(int64_t Done, int64_t Total) {
    if (!FTerminal) return;
    const auto now = std::chrono::steady_clock::now();
    if (now - FStart < std::chrono::seconds(1)) return;
    if (FShown && now - FLastDraw < std::chrono::milliseconds(100) && Done < Total) return;
    FLastDraw = now;
    FShown = true;
    constexpr int width = 30;
    const double part = Total > 0 ? std::clamp(double(Done) / double(Total), 0.0, 1.0) : 0.0;
    const int filled = static_cast<int>(part * width);
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", FLabel.c_str(), std::string(filled, '#').c_str(),
                 std::string(width - filled, ' ').c_str(), static_cast<int>(part * 100));
    std::fflush(stderr);
}

}  // namespace qv::cli
