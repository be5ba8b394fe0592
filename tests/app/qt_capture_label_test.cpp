#include "app/qt_capture_label.h"

#include "common/twips.h"
#include "qt/qt_design_font.h"
#include "support/case_name.h"

#include <QFontMetrics>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace marlume::app {
namespace {

struct FitCase {
    std::string name;
    files::LabelText label;
    std::string shownEnd; // the shown text ends with this
    bool nameShortened;
};

class FittedCaptureLabelTest : public ::testing::TestWithParam<FitCase> { };

// In the capture label's own font and width.
TEST_P(FittedCaptureLabelTest, KeepsTheReasonAndShortensTheName)
{
    const auto& c = GetParam();
    const QFontMetrics metrics(qt::designFont(QStringLiteral("Verdana"), 8.25, true));
    const int width = common::twipsToPixels(4455);

    const QString shown = fittedCaptureLabel(c.label, metrics, width);
    EXPECT_LE(metrics.horizontalAdvance(shown), width) << shown.toStdString();
    EXPECT_TRUE(shown.startsWith(QString::fromUtf8(c.label.before))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QString::fromUtf8(c.shownEnd))) << shown.toStdString();
    EXPECT_EQ(shown.contains(QChar(0x2026)), c.nameShortened) << shown.toStdString();
    if (c.nameShortened) {
        // Shortened in the middle: the name's first and last characters stay.
        EXPECT_TRUE(
            shown.contains(QString::fromUtf8(c.label.before) + QString::fromUtf8(c.label.name.substr(0, 1))));
    }
}

const std::string kLongName = "station-14-mooring-north-2026-12-09-cast-0007.csv";

INSTANTIATE_TEST_SUITE_P(Labels, FittedCaptureLabelTest,
    ::testing::ValuesIn(std::vector<FitCase> {
        { "ShortNameIsShownWhole", { "Saving to \"", "run.csv", "\"" }, "Saving to \"run.csv\"", false },
        { "TextWithoutName", { "Data not being saved", "", "" }, "Data not being saved", false },
        { "LongNameBeforeAReason", { "Cannot write to \"", kLongName, "\": No space left on device" },
            "\": No space left on device", true },
        { "ShortNameBeforeAReasonThatJustFits",
            { "Cannot write to \"", "hdr.csv", "\": No space left on device" }, "\": No space left on device",
            true },
        { "LongNameBeforeTheCount", { "Saving to \"", kLongName, "\", 7 records not saved" },
            "\", 7 records not saved", true },
    }),
    testing::CaseName());

TEST(FittedCaptureLabel, TextTooLongEvenWithoutTheNameLosesItsEnd)
{
    const QFontMetrics metrics(qt::designFont(QStringLiteral("Verdana"), 8.25, true));
    const files::LabelText label { "Cannot write to \"", kLongName,
        "\": Auf dem Gerät ist kein Speicherplatz mehr verfügbar" };
    const QString shown = fittedCaptureLabel(label, metrics, 297);
    EXPECT_LE(metrics.horizontalAdvance(shown), 297);
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Cannot write to \""))) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(QChar(0x2026))) << shown.toStdString();
}

} // namespace
} // namespace marlume::app
