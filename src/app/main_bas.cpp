#include "app/main_bas.h"

#include "app/main_form.h"
#include "platform/qt_clock.h"
#include "platform/qt_serial_control.h"
#include "platform/qt_settings_store.h"

namespace marlume::app {

int Main()
{
    link::LinkState linkState; // linkAlive starts false: the search begins once the window is up
    platform::QtEventPump pump;
    platform::QtClock clock;
    platform::QtSerialControl comPort;
    platform::QtSettingsStore settings("Marlume Tilt Monitor");

    MainForm form({ linkState, comPort.control(), clock, pump, settings });
    form.show();
    link::runMainLoop(linkState, pump, form.portSearch());
    return 0;
}

} // namespace marlume::app
