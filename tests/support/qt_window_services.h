#pragma once

#include "link/link_state.h"
#include "monitor/monitor.h"
#include "platform/local_output_files.h"
#include "qt/qt_event_pump.h"
#include "qt/qt_ticker.h"

namespace marlume::testing {

// What a window under test runs its monitor on beside the test's own serial control, clock and pump:
// Qt's timers, and real file outputs whose outcomes come back through the event loop.
struct QtWindowServices {
    [[nodiscard]] monitor::MonitorServices with(
        platform::SerialControl& comPort, const platform::Clock& clock, platform::EventPump& pump)
    {
        return { linkState, comPort, clock, pump, ticker, captureFiles, rawLogFiles, rawLogFlush,
            statisticsFiles };
    }

    link::LinkState linkState;
    qt::QtTicker ticker;
    qt::QtTicker rawLogFlush;
    platform::LocalOutputFiles captureFiles { qt::postToEventLoop };
    platform::LocalOutputFiles rawLogFiles { qt::postToEventLoop };
    platform::LocalOutputFiles statisticsFiles { qt::postToEventLoop };
};

} // namespace marlume::testing
