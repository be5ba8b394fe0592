#include "monitor/over_range_alarm.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::monitor {
namespace {

class RecordingOutputs final : public AlarmOutputs {
public:
    void setSounding(bool sounding) override { soundChanges.push_back(sounding); }
    void excursionStarted(const record::AcceptedReading&) override { ++excursions; }

    std::vector<bool> soundChanges;
    int excursions = 0;
};

enum class Step { SoundOn, SoundOff, Over, Back, Acknowledge, LinkLost };

struct AlarmCase {
    std::string name;
    std::vector<Step> steps;
    std::vector<bool> soundChanges; // the sound started (true) and stopped (false), in order
    int excursions; // told for the desktop notice
};

class OverRangeAlarmTest : public ::testing::TestWithParam<AlarmCase> { };

TEST_P(OverRangeAlarmTest, SoundsAndStopsAsTheOperatorExpects)
{
    RecordingOutputs outputs;
    OverRangeAlarm alarm(outputs);
    for (const Step step : GetParam().steps) {
        record::AcceptedReading reading;
        switch (step) {
        case Step::SoundOn:
        case Step::SoundOff:
            alarm.setSoundOn(step == Step::SoundOn);
            break;
        case Step::Over:
        case Step::Back:
            reading.overRange = step == Step::Over;
            alarm.overRangeChanged(reading);
            break;
        case Step::Acknowledge:
            alarm.acknowledge();
            break;
        case Step::LinkLost:
            alarm.linkLost({});
            break;
        }
        EXPECT_EQ(alarm.sounding(), !outputs.soundChanges.empty() && outputs.soundChanges.back());
    }
    EXPECT_EQ(outputs.soundChanges, GetParam().soundChanges);
    EXPECT_EQ(outputs.excursions, GetParam().excursions);
}

using enum Step;
INSTANTIATE_TEST_SUITE_P(Alarm, OverRangeAlarmTest,
    ::testing::ValuesIn(std::vector<AlarmCase> {
        { "SoundsFromOverUntilBack", { SoundOn, Over, Back }, { true, false }, 1 },
        { "SilentUntilTheOperatorTurnsItOn", { Over, Back }, {}, 1 },
        { "AcknowledgedUntilBackThenSoundsAgain", { SoundOn, Over, Acknowledge, Back, Over },
            { true, false, true }, 2 },
        { "AnAcknowledgeBeforeTheExcursionCountsForNothing", { SoundOn, Acknowledge, Over }, { true }, 1 },
        { "TurnedOnDuringAnExcursionSoundsAtOnce", { Over, SoundOn, SoundOff }, { true, false }, 1 },
        { "TurnedOffAndOnAfterAnAcknowledgeStaysSilent", { SoundOn, Over, Acknowledge, SoundOff, SoundOn },
            { true, false }, 1 },
        { "ALostLinkStopsItAndTheNextExcursionSounds", { SoundOn, Over, LinkLost, Over },
            { true, false, true }, 2 },
    }),
    testing::CaseName());

} // namespace
} // namespace marlume::monitor
