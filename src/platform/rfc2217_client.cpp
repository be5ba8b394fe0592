#include "platform/rfc2217_client.h"

#include <array>

namespace marlume::platform {

namespace {

using namespace telnet;

constexpr char byte(std::uint8_t value)
{
    return static_cast<char>(value);
}

std::string command(std::uint8_t verb, std::uint8_t option)
{
    return { byte(kIac), byte(verb), byte(option) };
}

std::uint8_t parityCode(Parity parity)
{
    switch (parity) {
    case Parity::None:
        return 1;
    case Parity::Odd:
        return 2;
    case Parity::Even:
        return 3;
    case Parity::Mark:
        return 4;
    case Parity::Space:
        return 5;
    }
    return 1;
}

std::uint8_t stopSizeCode(StopBits stopBits)
{
    switch (stopBits) {
    case StopBits::One:
        return 1;
    case StopBits::Two:
        return 2;
    case StopBits::OneAndHalf:
        return 3;
    }
    return 1;
}

// The options this client takes part in: binary both ways, no go-ahead, and the com-port option, which
// only the client performs.
bool wantsToPerform(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead || option == kComPort;
}

bool letsServerPerform(std::uint8_t option)
{
    return option == kBinary || option == kSuppressGoAhead;
}

} // namespace

std::string telnet::comPortCommand(std::uint8_t command, std::string_view value)
{
    std::string text { byte(kIac), byte(kSb), byte(kComPort), byte(command) };
    for (const char c : value) {
        text += c;
        if (static_cast<std::uint8_t>(c) == kIac)
            text += c;
    }
    text += byte(kIac);
    text += byte(kSe);
    return text;
}

std::string Rfc2217Client::greeting(const LineSettings& settings)
{
    std::string text;
    for (const std::uint8_t option : { kComPort, kBinary, kSuppressGoAhead }) {
        text += command(kWill, option);
        m_weWill.set(option);
    }
    for (const std::uint8_t option : { kBinary, kSuppressGoAhead }) {
        text += command(kDo, option);
        m_theyWill.set(option);
    }
    const auto baud = static_cast<std::uint32_t>(settings.baudRate);
    text += comPortCommand(kSetBaudRate,
        std::string { byte(static_cast<std::uint8_t>(baud >> 24)),
            byte(static_cast<std::uint8_t>(baud >> 16)), byte(static_cast<std::uint8_t>(baud >> 8)),
            byte(static_cast<std::uint8_t>(baud)) });
    text += comPortCommand(kSetDataSize, std::string { byte(static_cast<std::uint8_t>(settings.dataBits)) });
    text += comPortCommand(kSetParity, std::string { byte(parityCode(settings.parity)) });
    text += comPortCommand(kSetStopSize, std::string { byte(stopSizeCode(settings.stopBits)) });
    text += comPortCommand(kSetControl, std::string { byte(kControlNoFlowControl) });
    text += comPortCommand(kSetLineStateMask, std::string { byte(0) });
    text += comPortCommand(kSetModemStateMask, std::string { byte(kModemCts | kModemDeltaCts) });
    return text;
}

Rfc2217Client::Taken Rfc2217Client::take(std::string_view bytes, CtsOrderedBuffer& received)
{
    Taken taken;
    std::string data;
    for (const char c : bytes) {
        const auto value = static_cast<std::uint8_t>(c);
        switch (m_state) {
        case State::Data:
            if (value == kIac)
                m_state = State::Command;
            else
                data += c;
            break;
        case State::Command:
            if (value == kIac) {
                data += c; // an escaped 255
                m_state = State::Data;
            } else if (value == kSb) {
                m_sub.clear();
                m_subLength = 0;
                m_subTooLong = false;
                m_state = State::Sub;
            } else if (value >= kWill && value <= kDont) {
                m_verb = value;
                m_state = State::Option;
            } else {
                m_state = State::Data; // no operation, go ahead and the like
            }
            break;
        case State::Option:
            negotiate(m_verb, value, taken.reply);
            m_state = State::Data;
            break;
        case State::Sub:
            if (value == kIac)
                m_state = State::SubCommand;
            else if (!keepInSubnegotiation(c))
                taken.overlongSubnegotiation = true;
            break;
        case State::SubCommand:
            if (value == kSe) {
                if (const std::optional<CtsNotice> notice = modemStateNotice()) {
                    received.append(data);
                    data.clear();
                    received.appendCts(notice->level, notice->changes);
                }
                m_state = State::Data;
            } else {
                // 255 doubled, or a stray byte kept as it came
                if (!keepInSubnegotiation(c))
                    taken.overlongSubnegotiation = true;
                m_state = State::Sub;
            }
            break;
        }
    }
    received.append(data);
    return taken;
}

bool Rfc2217Client::keepInSubnegotiation(char c)
{
    // Only a modem state notice is acted on: its bytes are kept, the rest of any other only counted.
    m_subTooLong = m_subTooLong || m_subLength >= kLongestSubnegotiation;
    if (m_subTooLong)
        return false;
    if (++m_subLength <= kModemStateNoticeLength)
        m_sub += c;
    return true;
}

void Rfc2217Client::negotiate(std::uint8_t verb, std::uint8_t option, std::string& reply)
{
    // A request for what is already agreed is not answered, so that acknowledgements never loop (RFC 1143).
    switch (verb) {
    case kDo:
        if (!m_weWill.test(option)) {
            const bool agree = wantsToPerform(option);
            m_weWill.set(option, agree);
            reply += command(agree ? kWill : kWont, option);
        }
        break;
    case kDont:
        if (m_weWill.test(option)) {
            m_weWill.reset(option);
            reply += command(kWont, option);
        }
        break;
    case kWill:
        if (!m_theyWill.test(option)) {
            const bool agree = letsServerPerform(option);
            m_theyWill.set(option, agree);
            reply += command(agree ? kDo : kDont, option);
        }
        break;
    case kWont:
        if (m_theyWill.test(option)) {
            m_theyWill.reset(option);
            reply += command(kDont, option);
        }
        break;
    default:
        break;
    }
}

std::optional<Rfc2217Client::CtsNotice> Rfc2217Client::modemStateNotice()
{
    if (m_subTooLong || m_subLength != kModemStateNoticeLength
        || static_cast<std::uint8_t>(m_sub[0]) != kComPort
        || static_cast<std::uint8_t>(m_sub[1]) != kNotifyModemState + kServerOffset)
        return std::nullopt; // the server's answers to the settings, and whatever else: nothing to act on
    const auto state = static_cast<std::uint8_t>(m_sub[2]);
    const bool level = (state & kModemCts) != 0;
    std::uint32_t changes = 0;
    if (m_cts && *m_cts != level)
        changes = 1;
    else if (m_cts && (state & kModemDeltaCts) != 0)
        changes = 2;
    m_cts = level;
    return CtsNotice { level, changes };
}

} // namespace marlume::platform
