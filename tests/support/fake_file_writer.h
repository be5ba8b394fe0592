#pragma once

#include "platform/file_writer.h"

#include <map>
#include <string>

namespace marlume::testing {

// Collects what is written per file number; can be told to fail.
class FakeFileWriter final : public platform::FileWriter {
public:
    bool write(platform::FileNumber file, std::string_view text) override
    {
        ++writes;
        if (failWrites)
            return false;
        contents[file] += text;
        return true;
    }
    bool sync(platform::FileNumber file) override
    {
        ++syncs;
        synced[file] = contents[file];
        return !failSyncs;
    }

    std::map<platform::FileNumber, std::string> contents;
    std::map<platform::FileNumber, std::string> synced;
    int writes = 0;
    int syncs = 0;
    bool failWrites = false;
    bool failSyncs = false;
};

} // namespace marlume::testing
