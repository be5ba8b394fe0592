#pragma once

#include "common/network_address.h"
#include "platform/cts_ordered_buffer.h"
#include "platform/rfc2217_client.h"
#include "platform/serial_device.h"

#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <optional>
#include <string>

namespace marlume::qt {

// A serial port on the network: a telnet com-port server (RFC 2217), which sets the line and tells CTS,
// or a server that hands over the line's raw bytes, without CTS. Opening returns at once and connects
// once the event loop runs, so that an unreachable server never holds up the program and an opening
// closed straight away (as a search does before its first port) connects nowhere: a server that lets one
// client in at a time would see a stray connection end the real one. A refused or dropped connection, or
// a server that breaks the telnet protocol, is a device that has gone. What is received waits in a
// bounded buffer, and the socket reads no more while it is full, whatever the server sends.
class QtNetworkDevice final : public platform::SerialDevice {
public:
    enum class Protocol { Rfc2217, Raw };
    // Bytes held before the socket stops reading, and answers to the server left unsent before no more
    // are queued.
    static constexpr qint64 kHeldBytes = 64 * 1024;

    QtNetworkDevice(common::NetworkAddress address, Protocol protocol);

    bool open(const platform::LineSettings& settings) override;
    void close() override;
    std::optional<std::size_t> available() override;
    std::optional<std::string> read(std::size_t maxCount) override;
    std::optional<bool> cts() override;
    std::optional<std::uint32_t> ctsChangeCount() override;
    bool notifyActivity(std::function<void()> wake) override;
    std::string failure() const override { return m_failure; }

private:
    // Moves what the socket has received into the buffer, answering the server where it asks.
    void takeIn();
    // Open and not gone, with what the socket has received taken in.
    [[nodiscard]] bool present();
    void send(const std::string& bytes);
    void fail(std::string reason);
    void wakeOwner() const;
    // A CTS change held back until the bytes before it had been taken now shows: the owner is woken once
    // it has done with what it was taking.
    void wakeOwnerIfChangeShows();

    common::NetworkAddress m_address;
    Protocol m_protocol;
    QTcpSocket m_socket;
    QTimer m_connectSoon;
    QTimer m_wakeSoon;
    platform::Rfc2217Client m_client;
    std::string m_greeting; // sent once connected
    platform::CtsOrderedBuffer m_received;
    std::function<void()> m_wake;
    bool m_open = false;
    bool m_gone = false;
    std::string m_failure; // why the connection failed or ended
};

} // namespace marlume::qt
