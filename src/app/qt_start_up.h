#pragma once

namespace marlume::app {

// The start-up routine: shows the main window, then processes events and searches for
// the sensor whenever the link is not alive, until the window closes.
int Main();

} // namespace marlume::app
