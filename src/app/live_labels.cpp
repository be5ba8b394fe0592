#include "app/live_labels.h"

#include "common/number_text.h"
#include "common/status_text.h"
#include "common/time_text.h"

namespace marlume::app {

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

StatusDisplay statusDisplay(const link::LinkStatus& status)
{
    switch (status.kind) {
    case link::LinkStatus::Kind::Ready:
        return { std::string(common::kReadyStatus), kGreen, kBlack, Bold::Off };
    case link::LinkStatus::Kind::Integrating:
        return { std::string(common::kIntegratingStatus), kRed, kWhite, Bold::On };
    case link::LinkStatus::Kind::Searching:
        break;
    }
    return { std::string(common::kSearchingStatus) + std::string(static_cast<std::size_t>(status.port), '.'),
        kYellow, kBlack, Bold::Unchanged };
}

Colour dataIndicatorColour(bool receiving)
{
    return receiving ? Colour { kGreen } : Colour { SystemColour::ButtonFace };
}

} // namespace marlume::app
