#pragma once

#include "platform/settings_store.h"

#include <QSettings>

namespace marlume::qt {

// The user's settings of one application in Qt's per-user store (the XDG config
// folder on Linux), one group per section.
class QtSettingsStore final : public platform::SettingsStore {
public:
    explicit QtSettingsStore(std::string_view application);

    [[nodiscard]] std::optional<std::string> read(
        std::string_view section, std::string_view key) const override;
    void write(std::string_view section, std::string_view key, std::string_view text) override;
    void sync() override;

private:
    QSettings m_settings;
};

} // namespace marlume::qt
