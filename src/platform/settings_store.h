#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace marlume::platform {

// The user's own settings of one application, as texts addressed by section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The entry's text, or nullopt when it does not exist.
    [[nodiscard]] virtual std::optional<std::string> read(
        std::string_view section, std::string_view key) const = 0;
    // Creates the entry or replaces its text.
    virtual void write(std::string_view section, std::string_view key, std::string_view text) = 0;
    // Puts what was written on disk now.
    virtual void sync() = 0;
};

} // namespace marlume::platform
