#include "link/live_display.h"

#include "common/number_text.h"
#include "common/time_text.h"

#include <cmath>

namespace marlume::link {

namespace {

constexpr std::string_view kOverText = "over";

} // namespace

ReadingDisplay readingDisplay(const record::DataRecordClass& record, const platform::LocalDateTime& now,
    char decimalSeparator, char timeSeparator)
{
    const auto text = [decimalSeparator](float value) { return common::numberText(value, decimalSeparator); };
    ReadingDisplay display;
    display.texts = { { ValueLabel::Time, common::timeText(now, timeSeparator) },
        { ValueLabel::Heading, text(record.LastHeading()) } };
    if (std::fabs(record.LastTilt()) > kOverRangeTilt) {
        for (const ValueLabel label : kColouredLabels)
            display.texts.push_back({ label, std::string(kOverText) });
        display.background = kRed;
        display.foreground = kWhite;
    } else {
        display.texts.push_back({ ValueLabel::Pitch, text(record.LastPitch()) });
        display.texts.push_back({ ValueLabel::Roll, text(record.LastRoll()) });
        display.texts.push_back({ ValueLabel::Tilt, text(record.LastTilt()) });
        display.texts.push_back({ ValueLabel::Heading, text(record.LastHeading()) });
    }
    return display;
}

bool isSearchStatus(std::string_view text)
{
    return text.find("Search") != std::string_view::npos;
}

StatusDisplay statusDisplay(std::string_view text)
{
    if (text == "Ready")
        return { std::string(text), kGreen, kBlack, Bold::Off };
    if (text == "Integrating")
        return { std::string(text), kRed, kWhite, Bold::On };
    if (isSearchStatus(text))
        return { std::string(text), kYellow, kBlack, Bold::Unchanged };
    return { std::string(text), SystemColour::ButtonFace, kBlack, Bold::Off };
}

LiveDisplay::LiveDisplay(
    LinkView& view, LinkState& state, const platform::Clock& clock, char decimalSeparator, char timeSeparator)
    : m_view(view)
    , m_state(state)
    , m_clock(clock)
    , m_decimalSeparator(decimalSeparator)
    , m_timeSeparator(timeSeparator)
{
}

void LiveDisplay::DisplayLatestData(const record::DataRecordClass& record)
{
    m_view.showReading(readingDisplay(record, m_clock.now(), m_decimalSeparator, m_timeSeparator));
}

void LiveDisplay::SetStatus(std::string_view text)
{
    m_state.searchActive = isSearchStatus(text);
    m_view.showStatus(statusDisplay(text));
}

} // namespace marlume::link
