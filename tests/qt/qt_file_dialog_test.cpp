#include "common/path_helpers.h"
#include "dialogs/qt_save_file_dialog.h"
#include "dialogs/qt_yes_no_cancel_form.h"
#include "qt/qt_file_dialog.h"
#include "qt/qt_file_icon_provider.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMimeDatabase>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace marlume::qt {
namespace {

const QList<QtFileType> kTypes { { QStringLiteral("Text File (*.txt)"), QStringLiteral("*.txt") },
    { QStringLiteral("CSV File (*.csv)"), QStringLiteral("*.csv") },
    { QStringLiteral("All Files (*.*)"), QStringLiteral("*.*") } };

// Runs act on the dialog once it is the modal one; a dialog that follows another may
// need a few more turns of the event loop.
template <typename Dialog> void whenShown(std::function<void(Dialog&)> act, int turnsLeft = 100)
{
    QTimer::singleShot(0, [act = std::move(act), turnsLeft]() mutable {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog) {
            act(*dialog);
        } else if (turnsLeft > 0) {
            whenShown<Dialog>(std::move(act), turnsLeft - 1);
        } else {
            ADD_FAILURE() << "expected dialog is not shown";
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        }
    });
}

// Types a path into the name field and confirms it with Enter, as a keyboard user does.
void typeAndConfirm(QFileDialog& dialog, const QString& path)
{
    auto* nameEdit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(nameEdit, nullptr);
    nameEdit->setFocus();
    nameEdit->clear();
    QTest::keyClicks(nameEdit, path);
    QTest::keyClick(nameEdit, Qt::Key_Return);
    // When the name completes an existing one, the first Enter closes the completion list.
    if (dialog.isVisible() && nameEdit->completer() && nameEdit->completer()->popup()->isVisible())
        QTest::keyClick(nameEdit->completer()->popup(), Qt::Key_Return);
    if (dialog.isVisible())
        QTest::keyClick(nameEdit, Qt::Key_Return);
    if (dialog.isVisible()) {
        ADD_FAILURE() << "Enter did not confirm the name";
        dialog.reject();
    }
}

struct TypeCase {
    std::string name;
    int selectedType;
    int expectedComboIndex;
};

class SaveFileDialogBindingTest : public ::testing::TestWithParam<TypeCase> { };

TEST_P(SaveFileDialogBindingTest, OffersTypesAndTakesTypedName)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString typed = dir.filePath(QStringLiteral("run1"));
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Save As"));
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        ASSERT_NE(combo, nullptr);
        ASSERT_EQ(combo->count(), 3);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(combo->itemText(i), kTypes[i].description);
        EXPECT_EQ(combo->currentIndex(), GetParam().expectedComboIndex);
        EXPECT_EQ(QDir(dialog.directory()), QDir(dir.path()));
        typeAndConfirm(dialog, typed);
    });

    const auto choice = runSaveFileDialog(nullptr, QStringLiteral("Save As"), kTypes, GetParam().selectedType,
        dir.path() + QLatin1Char('/'), QString());

    ASSERT_TRUE(choice.has_value());
    // The dialog adds no suffix of its own.
    EXPECT_EQ(choice->path, typed);
    EXPECT_EQ(choice->selectedType, GetParam().expectedComboIndex + 1);
}

INSTANTIATE_TEST_SUITE_P(Types, SaveFileDialogBindingTest,
    ::testing::Values(TypeCase { "ZeroOpensOnFirst", 0, 0 }, TypeCase { "Csv", 2, 1 },
        TypeCase { "AllFiles", 3, 2 }, TypeCase { "OutOfRangeOpensOnFirst", 9, 0 }),
    marlume::testing::CaseName());

TEST(SaveFileDialogBindingCancelTest, CancelGivesNothing)
{
    whenShown<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(
        runSaveFileDialog(nullptr, QStringLiteral("Save As"), kTypes, 1, QString(), QString()).has_value());
}

TEST(SaveFileDialogBindingFilterTest, AllFilesShowsNamesWithoutDot)
{
    QStringList filters;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* model = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(combo, nullptr);
        ASSERT_NE(model, nullptr);
        QTest::keyClick(combo, Qt::Key_Down);
        filters = model->nameFilters();
        dialog.reject();
    });
    EXPECT_FALSE(
        runSaveFileDialog(nullptr, QStringLiteral("Save As"), kTypes, 2, QString(), QString()).has_value());
    EXPECT_EQ(filters, QStringList { QStringLiteral("*") });
}

// A folder of what /proc holds: a FIFO without a writer, a link to the endless /dev/zero and
// two files held by a lease the test keeps, so that opening one waits as reading /proc/kmsg
// does; beside them a folder and a link to it.
class FileTraps final {
public:
    FileTraps()
    {
        m_ready = m_dir.isValid() && QDir(m_dir.path()).mkdir(QStringLiteral("folder"))
            && ::mkfifo(nativePath("pipe").constData(), 0600) == 0
            && ::symlink("/dev/zero", nativePath("zero").constData()) == 0
            && ::symlink("folder", nativePath("folder link").constData()) == 0 && hold("kmsg")
            && hold("run.csv");
    }
    FileTraps(const FileTraps&) = delete;
    FileTraps& operator=(const FileTraps&) = delete;
    ~FileTraps()
    {
        spring();
        for (const int held : m_held)
            ::close(held);
    }

    // False when the folder could not be made, as where the file system grants no leases.
    [[nodiscard]] bool ready() const { return m_ready; }
    [[nodiscard]] QString path() const { return m_dir.path(); }
    [[nodiscard]] QString path(const char* entry) const
    {
        return QDir(m_dir.path()).filePath(QLatin1String(entry));
    }

    // Runs act; false when it was still running after ten seconds, which only a wait on a
    // trap explains. The traps are then sprung so that act can end.
    [[nodiscard]] bool finishesWithoutWaiting(const std::function<void()>& act)
    {
        std::mutex mutex;
        std::condition_variable ended;
        bool done = false;
        bool waited = false;
        std::thread watchdog([&] {
            std::unique_lock lock(mutex);
            if (!ended.wait_for(lock, std::chrono::seconds(10), [&] { return done; })) {
                waited = true;
                spring();
            }
        });
        act();
        {
            const std::lock_guard lock(mutex);
            done = true;
        }
        ended.notify_one();
        watchdog.join();
        return !waited;
    }

private:
    [[nodiscard]] QByteArray nativePath(const char* entry) const { return QFile::encodeName(path(entry)); }

    bool hold(const char* entry)
    {
        QFile file(path(entry));
        if (!file.open(QIODevice::WriteOnly) || file.write("kernel: text a reader would sniff\n") < 0)
            return false;
        file.close();
        const int held = ::open(nativePath(entry).constData(), O_RDONLY | O_CLOEXEC);
        if (held < 0)
            return false;
        m_held.push_back(held);
        // Without an owner the kernel signals nobody when an opener breaks the lease.
        return ::fcntl(held, F_SETLEASE, F_WRLCK) == 0 && ::fcntl(held, F_SETOWN, 0) == 0;
    }

    // Lets a waiting opener through: the leases go, and a writer comes and goes on the FIFO.
    void spring()
    {
        for (const int held : m_held)
            static_cast<void>(::fcntl(held, F_SETLEASE, F_UNLCK));
        if (const int writer = ::open(nativePath("pipe").constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            writer >= 0)
            ::close(writer);
    }

    QTemporaryDir m_dir;
    std::vector<int> m_held;
    bool m_ready = false;
};

enum class Shown { Drive, Folder, FolderLink, File, FileLink };

QImage image(const QIcon& icon)
{
    return icon.pixmap(16, 16).toImage();
}

QImage expectedImage(Shown shown)
{
    const QFileIconProvider qt;
    switch (shown) {
    case Shown::Drive:
        return image(qt.icon(QAbstractFileIconProvider::Drive));
    case Shown::Folder:
        return image(qt.icon(QAbstractFileIconProvider::Folder));
    case Shown::FolderLink:
        return image(QApplication::style()->standardIcon(QStyle::SP_DirLinkIcon));
    case Shown::File:
        return image(qt.icon(QAbstractFileIconProvider::File));
    case Shown::FileLink:
        return image(QApplication::style()->standardIcon(QStyle::SP_FileLinkIcon));
    }
    return {};
}

struct EntryCase {
    std::string name;
    const char* entry;
    Shown shown;
    // The type is either a word or, for files, the description of a MIME type.
    const char* word;
    const char* mimeType;
};

class QtFileIconProviderTest : public ::testing::TestWithParam<EntryCase> { };

TEST_P(QtFileIconProviderTest, ShowsEntryByNameAndKindWithoutOpeningIt)
{
    const EntryCase& testCase = GetParam();
    FileTraps traps;
    if (!traps.ready())
        GTEST_SKIP() << "no file leases in " << traps.path().toStdString();
    const QFileInfo info(traps.path(testCase.entry));
    const QtFileIconProvider provider;
    QIcon icon;
    QString type;
    EXPECT_TRUE(traps.finishesWithoutWaiting([&] {
        icon = provider.icon(info);
        type = provider.type(info);
    })) << "the provider opened the entry";

    EXPECT_TRUE(image(icon) == expectedImage(testCase.shown));
    const QString expectedType = testCase.mimeType
        ? QMimeDatabase().mimeTypeForName(QLatin1String(testCase.mimeType)).comment()
        : QLatin1String(testCase.word);
    EXPECT_EQ(type.toStdString(), expectedType.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Entries, QtFileIconProviderTest,
    ::testing::Values(EntryCase { "Root", "/", Shown::Drive, "Drive", nullptr },
        EntryCase { "Folder", "folder", Shown::Folder, "Folder", nullptr },
        EntryCase { "LinkToFolder", "folder link", Shown::FolderLink, "Folder", nullptr },
        EntryCase { "FifoWithoutWriter", "pipe", Shown::File, "Unknown", nullptr },
        EntryCase { "LinkToEndlessDevice", "zero", Shown::FileLink, "Shortcut", nullptr },
        EntryCase { "HeldFileWithoutSuffix", "kmsg", Shown::File, nullptr, "application/octet-stream" },
        EntryCase { "HeldFileTypedBySuffix", "run.csv", Shown::File, nullptr, "text/csv" }),
    marlume::testing::CaseName());

// Waits until the dialog lists every entry of folder with its type; the names so listed.
QString listingOf(QFileDialog& dialog, const QString& folder, int entries)
{
    auto* model = dialog.findChild<QFileSystemModel*>();
    if (!model)
        return QStringLiteral("no file list");
    QStringList listed;
    const QDeadlineTimer deadline(std::chrono::seconds(30));
    while (listed.size() < entries && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const QModelIndex root = model->index(folder);
        listed.clear();
        for (int row = 0; row < model->rowCount(root); ++row) {
            if (const QModelIndex entry = model->index(row, 0, root); !model->type(entry).isEmpty())
                listed << model->fileName(entry);
        }
    }
    listed.sort();
    return listed.join(QStringLiteral(", "));
}

// Typing /proc/ into the dialog once hung the program for good.
TEST(SaveFileDialogBindingListingTest, ListsFolderOfEndlessFilesWithoutWaiting)
{
    FileTraps traps;
    if (!traps.ready())
        GTEST_SKIP() << "no file leases in " << traps.path().toStdString();
    QString listed;
    const bool finished = traps.finishesWithoutWaiting([&] {
        whenShown<QFileDialog>([&](QFileDialog& dialog) {
            listed = listingOf(dialog, traps.path(), 4);
            dialog.reject();
        });
        static_cast<void>(
            runSaveFileDialog(nullptr, QStringLiteral("Save As"), kTypes, 3, traps.path(), QString()));
    });
    EXPECT_TRUE(finished) << "the listing waited on a file it opened";
    // The dialog leaves out FIFOs and devices.
    EXPECT_EQ(listed.toStdString(), "folder, folder link, kmsg, run.csv");
}

// The whole save-as road: typed name, extension from the type, replace question.
TEST(SaveAsDialogTest, AsksBeforeReplacingCompletedName)
{
    const QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString existing = dir.filePath(QStringLiteral("run.csv"));
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    QWidget mainWindow;
    QString asked;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        whenShown<dialogs::YesNoCancelForm>([&](dialogs::YesNoCancelForm& form) {
            asked = form.Question_text()->text();
            QTest::keyClick(form.focusWidget(), 'y');
        });
        typeAndConfirm(dialog, dir.filePath(QStringLiteral("run")));
    });

    std::string fileName;
    std::int16_t filterIndex = 2;
    EXPECT_TRUE(dialogs::SaveFileDialog(&mainWindow, "", fileName, filterIndex));
    EXPECT_EQ(fileName, existing.toStdString());
    EXPECT_EQ(filterIndex, 2);
    EXPECT_EQ(
        asked.toStdString(), common::DisplayPath(existing.toStdString()) + " already exists.  Replace it?");
}

} // namespace
} // namespace marlume::qt
