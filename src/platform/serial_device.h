#pragma once

#include "common/local_date_time.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace marlume::platform {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

struct LineSettings {
    int baudRate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

// Reads "19200,N,8,1" (parity N, E, O, M or S in either case; 4 to 8 data bits; stop bits 1, 1.5 or 2).
[[nodiscard]] std::optional<LineSettings> parseLineSettings(std::string_view text);

// Where a recording a device plays back stands: the recorded time of what it handed over last (the
// line read last, or the CTS change made last), and the heading the live record showed before that
// line, where the recording keeps it.
struct RecordedMoment {
    common::LocalDateTime time;
    std::optional<float> shownBefore;

    friend bool operator==(const RecordedMoment&, const RecordedMoment&) = default;
};

// How far a device that plays a recording back has got through it.
struct PlaybackProgress {
    std::string path;
    double fraction = 0; // of the file taken in, 0 to 1
};

// One device behind a port number: a real serial device, the simulated sensor or the silent one.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    // False when the device is missing or busy.
    [[nodiscard]] virtual bool open(const LineSettings& settings) = 0;
    virtual void close() = 0;
    // Characters waiting; nullopt once the device has gone.
    [[nodiscard]] virtual std::optional<std::size_t> available() = 0;
    // Takes up to maxCount waiting characters; nullopt once the device has gone.
    [[nodiscard]] virtual std::optional<std::string> read(std::size_t maxCount) = 0;
    // Level of the CTS line; nullopt for a device without modem lines.
    [[nodiscard]] virtual std::optional<bool> cts() = 0;
    // Changes of the CTS line counted by the driver from an origin of its own, so that no change between
    // two looks is missed; nullopt where nothing counts them and the level has to be watched instead.
    [[nodiscard]] virtual std::optional<std::uint32_t> ctsChangeCount() { return std::nullopt; }
    // Calls wake on the user-interface thread, while open, whenever characters may be waiting, the
    // device may have gone or CTS may have changed; false for a device that must be looked at instead.
    [[nodiscard]] virtual bool notifyActivity(std::function<void()> /*wake*/) { return false; }
    // Why the device went, in the system's words ("Connection refused"), for a device that can go before
    // anything is read from it; empty while it has not gone, or where the going says all.
    [[nodiscard]] virtual std::string failure() const { return {}; }
    // For a device that plays a recording back; nullopt for a live one.
    [[nodiscard]] virtual std::optional<RecordedMoment> recorded() const { return std::nullopt; }
    [[nodiscard]] virtual std::optional<PlaybackProgress> playback() const { return std::nullopt; }
};

} // namespace marlume::platform
