#pragma once

#include "platform/serial_device.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace marlume::platform {

// CommEvent code of a change of the CTS line.
inline constexpr std::int16_t kCommEventCts = 3;

// Ports are numbered 1 to this.
inline constexpr std::int16_t kPortCount = 16;

// InputMode codes.
inline constexpr std::int32_t kInputModeText = 0;
inline constexpr std::int32_t kInputModeBinary = 1;

// What the operator should know about a port's device, beside the status line.
struct PortNotice {
    enum class Kind {
        News, // tells no fault: a replay has come to its end
        Fault, // a replay that cannot be played or has stopped
        Unavailable, // why the search could not open the port, told at every try
    };
    std::int16_t port = 0;
    Kind kind = Kind::News;
    std::string message;

    friend bool operator==(const PortNotice&, const PortNotice&) = default;
};

// The serial communications control: one port at a time, selected by number (1 to 16), polled for
// received characters; only CTS changes are notified. Nothing is ever sent. An operation that fails
// returns false or nullopt instead of raising an error.
class SerialControl {
public:
    virtual ~SerialControl() = default;

    [[nodiscard]] virtual std::int16_t CommPort() const = 0;
    // Selects the port the next opening uses; fails while the port is open or for a number outside 1 to 16.
    [[nodiscard]] virtual bool setCommPort(std::int16_t port) = 0;
    // Line settings as "baud,parity,data bits,stop bits", e.g. "19200,N,8,1".
    [[nodiscard]] virtual bool setSettings(std::string_view settings) = 0;

    [[nodiscard]] virtual bool PortOpen() const = 0;
    // Opening fails when the port does not exist, is in use or is already open.
    [[nodiscard]] virtual bool setPortOpen(bool open) = 0;
    // Successful openings so far, by whoever opened: a reader tells by it that what it had collected
    // came from an earlier opening.
    [[nodiscard]] virtual std::uint32_t openCount() const = 0;

    [[nodiscard]] virtual bool setInputMode(std::int32_t mode) = 0;
    // Characters returned by one read of Input; 0 means all that are waiting.
    [[nodiscard]] virtual bool setInputLen(std::int16_t length) = 0;

    // Characters waiting; nullopt when the port is closed or its device has gone.
    [[nodiscard]] virtual std::optional<std::int16_t> InBufferCount() = 0;
    // Removes and returns the next waiting characters; fails like InBufferCount.
    [[nodiscard]] virtual std::optional<std::string> Input() = 0;

    // Code of the event being reported by the current OnComm call.
    [[nodiscard]] std::int16_t CommEvent() const { return m_commEvent; }
    [[nodiscard]] virtual bool CTSHolding() const = 0;

    // Looks at the modem lines and raises OnComm when CTS has changed. The owner calls it on every
    // receive tick, so the control needs no timer of its own.
    virtual void poll() { }

    // Whether the control calls its activity handler whenever characters may be waiting or a modem line
    // may have changed, so that its owner need not look every tick; false: it must be looked at.
    [[nodiscard]] virtual bool wakesOnActivity() const { return false; }
    void setOnActivity(std::function<void()> handler) { m_onActivity = std::move(handler); }

    // Where the recording the open port plays back stands, so that readings and events carry their
    // recorded time; nullopt for a live port.
    [[nodiscard]] virtual std::optional<RecordedMoment> recorded() const { return std::nullopt; }
    // How far the recording the open port plays back has got; nullopt for a live port.
    [[nodiscard]] virtual std::optional<PlaybackProgress> playback() const { return std::nullopt; }
    // What the open port leads to, in the words of the port map ("/dev/ttyUSB0", "sim"); empty when closed.
    [[nodiscard]] virtual std::string deviceName() const { return {}; }

    // OnComm: called on the user-interface thread whenever the control has an event to report.
    void setOnComm(std::function<void()> handler) { m_onComm = std::move(handler); }
    // Called on the user-interface thread with each notice about a port's device.
    void setOnNotice(std::function<void(const PortNotice&)> handler) { m_onNotice = std::move(handler); }

protected:
    void raiseActivity() const
    {
        if (m_onActivity)
            m_onActivity();
    }
    void raiseOnComm(std::int16_t event)
    {
        m_commEvent = event;
        if (m_onComm)
            m_onComm();
    }
    void raiseNotice(const PortNotice& notice) const
    {
        if (m_onNotice)
            m_onNotice(notice);
    }

private:
    std::function<void()> m_onComm;
    std::function<void(const PortNotice&)> m_onNotice;
    std::function<void()> m_onActivity;
    std::int16_t m_commEvent = 0;
};

} // namespace marlume::platform
