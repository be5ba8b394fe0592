#pragma once

#include "app/qt_main_form.h"
#include "qt/qt_event_pump.h"
#include "support/fake_clock.h"
#include "support/fake_serial_control.h"
#include "support/fake_settings_store.h"
#include "support/qt_window_services.h"

#include <string_view>

namespace marlume::testing {

// The main window on fakes, its sensor on an open port 1: for the windows it opens beside it.
class MainFormOnFakes {
public:
    MainFormOnFakes()
    {
        comPort.presentPorts = { 1 };
        static_cast<void>(comPort.setPortOpen(true));
    }

    // The sensor sends these lines and the monitor takes them a tenth of a second later.
    void receive(std::string_view lines)
    {
        comPort.arrive(lines);
        clock.advanceMilliseconds(100);
        form.monitor().wake();
    }

    FakeSerialControl comPort;
    FakeClock clock;
    qt::QtEventPump pump;
    FakeSettingsStore settings;
    QtWindowServices window;
    app::MainForm form { window.with(comPort, clock, pump), settings };
};

} // namespace marlume::testing
