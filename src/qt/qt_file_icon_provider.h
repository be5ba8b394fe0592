#pragma once

#include <QFileIconProvider>

namespace marlume::qt {

// Icons and type names for the save-as dialog from a file's name and kind alone: Qt's own
// provider reads a file to guess its type, and reading a file such as /proc/kmsg never returns.
class QtFileIconProvider final : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    [[nodiscard]] QIcon icon(const QFileInfo& info) const override;
    [[nodiscard]] QString type(const QFileInfo& info) const override;
};

} // namespace marlume::qt
