#pragma once

#include <array>
#include <string>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace marlume::testing {

// A sensor at the far end of a raw pseudo-terminal.
struct PtySensor {
    PtySensor()
    {
        termios raw {};
        cfmakeraw(&raw);
        cfsetspeed(&raw, B19200);
        std::array<char, 128> name {};
        if (openpty(&master, &slave, name.data(), &raw, nullptr) == 0)
            path = name.data();
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
        // Kept from the logger, or its own copy of the far end would keep the line up.
        fcntl(master, F_SETFD, FD_CLOEXEC);
        fcntl(slave, F_SETFD, FD_CLOEXEC);
    }
    ~PtySensor()
    {
        ::close(master);
        ::close(slave);
    }
    PtySensor(const PtySensor&) = delete;
    PtySensor& operator=(const PtySensor&) = delete;

    void send(const std::string& sentence) const
    {
        static_cast<void>(::write(master, sentence.data(), sentence.size()));
    }

    int master = -1;
    int slave = -1;
    std::string path;
};

} // namespace marlume::testing
