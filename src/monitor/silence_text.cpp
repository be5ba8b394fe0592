#include "monitor/silence_text.h"

#include "common/number_text.h"

#include <cmath>

namespace marlume::monitor {

namespace {

float seconds(std::chrono::milliseconds duration)
{
    return static_cast<float>(duration.count()) / 1000.0F;
}

} // namespace

std::string silenceText(const Silence& silence)
{
    return "No data for " + common::numberText(seconds(silence.lasted)) + " s on port "
        + std::to_string(silence.port);
}

std::string dataAgainText(const Silence& silence)
{
    // Tenths, always shown: "25.4 s", "3.0 s".
    const auto tenths = static_cast<long long>(std::llround(seconds(silence.lasted) * 10.0F));
    return "Data again after " + std::to_string(tenths / 10) + '.' + std::to_string(tenths % 10) + " s";
}

} // namespace marlume::monitor
