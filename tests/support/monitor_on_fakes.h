#pragma once

#include "link/link_state.h"
#include "monitor/monitor.h"
#include "support/fake_clock.h"
#include "support/fake_event_pump.h"
#include "support/fake_event_views.h"
#include "support/fake_link_view.h"
#include "support/fake_output_files.h"
#include "support/fake_raw_log_view.h"
#include "support/fake_serial_control.h"
#include "support/fake_ticker.h"

#include <string>
#include <string_view>

namespace marlume::testing {

// The monitor on fakes, its sensor on an open port 1. The operator names the capture file and the raw
// log as capturePath and rawPath say; an empty path cancels the dialog.
class MonitorOnFakes {
public:
    MonitorOnFakes()
    {
        comPort.presentPorts = { 1 };
        static_cast<void>(comPort.setPortOpen(true));
    }

    // The sensor sends these lines and one tick takes them.
    void receive(std::string_view lines)
    {
        comPort.arrive(lines);
        ticker.tick();
    }

    link::LinkState linkState;
    FakeSerialControl comPort;
    FakeClock clock;
    FakeEventPump pump;
    FakeTicker ticker { clock };
    FakeTicker flushTicker { clock };
    FakeOutputFiles captureFiles;
    FakeOutputFiles rawFiles;
    FakeOutputFiles statisticsFiles;
    FakeLinkView linkView;
    FakeEventTableView tableView;
    FakeCaptureView captureView;
    FakeRawLogView rawView;
    FakeStatisticsView statisticsView;
    std::string capturePath = "/data/run.csv";
    std::string rawPath = "/data/raw.txt";
    std::string statisticsPath = "/data/stats.csv";
    monitor::Monitor monitor { { linkState, comPort, clock, pump, ticker, captureFiles, rawFiles, flushTicker,
                                   statisticsFiles },
        { linkView, tableView, captureView, rawView, statisticsView, named(capturePath), named(rawPath),
            named(statisticsPath) } };

private:
    [[nodiscard]] static files::AskForPath named(const std::string& path)
    {
        return [&path](std::string& fileName, std::int16_t&) {
            fileName = path;
            return !path.empty();
        };
    }
};

} // namespace marlume::testing
