#include "qt/qt_settings_store.h"

#include <QString>

namespace marlume::qt {

namespace {

QString entryKey(std::string_view section, std::string_view key)
{
    return QString::fromUtf8(section) + QLatin1Char('/') + QString::fromUtf8(key);
}

} // namespace

// The application's name goes in as the organisation, with no application name, so that its
// settings are one file of their own, "<config folder>/<application>.conf".
QtSettingsStore::QtSettingsStore(std::string_view application)
    : m_settings(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(application))
{
}

std::optional<std::string> QtSettingsStore::read(std::string_view section, std::string_view key) const
{
    const QVariant value = m_settings.value(entryKey(section, key));
    if (!value.isValid())
        return std::nullopt;
    return value.toString().toStdString();
}

void QtSettingsStore::write(std::string_view section, std::string_view key, std::string_view text)
{
    m_settings.setValue(entryKey(section, key), QString::fromUtf8(text));
}

void QtSettingsStore::sync()
{
    m_settings.sync();
}

} // namespace marlume::qt
