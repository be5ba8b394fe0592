#pragma once

#include "platform/output_files.h"
#include "support/fake_file_writer.h"

#include <map>
#include <string>
#include <vector>

namespace marlume::testing {

// Output files kept in memory: what is written to an open file lands in output.contents.
// Every sync tells its outcome at once; `movedTo` and `failure` make it tell a renamed
// file or a failed write.
class FakeOutputFiles final : public platform::OutputFiles {
public:
    [[nodiscard]] platform::FileNumber freeFileNumber() const override
    {
        platform::FileNumber number = 1;
        while (paths.contains(number))
            ++number;
        return number;
    }
    [[nodiscard]] bool open(platform::FileNumber file, const std::string& path) override
    {
        if (!openError.empty())
            return false;
        paths[file] = path;
        output.contents[file].clear();
        return true;
    }
    void close(platform::FileNumber file) override { paths.erase(file); }
    void discard(platform::FileNumber file) override
    {
        discarded.push_back(paths[file]);
        close(file);
    }
    bool write(platform::FileNumber file, std::string_view text) override
    {
        return paths.contains(file) && output.write(file, text);
    }
    bool sync(platform::FileNumber file) override
    {
        output.sync(file);
        if (!movedTo.empty())
            paths[file] = movedTo;
        const platform::WriteOutcome outcome { failure.empty(), failure, paths[file] };
        reportOutcome(file, outcome);
        return outcome.saved;
    }
    [[nodiscard]] std::string lastError() const override { return openError; }

    FakeFileWriter output;
    std::map<platform::FileNumber, std::string> paths; // the files open now
    std::vector<std::string> discarded;
    std::string openError; // opening fails for this reason
    std::string failure; // every sync reports this failure
    std::string movedTo; // the open file has been renamed to this
};

} // namespace marlume::testing
