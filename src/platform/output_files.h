#pragma once

#include "platform/file_writer.h"

#include <functional>
#include <string>
#include <utility>

namespace marlume::platform {

// What became of everything written to a file since its last sync, told once per sync.
struct WriteOutcome {
    bool saved = true; // written whole and on disk
    std::string reason; // why not, in the system's words
    std::string path; // where the file stands now: it may have been renamed since it was opened
};

// Text files opened for output by number, as the output file sessions use them. Writing and syncing
// report through the outcome handler; open gives the reason of a failure in lastError(), in
// the system's words.
class OutputFiles : public FileWriter {
public:
    using OutcomeHandler = std::function<void(FileNumber file, const WriteOutcome& outcome)>;

    // The lowest number not naming an open file.
    [[nodiscard]] virtual FileNumber freeFileNumber() const = 0;
    // Creates the file, or empties it when it exists.
    [[nodiscard]] virtual bool open(FileNumber file, const std::string& path) = 0;
    virtual void close(FileNumber file) = 0;
    // Closes the file and deletes it again when this opening created it.
    virtual void discard(FileNumber file) = 0;
    [[nodiscard]] virtual std::string lastError() const = 0;

    // Receives the outcome of every sync, on the user-interface thread.
    void setOutcomeHandler(OutcomeHandler handler) { m_outcomeHandler = std::move(handler); }

protected:
    void reportOutcome(FileNumber file, const WriteOutcome& outcome) const
    {
        if (m_outcomeHandler)
            m_outcomeHandler(file, outcome);
    }

private:
    OutcomeHandler m_outcomeHandler;
};

} // namespace marlume::platform
