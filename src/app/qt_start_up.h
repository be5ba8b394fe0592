#pragma once

#include "mqtt/station_options.h"

namespace marlume::app {

// The start-up routine: shows the main window, reporting to an MQTT broker when the options name one,
// then processes events and searches for the sensor whenever the link is not alive, until the window
// closes. 2 when the station's credentials or CA file cannot be used.
int Main(const mqtt::StationOptions& station);

} // namespace marlume::app
