#pragma once

#include <cstdint>
#include <string>

namespace marlume::link {

// The sensor link's shared state. The start-up routine makes the one instance before the main window
// (linkAlive starts false, so the first round of events is followed by a search) and hands it to the
// receive loop, the display and the search; the start-up loop reads linkAlive.
struct LinkState {
    bool linkAlive = false; // a character came since the link was last declared dead
    bool searchActive = false; // the status tells of a search: CTS changes are ignored
    std::string sentenceBuffer; // characters since the last line feed
    bool skippingToLineEnd = false; // the buffer overflowed: the rest of that line is dropped
    std::int32_t ticksSinceSentence = 0; // receive ticks since the last accepted sentence
    std::int32_t readErrorCount = 0; // consecutive receive ticks that failed
    bool dataIndicatorGreen = false; // the data indicator shows green, not button face
};

} // namespace marlume::link
