#pragma once

#include "platform/output_files.h"
#include "support/fake_file_output.h"

#include <map>
#include <string>

namespace marlume::testing {

// Output files kept in memory: what is written to an open file lands in output.contents.
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
        paths[file] = path;
        output.contents[file].clear();
        return true;
    }
    void close(platform::FileNumber file) override { paths.erase(file); }
    [[nodiscard]] bool write(platform::FileNumber file, std::string_view text) override
    {
        return paths.contains(file) && output.write(file, text);
    }
    [[nodiscard]] bool sync(platform::FileNumber file) override { return output.sync(file); }
    [[nodiscard]] bool stillInPlace(platform::FileNumber file) override { return paths.contains(file); }
    [[nodiscard]] std::string lastError() const override { return {}; }

    FakeFileOutput output;
    std::map<platform::FileNumber, std::string> paths; // the files open now
};

} // namespace marlume::testing
