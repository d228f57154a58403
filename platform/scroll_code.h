// Scroll requests, numbered as the classic scroll-bar codes: what a scroll
// bar, an arrow pair or a key asks of whatever scrolls.
#pragma once

namespace qv {

enum TScrollCode {
    scLineUp = 0, scLineDown = 1, scPageUp = 2, scPageDown = 3,
    scThumbPosition = 4, scThumbTrack = 5, scTop = 6, scBottom = 7,
};

}  // namespace qv
