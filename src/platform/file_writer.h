#pragma once

#include <cstdint>
#include <string_view>

namespace marlume::platform {

// Number of an open output file; 0 names no file.
using FileNumber = std::int16_t;

// Sequential text output to files named by number. Both operations report failure
// (a full disk, a file gone) instead of throwing, so callers can tell the operator.
class FileWriter {
public:
    virtual ~FileWriter() = default;
    // Appends text to the file as one write.
    [[nodiscard]] virtual bool write(FileNumber file, std::string_view text) = 0;
    // Makes what was written durable.
    [[nodiscard]] virtual bool sync(FileNumber file) = 0;
};

} // namespace marlume::platform
