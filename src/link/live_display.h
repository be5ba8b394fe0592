#pragma once

#include "common/separators.h"
#include "link/link_state.h"
#include "link/link_view.h"
#include "record/accepted_reading.h"

#include <string_view>

namespace marlume::link {

// The value labels for an accepted reading, with its time: over range, the four angles read "over" in
// white on red.
[[nodiscard]] ReadingDisplay readingDisplay(
    const record::AcceptedReading& reading, common::Separators separators);

// The status line for a text: "Ready" green, "Integrating" bold white on red, a search text yellow with its
// bold left alone, anything else on button face.
[[nodiscard]] StatusDisplay statusDisplay(std::string_view text);

// Whether a status text marks a search (case matters).
[[nodiscard]] bool isSearchStatus(std::string_view text);

// The main window's live display and status line.
class LiveDisplay final {
public:
    LiveDisplay(LinkView& view, LinkState& state, common::Separators separators);

    void DisplayLatestData(const record::AcceptedReading& reading);
    // Also raises searchActive exactly while the text contains "Search".
    void SetStatus(std::string_view text);

private:
    LinkView& m_view;
    LinkState& m_state;
    common::Separators m_separators;
};

} // namespace marlume::link
