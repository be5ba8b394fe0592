#pragma once

#include "events/event_statistics.h"
#include "files/label_text.h"
#include "files/output_file_session.h"

namespace marlume::events {

// What shows the event statistics file's state.
class StatisticsView {
public:
    virtual ~StatisticsView() = default;
    virtual void showStatisticsFile(const files::OutputFileStatus& status) = 0;
};

// "Statistics to "stats.csv"" (with the lines not saved, if any), "Statistics closed" once closed, or the
// failure and its reason; empty before any was opened.
[[nodiscard]] files::LabelText statisticsLabel(
    const files::OutputFileStatus& status, char pathSeparator = '/');

// The event statistics file: opened and closed by a menu item or an option, like the capture file; while
// it is open every event end appends its statistics line, synced as a capture record is.
class StatisticsFile final {
public:
    // files must be this file's own: its session takes their outcome handler.
    StatisticsFile(platform::OutputFiles& files, StatisticsView& view, files::AskForPath askForPath);

    // Asks for a file and opens it, or closes the one open.
    void StatisticsMenu_Click();
    [[nodiscard]] bool isOpen() const { return m_session.isOpen(); }
    void eventEnded(const EventStatistics& statistics);

private:
    files::OutputFileSession m_session;
};

} // namespace marlume::events
