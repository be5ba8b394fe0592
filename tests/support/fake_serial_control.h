#pragma once

#include "platform/serial_control.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace marlume::testing {

// A serial control with scripted ports: which numbers open, what characters wait on each, which
// operations fail, and CTS changes. Every opening attempt is logged with its port number.
class FakeSerialControl final : public platform::SerialControl {
public:
    [[nodiscard]] std::int16_t CommPort() const override { return m_commPort; }
    [[nodiscard]] bool setCommPort(std::int16_t port) override
    {
        if (m_open || port < 1 || port > platform::kPortCount)
            return false;
        m_commPort = port;
        return true;
    }
    [[nodiscard]] bool setSettings(std::string_view text) override
    {
        settings = text;
        return !failSettings;
    }
    [[nodiscard]] bool PortOpen() const override { return m_open; }
    [[nodiscard]] bool setPortOpen(bool open) override
    {
        if (!open) {
            m_open = false;
            waiting.erase(m_commPort); // what a closed port received is gone
            return true;
        }
        openings.push_back(m_commPort);
        if (m_open || !presentPorts.contains(m_commPort))
            return false;
        m_open = true;
        ++m_openCount;
        return true;
    }
    [[nodiscard]] std::uint32_t openCount() const override { return m_openCount; }
    [[nodiscard]] bool setInputMode(std::int32_t mode) override
    {
        inputMode = mode;
        return true;
    }
    [[nodiscard]] bool setInputLen(std::int16_t length) override
    {
        inputLen = length;
        return true;
    }
    [[nodiscard]] std::optional<std::int16_t> InBufferCount() override
    {
        if (!m_open || failReads)
            return std::nullopt;
        return static_cast<std::int16_t>(waiting[m_commPort].size());
    }
    [[nodiscard]] std::optional<std::string> Input() override
    {
        if (!m_open || failReads || failInput)
            return std::nullopt;
        std::string& buffer = waiting[m_commPort];
        const auto count = inputLen == 0 ? buffer.size() : std::min<std::size_t>(inputLen, buffer.size());
        std::string taken = buffer.substr(0, count);
        buffer.erase(0, count);
        return taken;
    }
    [[nodiscard]] bool CTSHolding() const override { return m_cts; }

    // The device on the open port sends characters; nothing arrives on a closed port.
    void arrive(std::string_view characters)
    {
        if (m_open)
            waiting[m_commPort] += characters;
        if (tellsOfActivity)
            raiseActivity();
    }
    // As a real device does when it has gone.
    void fail()
    {
        failReads = true;
        if (tellsOfActivity)
            raiseActivity();
    }
    [[nodiscard]] bool wakesOnActivity() const override { return tellsOfActivity; }
    void changeCts(bool level)
    {
        m_cts = level;
        raiseOnComm(platform::kCommEventCts);
    }
    void report(std::int16_t event) { raiseOnComm(event); }
    void tell(const platform::PortNotice& notice) const { raiseNotice(notice); }
    [[nodiscard]] std::optional<platform::RecordedMoment> recorded() const override { return recording; }
    [[nodiscard]] std::optional<platform::PlaybackProgress> playback() const override { return playing; }

    std::set<std::int16_t> presentPorts;
    std::map<std::int16_t, std::string> waiting;
    std::vector<std::int16_t> openings;
    std::string settings;
    std::int32_t inputMode = -1;
    std::int16_t inputLen = 0;
    bool failSettings = false;
    bool failReads = false; // InBufferCount and Input fail, as with a device gone
    bool failInput = false; // only Input fails
    bool tellsOfActivity = false; // arriving characters and failures wake the owner, as a real device's do
    std::optional<platform::RecordedMoment> recording; // a replay's, as it stands
    std::optional<platform::PlaybackProgress> playing;

private:
    std::int16_t m_commPort = 1;
    bool m_open = false;
    std::uint32_t m_openCount = 0;
    bool m_cts = false;
};

} // namespace marlume::testing
