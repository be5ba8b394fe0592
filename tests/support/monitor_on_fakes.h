#pragma once

#include "events/event_table.h"
#include "link/link_state.h"
#include "monitor/monitor.h"
#include "support/fake_clock.h"
#include "support/fake_event_pump.h"
#include "support/fake_event_views.h"
#include "support/fake_output_files.h"
#include "support/fake_raw_log_view.h"
#include "support/fake_serial_control.h"
#include "support/fake_ticker.h"

#include <string>
#include <string_view>
#include <vector>

namespace marlume::testing {

// A face as the window is one: it keeps the link's status and the readings it is told, and builds the event
// table from the events.
class FakeFace final : public monitor::MonitorListener {
public:
    void linkStatusChanged(const link::LinkStatus& status) override { statuses.push_back(status); }
    void dataIndicatorChanged(bool receiving) override { indicator.push_back(receiving); }
    void readingAccepted(const record::AcceptedReading& reading) override { readings.push_back(reading); }
    void eventStarted(std::int32_t number, const common::LocalDateTime& start) override
    {
        table.eventStarted({ number, start });
    }
    void eventEnded(const monitor::EndedEvent& event) override { table.eventEnded(event); }

    std::vector<link::LinkStatus> statuses;
    std::vector<bool> indicator;
    std::vector<record::AcceptedReading> readings;
    FakeEventTableView tableView;
    events::EventTable table { tableView };
};

// The monitor on fakes, its sensor on an open port 1. The operator names the capture file and the raw
// log as capturePath and rawPath say; an empty path cancels the dialog.
class MonitorOnFakes {
public:
    MonitorOnFakes()
    {
        comPort.presentPorts = { 1 };
        static_cast<void>(comPort.setPortOpen(true));
        monitor.addListener(face);
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
    FakeCaptureView captureView;
    FakeRawLogView rawView;
    FakeStatisticsView statisticsView;
    FakeFace face;
    std::string capturePath = "/data/run.csv";
    std::string rawPath = "/data/raw.txt";
    std::string statisticsPath = "/data/stats.csv";
    monitor::Monitor monitor { { linkState, comPort, clock, pump, ticker, captureFiles, rawFiles, flushTicker,
                                   statisticsFiles },
        { captureView, rawView, statisticsView, named(capturePath), named(rawPath), named(statisticsPath) } };

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
