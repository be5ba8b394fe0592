#include "logger/logger_options.h"

#include "support/case_name.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace marlume::logger {
namespace {

using Action = LoggerCommand::Action;

struct AcceptedCase {
    std::string name;
    std::vector<std::string_view> arguments;
    Action action;
    std::optional<std::string> capturePath;
    std::optional<std::string> ports;
    bool quiet;
};

class AcceptedArgumentsTest : public ::testing::TestWithParam<AcceptedCase> { };

TEST_P(AcceptedArgumentsTest, ReadsTheOptions)
{
    const auto& c = GetParam();
    const LoggerCommand command = parseLoggerArguments(c.arguments);
    EXPECT_EQ(command.action, c.action) << command.refusal;
    EXPECT_EQ(command.options.capturePath, c.capturePath);
    EXPECT_EQ(command.options.ports, c.ports);
    EXPECT_EQ(command.options.quiet, c.quiet);
}

TEST(AcceptedArguments, ReprocessTakesTheLogToRead)
{
    const LoggerCommand command = parseLoggerArguments(
        { "--reprocess=/data/raw.txt", "--capture", "a.csv", "--event-stats", "s.csv", "--silence", "0.5" });
    EXPECT_EQ(command.action, Action::Run) << command.refusal;
    EXPECT_EQ(command.options.reprocessPath, "/data/raw.txt");
    EXPECT_EQ(command.options.statisticsPath, "s.csv");
    EXPECT_EQ(command.options.silenceLimit, std::chrono::milliseconds(500));
}

TEST(AcceptedArguments, MqttTakesTheBrokerItsFilesAndTheReadingInterval)
{
    const LoggerCommand command
        = parseLoggerArguments({ "--mqtt=mqtts://broker/ship/tilt-1", "--mqtt-credentials",
            "/etc/station.credentials", "--mqtt-ca", "ca.pem", "--mqtt-reading-interval", "0.25" });
    EXPECT_EQ(command.action, Action::Run) << command.refusal;
    EXPECT_EQ(command.options.station.broker, "mqtts://broker/ship/tilt-1");
    EXPECT_EQ(command.options.station.credentialsFile, "/etc/station.credentials");
    EXPECT_EQ(command.options.station.caFile, "ca.pem");
    EXPECT_EQ(command.options.station.readingIntervalMs, 250);
}

INSTANTIATE_TEST_SUITE_P(Accepted, AcceptedArgumentsTest,
    ::testing::ValuesIn(std::vector<AcceptedCase> {
        { "Nothing", {}, Action::Run, std::nullopt, std::nullopt, false },
        { "CaptureWithItsValueAfter", { "--capture", "/data/run.csv" }, Action::Run, "/data/run.csv",
            std::nullopt, false },
        { "CaptureWithEquals", { "--capture=/data/a=b.csv" }, Action::Run, "/data/a=b.csv", std::nullopt,
            false },
        { "ValueThatLooksLikeAnOption", { "--capture", "--quiet" }, Action::Run, "--quiet", std::nullopt,
            false },
        { "PortsEmptyEntries", { "--ports", ",silent,/dev/ttyUSB0" }, Action::Run, std::nullopt,
            ",silent,/dev/ttyUSB0", false },
        { "PortsMayBeEmpty", { "--ports=" }, Action::Run, std::nullopt, "", false },
        { "Quiet", { "--quiet", "--capture", "x.csv" }, Action::Run, "x.csv", std::nullopt, true },
        { "Help", { "--quiet", "--help" }, Action::Help, std::nullopt, std::nullopt, true },
        { "Version", { "--version" }, Action::Version, std::nullopt, std::nullopt, false },
    }),
    testing::CaseName());

struct RefusedCase {
    std::string name;
    std::vector<std::string_view> arguments;
    std::string mention; // the refusal names this
};

class RefusedArgumentsTest : public ::testing::TestWithParam<RefusedCase> { };

TEST_P(RefusedArgumentsTest, SaysWhatIsWrongOnOneLine)
{
    const LoggerCommand command = parseLoggerArguments(GetParam().arguments);
    EXPECT_EQ(command.action, Action::Refuse);
    EXPECT_TRUE(command.refusal.starts_with("marlume-tilt-logger: ")) << command.refusal;
    EXPECT_NE(command.refusal.find(GetParam().mention), std::string::npos) << command.refusal;
    EXPECT_NE(command.refusal.find("--help"), std::string::npos) << command.refusal;
    EXPECT_EQ(command.refusal.find('\n'), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Refused, RefusedArgumentsTest,
    ::testing::ValuesIn(std::vector<RefusedCase> {
        { "UnknownOption", { "--capture", "a.csv", "--frobnicate" }, "'--frobnicate'" },
        { "ShortOptionsAreUnknown", { "-q" }, "'-q'" },
        { "CaptureWithoutValue", { "--capture" }, "'--capture' needs a value" },
        { "PortsWithoutValue", { "--quiet", "--ports" }, "'--ports' needs a value" },
        { "EmptyCaptureName", { "--capture=" }, "needs a file name" },
        { "FlagWithValue", { "--quiet=yes" }, "'--quiet' takes no value" },
        { "StrayArgument", { "run.csv" }, "unexpected argument 'run.csv'" },
        { "ReprocessWithoutValue", { "--reprocess" }, "'--reprocess' needs a value" },
        { "ReprocessReadsNoPorts", { "--reprocess", "raw.txt", "--ports", "sim" }, "leave out --ports" },
        { "CaptureTwice", { "--capture", "a.csv", "--capture", "b.csv" }, "'--capture' is given twice" },
        { "ReprocessTwiceOneWithEquals", { "--reprocess", "a.txt", "--reprocess=b.txt" },
            "'--reprocess' is given twice" },
        { "RawTwice", { "--raw=a", "--quiet", "--raw=a" }, "'--raw' is given twice" },
        { "MqttTwice", { "--mqtt", "mqtt://b/t", "--mqtt", "mqtt://c/t" }, "'--mqtt' is given twice" },
        { "SilenceNoNumber", { "--silence", "long" }, "'--silence' needs the seconds" },
        { "SilenceZero", { "--silence=0" }, "'--silence' needs the seconds" },
        { "SilenceShorterThanReadings", { "--silence=0.0001" }, "from 0.1 to 86400" },
        { "SilenceOverADay", { "--silence", "86401" }, "'--silence' needs the seconds" },
        { "MqttWithoutPrefix", { "--mqtt", "mqtt://broker" },
            "--mqtt: the topic prefix after the broker is missing" },
        { "MqttCaAlone", { "--mqtt-ca", "ca.pem" }, "--mqtt-credentials and --mqtt-ca go with --mqtt" },
        { "MqttCaWithoutTls", { "--mqtt", "mqtt://b/t", "--mqtt-ca=ca.pem" },
            "for a broker over TLS: mqtts://" },
        { "MqttIntervalNoNumber", { "--mqtt", "mqtt://b/t", "--mqtt-reading-interval", "often" },
            "--mqtt-reading-interval: give the seconds between readings" },
    }),
    testing::CaseName());

TEST(LoggerUsage, NamesEveryOption)
{
    const std::string usage = loggerUsage();
    for (const char* option : { "--capture FILE", "--ports LIST", "--reprocess RAWLOG", "--mqtt URL",
             "--mqtt-credentials FILE", "--mqtt-ca FILE", "--mqtt-reading-interval SECONDS",
             "--silence SECONDS", "--quiet", "--help", "--version" })
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

} // namespace
} // namespace marlume::logger
