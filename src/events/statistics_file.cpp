#include "events/statistics_file.h"

#include "common/number_text.h"

namespace marlume::events {

files::LabelText statisticsLabel(const files::OutputFileStatus& status, char pathSeparator)
{
    using State = files::OutputFileStatus::State;
    switch (status.state) {
    case State::Closed:
        return status.path.empty() ? files::LabelText {} : files::LabelText { "Statistics closed", {}, {} };
    case State::Open:
        return files::fileLabel("Statistics to ", status,
            status.unsaved > 0 ? ", " + common::countText(status.unsaved, "line not saved", "lines not saved")
                               : std::string(),
            pathSeparator);
    case State::CannotCreate:
    case State::CannotWrite:
        break;
    }
    return files::troubleLabel(status, pathSeparator);
}

StatisticsFile::StatisticsFile(
    platform::OutputFiles& files, StatisticsView& view, files::AskForPath askForPath)
    : m_session(files, std::move(askForPath),
        [&view](const files::OutputFileStatus& status) { view.showStatisticsFile(status); })
{
}

void StatisticsFile::StatisticsMenu_Click()
{
    if (m_session.isOpen()) {
        m_session.close();
        return;
    }
    static_cast<void>(m_session.open([](platform::FileWriter& output, platform::FileNumber file) {
        static_cast<void>(output.write(file, kEventStatisticsHeader));
        static_cast<void>(output.sync(file));
    }));
}

void StatisticsFile::eventEnded(const EventStatistics& statistics)
{
    m_session.write(1, [&statistics](platform::FileWriter& output, platform::FileNumber file) {
        static_cast<void>(output.write(file, eventStatisticsLine(statistics)));
        static_cast<void>(output.sync(file));
    });
}

} // namespace marlume::events
