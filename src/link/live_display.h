#pragma once

#include "link/link_state.h"
#include "link/link_view.h"
#include "platform/clock.h"
#include "record/data_record_class.h"

#include <string_view>

namespace marlume::link {

inline constexpr float kOverRangeTilt = 55.0F;

// The value labels for the record's last reading shown at the given time: over 55 degrees of tilt,
// either way, the four angles read "over" in white on red.
[[nodiscard]] ReadingDisplay readingDisplay(const record::DataRecordClass& record,
    const platform::LocalDateTime& now, char decimalSeparator, char timeSeparator);

// The status line for a text: "Ready" green, "Integrating" bold white on red, a search text yellow with its
// bold left alone, anything else on button face.
[[nodiscard]] StatusDisplay statusDisplay(std::string_view text);

// Whether a status text marks a search (case matters).
[[nodiscard]] bool isSearchStatus(std::string_view text);

// The main window's live display and status line.
class LiveDisplay final {
public:
    LiveDisplay(LinkView& view, LinkState& state, const platform::Clock& clock, char decimalSeparator,
        char timeSeparator);

    void DisplayLatestData(const record::DataRecordClass& record);
    // Also raises searchActive exactly while the text contains "Search".
    void SetStatus(std::string_view text);

private:
    LinkView& m_view;
    LinkState& m_state;
    const platform::Clock& m_clock;
    char m_decimalSeparator;
    char m_timeSeparator;
};

} // namespace marlume::link
