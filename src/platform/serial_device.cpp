#include "platform/serial_device.h"

#include <array>
#include <charconv>

namespace marlume::platform {

namespace {

std::optional<int> wholeNumber(std::string_view text)
{
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc {} || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<Parity> parityOf(std::string_view text)
{
    if (text.size() != 1)
        return std::nullopt;
    switch (text.front()) {
    case 'N':
    case 'n':
        return Parity::None;
    case 'E':
    case 'e':
        return Parity::Even;
    case 'O':
    case 'o':
        return Parity::Odd;
    case 'M':
    case 'm':
        return Parity::Mark;
    case 'S':
    case 's':
        return Parity::Space;
    default:
        return std::nullopt;
    }
}

std::optional<StopBits> stopBitsOf(std::string_view text)
{
    if (text == "1")
        return StopBits::One;
    if (text == "1.5")
        return StopBits::OneAndHalf;
    if (text == "2")
        return StopBits::Two;
    return std::nullopt;
}

} // namespace

std::optional<LineSettings> parseLineSettings(std::string_view text)
{
    std::array<std::string_view, 4> fields;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto comma = text.find(',');
        if ((comma == std::string_view::npos) != (i + 1 == fields.size()))
            return std::nullopt;
        fields[i] = text.substr(0, comma);
        text.remove_prefix(comma == std::string_view::npos ? text.size() : comma + 1);
    }
    const auto baud = wholeNumber(fields[0]);
    const auto parity = parityOf(fields[1]);
    const auto dataBits = wholeNumber(fields[2]);
    const auto stopBits = stopBitsOf(fields[3]);
    if (!baud || *baud <= 0 || !parity || !dataBits || *dataBits < 4 || *dataBits > 8 || !stopBits)
        return std::nullopt;
    return LineSettings { *baud, *parity, *dataBits, *stopBits };
}

} // namespace marlume::platform
