#include "qt/qt_settings_store.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace marlume::qt {
namespace {

// Qt settles the settings folder at the first store made, so the user's own folder
// is replaced before any test runs.
class QtSettingsStoreTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_configHome = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", s_configHome->path().toUtf8());
    }
    static void TearDownTestSuite() { s_configHome.reset(); }

    static inline std::unique_ptr<QTemporaryDir> s_configHome;
};

TEST_F(QtSettingsStoreTest, KeepsEntriesPerUserAcrossStores)
{
    {
        QtSettingsStore store("Marlume Tilt Monitor");
        store.write("Velmora", "Top", "1440");
        store.write("Velmora", "Left", "-120");
        store.sync();
    }
    const QString file = s_configHome->filePath(QStringLiteral("Marlume Tilt Monitor.conf"));
    ASSERT_TRUE(QFile::exists(file));

    const QtSettingsStore again("Marlume Tilt Monitor");
    EXPECT_EQ(again.read("Velmora", "Top"), "1440");
    EXPECT_EQ(again.read("Velmora", "Left"), "-120");
    EXPECT_EQ(again.read("Velmora", "Width"), std::nullopt);
    EXPECT_EQ(again.read("Other", "Top"), std::nullopt);
    EXPECT_EQ(QtSettingsStore("Another Program").read("Velmora", "Top"), std::nullopt);
}

} // namespace
} // namespace marlume::qt
