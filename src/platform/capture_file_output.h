#pragma once

#include "platform/output_files.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace marlume::platform {

// Capture files on the local file system. A record is written whole or not at all:
// a write that fails cuts the file back to its last complete record, so a full disk
// never leaves half a line behind. Files still open are closed on destruction.
class CaptureFileOutput final : public OutputFiles {
public:
    CaptureFileOutput() = default;
    ~CaptureFileOutput() override;
    CaptureFileOutput(const CaptureFileOutput&) = delete;
    CaptureFileOutput& operator=(const CaptureFileOutput&) = delete;

    [[nodiscard]] FileNumber freeFileNumber() const override;
    [[nodiscard]] bool open(FileNumber file, const std::string& path) override;
    void close(FileNumber file) override;
    void discard(FileNumber file) override;
    bool write(FileNumber file, std::string_view text) override;
    bool sync(FileNumber file) override;
    [[nodiscard]] std::string lastError() const override { return m_lastError; }

private:
    struct OpenFile {
        int descriptor = -1;
        std::string path;
        bool created = false; // this opening made the file
        std::int64_t completeSize = 0; // end of the last record written whole
        std::string failure; // why a write since the last sync failed, if one did
    };

    OpenFile* find(FileNumber file);
    // Where the open file stands now, or why it is no longer anywhere.
    [[nodiscard]] static WriteOutcome whereabouts(const OpenFile& open);
    bool fail(int error);

    std::map<FileNumber, OpenFile> m_files;
    std::string m_lastError;
};

} // namespace marlume::platform
