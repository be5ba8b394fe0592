#pragma once

#include "platform/settings_store.h"

#include <map>
#include <string>
#include <utility>

namespace marlume::testing {

// Settings entries in memory, keyed by section and key.
class FakeSettingsStore final : public platform::SettingsStore {
public:
    [[nodiscard]] std::optional<std::string> read(
        std::string_view section, std::string_view key) const override
    {
        const auto found = entries.find({ std::string(section), std::string(key) });
        return found == entries.end() ? std::nullopt : std::optional(found->second);
    }
    void write(std::string_view section, std::string_view key, std::string_view text) override
    {
        entries[{ std::string(section), std::string(key) }] = std::string(text);
        ++unsyncedWrites;
    }
    void sync() override { unsyncedWrites = 0; }

    std::map<std::pair<std::string, std::string>, std::string> entries;
    int unsyncedWrites = 0;
};

} // namespace marlume::testing
