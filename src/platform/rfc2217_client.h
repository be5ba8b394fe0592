#pragma once

#include "platform/cts_ordered_buffer.h"
#include "platform/serial_device.h"

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::platform {

// The client side of a telnet connection with the com-port option (RFC 2217), as bytes in and out: it
// asks the server to set the line as the program wants it and to notify CTS changes, takes the serial
// data and the CTS notices out of the telnet stream and answers the server's option requests. Sockets
// are someone else's.
class Rfc2217Client final {
public:
    // The longest subnegotiation taken in: the com-port option's own have a few bytes, so a longer one is
    // the server's fault (or no telnet at all) and is dropped, so that it cannot take up memory without end.
    static constexpr std::size_t kLongestSubnegotiation = 256;

    // What the client sends as the connection opens: the options it offers and wants, the line settings,
    // no flow control (CTS is an input here) and the modem lines to be notified: CTS only.
    [[nodiscard]] std::string greeting(const LineSettings& settings);

    struct Taken {
        std::string reply; // answers to send back to the server
        bool overlongSubnegotiation = false; // one ran past kLongestSubnegotiation
    };
    // Takes the next bytes from the server, in any pieces: the serial line's bytes, telnet escapes undone,
    // and the CTS notices go to received in the order they came. A notice whose delta bit is set while the
    // level is the same as before tells of a pulse between two looks of the server, two changes.
    [[nodiscard]] Taken take(std::string_view bytes, CtsOrderedBuffer& received);

private:
    enum class State { Data, Command, Option, Sub, SubCommand };
    struct CtsNotice {
        bool level;
        std::uint32_t changes;
    };

    void negotiate(std::uint8_t verb, std::uint8_t option, std::string& reply);
    // Keeps a byte of the subnegotiation; false once it has run too long.
    bool keepInSubnegotiation(char c);
    [[nodiscard]] std::optional<CtsNotice> modemStateNotice();

    State m_state = State::Data;
    std::uint8_t m_verb = 0;
    static constexpr std::size_t kModemStateNoticeLength = 3; // the option, the command, the state

    std::string m_sub; // the subnegotiation's first bytes, as many as a modem state notice has
    std::size_t m_subLength = 0;
    bool m_subTooLong = false;
    std::bitset<256> m_weWill; // options this side has agreed to perform
    std::bitset<256> m_theyWill; // options this side has asked or let the server perform
    std::optional<bool> m_cts; // as the server last notified it
};

// Telnet's byte values and the com-port option's codes, for the client and for whoever serves it in tests.
namespace telnet {
inline constexpr std::uint8_t kSe = 240;
inline constexpr std::uint8_t kSb = 250;
inline constexpr std::uint8_t kWill = 251;
inline constexpr std::uint8_t kWont = 252;
inline constexpr std::uint8_t kDo = 253;
inline constexpr std::uint8_t kDont = 254;
inline constexpr std::uint8_t kIac = 255;
inline constexpr std::uint8_t kBinary = 0;
inline constexpr std::uint8_t kSuppressGoAhead = 3;
inline constexpr std::uint8_t kComPort = 44;
// Com-port commands from the client; the server answers each with its code plus kServerOffset.
inline constexpr std::uint8_t kSetBaudRate = 1;
inline constexpr std::uint8_t kSetDataSize = 2;
inline constexpr std::uint8_t kSetParity = 3;
inline constexpr std::uint8_t kSetStopSize = 4;
inline constexpr std::uint8_t kSetControl = 5;
inline constexpr std::uint8_t kNotifyModemState = 7;
inline constexpr std::uint8_t kSetLineStateMask = 10;
inline constexpr std::uint8_t kSetModemStateMask = 11;
inline constexpr std::uint8_t kServerOffset = 100;
inline constexpr std::uint8_t kControlNoFlowControl = 1;
inline constexpr std::uint8_t kModemCts = 0x10;
inline constexpr std::uint8_t kModemDeltaCts = 0x01;

// A com-port subnegotiation with its value, every 255 in it doubled.
[[nodiscard]] std::string comPortCommand(std::uint8_t command, std::string_view value);
} // namespace telnet

} // namespace marlume::platform
