#include "mqtt/mqtt_credentials.h"
#include "support/case_name.h"
#include "support/temporary_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace marlume::mqtt {
namespace {

struct FileCase {
    std::string name;
    std::string text;
    mode_t mode;
    std::optional<MqttCredentials> credentials;
    std::string problemEnd; // the problem ends with this
};

class CredentialsFileTest : public ::testing::TestWithParam<FileCase> { };

TEST_P(CredentialsFileTest, TakesOnlyAnOwnersFileThatNamesAUser)
{
    const testing::TemporaryFolder folder;
    const std::string path = folder.pathOf("station.credentials");
    ASSERT_TRUE(testing::writeFile(path, GetParam().text));
    ASSERT_EQ(::chmod(path.c_str(), GetParam().mode), 0);
    const CredentialsResult result = readCredentialsFile(path);
    EXPECT_EQ(result.credentials, GetParam().credentials);
    EXPECT_TRUE(result.problem.ends_with(GetParam().problemEnd)) << result.problem;
}

INSTANTIATE_TEST_SUITE_P(Files, CredentialsFileTest,
    ::testing::ValuesIn(std::vector<FileCase> {
        { "OwnersOnly", "# station 1\nusername=deck\r\npassword=s3cr=t\n\n", 0600,
            MqttCredentials { "deck", "s3cr=t" }, "" },
        { "NoPassword", "username=deck\n", 0400, MqttCredentials { "deck", "" }, "" },
        { "GroupMayRead", "username=deck\npassword=x\n", 0640, std::nullopt,
            "others may read it; make it the owner's only with chmod 600" },
        { "NoUser", "password=x\n", 0600, std::nullopt, "it names no user (username=NAME)" },
        { "StrayLine", "username=deck\nx\n", 0600, std::nullopt,
            "a line is neither username=NAME nor password=SECRET" },
    }),
    testing::CaseName());

TEST(MqttCredentials, AMissingFileSaysSoAndTheEnvironmentNeedsAUserName)
{
    EXPECT_EQ(readCredentialsFile("/nonexistent/station").problem,
        "Cannot use \"/nonexistent/station\": No such file or directory");
    std::map<std::string, std::string> environment;
    const auto variable = [&](const char* name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional(found->second);
    };
    environment["MARLUME_MQTT_PASSWORD"] = "x";
    EXPECT_EQ(credentialsFromEnvironment(variable), std::nullopt);
    environment["MARLUME_MQTT_USERNAME"] = "deck";
    EXPECT_EQ(credentialsFromEnvironment(variable), (MqttCredentials { "deck", "x" }));
}

} // namespace
} // namespace marlume::mqtt
