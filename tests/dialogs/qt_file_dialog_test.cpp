#include "dialogs/path_helpers.h"
#include "dialogs/save_file_dialog_qt.h"
#include "dialogs/yes_no_cancel_form.h"
#include "platform/qt_file_dialog.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QCompleter>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <functional>

namespace marlume::platform {
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
        asked.toStdString(), dialogs::DisplayPath(existing.toStdString()) + " already exists.  Replace it?");
}

} // namespace
} // namespace marlume::platform
