#include "link/live_display.h"

#include "common/number_text.h"
#include "common/status_text.h"
#include "common/time_text.h"

namespace marlume::link {

namespace {

constexpr std::string_view kOverText = "over";

} // namespace

ReadingDisplay readingDisplay(const record::AcceptedReading& reading, common::Separators separators)
{
    const auto text = [separators](float value) { return common::numberText(value, separators.decimal); };
    ReadingDisplay display;
    display.texts = { { ValueLabel::Time, common::timeText(reading.time, separators.time) },
        { ValueLabel::Heading, text(reading.heading) } };
    if (reading.overRange) {
        for (const ValueLabel label : kColouredLabels)
            display.texts.push_back({ label, std::string(kOverText) });
        display.background = kRed;
        display.foreground = kWhite;
    } else {
        display.texts.push_back({ ValueLabel::Pitch, text(reading.pitch) });
        display.texts.push_back({ ValueLabel::Roll, text(reading.roll) });
        display.texts.push_back({ ValueLabel::Tilt, text(reading.tilt) });
        display.texts.push_back({ ValueLabel::Heading, text(reading.heading) });
    }
    return display;
}

bool isSearchStatus(std::string_view text)
{
    return text.find("Search") != std::string_view::npos;
}

StatusDisplay statusDisplay(std::string_view text)
{
    if (text == common::kReadyStatus)
        return { std::string(text), kGreen, kBlack, Bold::Off };
    if (text == common::kIntegratingStatus)
        return { std::string(text), kRed, kWhite, Bold::On };
    if (isSearchStatus(text))
        return { std::string(text), kYellow, kBlack, Bold::Unchanged };
    return { std::string(text), SystemColour::ButtonFace, kBlack, Bold::Off };
}

LiveDisplay::LiveDisplay(LinkView& view, LinkState& state, common::Separators separators)
    : m_view(view)
    , m_state(state)
    , m_separators(separators)
{
}

void LiveDisplay::DisplayLatestData(const record::AcceptedReading& reading)
{
    if (m_view.showsReadings())
        m_view.showReading(readingDisplay(reading, m_separators));
}

void LiveDisplay::SetStatus(std::string_view text)
{
    m_state.searchActive = isSearchStatus(text);
    m_view.showStatus(statusDisplay(text));
}

} // namespace marlume::link
