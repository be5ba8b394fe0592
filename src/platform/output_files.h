#pragma once

#include "platform/file_output.h"

#include <string>

namespace marlume::platform {

// Text files opened for output by number, as the capture file uses them. Failing
// operations return false and leave the reason in lastError(), in the system's words.
class OutputFiles : public FileOutput {
public:
    // The lowest number not naming an open file.
    [[nodiscard]] virtual FileNumber freeFileNumber() const = 0;
    // Creates the file, or empties it when it exists.
    [[nodiscard]] virtual bool open(FileNumber file, const std::string& path) = 0;
    virtual void close(FileNumber file) = 0;
    // False when the open file is no longer reachable under its path (deleted, renamed).
    [[nodiscard]] virtual bool stillInPlace(FileNumber file) = 0;
    [[nodiscard]] virtual std::string lastError() const = 0;
};

} // namespace marlume::platform
