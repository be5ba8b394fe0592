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
        { "LongestUserName", "username=" + std::string(kLongestCredential, 'u') + "\n", 0600,
            MqttCredentials { std::string(kLongestCredential, 'u'), "" }, "" },
        { "UserNameTooLong", "username=" + std::string(kLongestCredential + 1, 'u') + "\n", 0600,
            std::nullopt, "the user name is longer than 1024 bytes" },
        { "PasswordTooLong", "username=deck\npassword=" + std::string(1 << 20, 'p') + "\n", 0600,
            std::nullopt, "the password is longer than 1024 bytes" },
    }),
    testing::CaseName());

TEST(MqttCredentials, AMissingFileOrAFolderSaysSoAndTheEnvironmentNeedsAUserNameAndNoEndlessOne)
{
    EXPECT_EQ(readCredentialsFile("/nonexistent/station").problem,
        "Cannot use \"/nonexistent/station\": No such file or directory");
    const testing::TemporaryFolder folder;
    ASSERT_EQ(::chmod(folder.path().c_str(), 0755), 0);
    EXPECT_EQ(readCredentialsFile(folder.path().string()).problem,
        "Cannot use \"" + folder.path().string() + "\": it is no regular file");
    const std::string fifo = folder.pathOf("fifo");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(readCredentialsFile(fifo).problem, "Cannot use \"" + fifo + "\": it is no regular file")
        << "refused without waiting for a writer";

    std::map<std::string, std::string> environment;
    const auto variable = [&](const char* name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional(found->second);
    };
    const std::string tooLong(kLongestCredential + 1, 'x');
    struct EnvironmentCase {
        std::optional<std::string> username;
        std::string password;
        CredentialsResult result;
    };
    for (const auto& [username, password, result] : std::vector<EnvironmentCase> {
             { std::nullopt, "", {} },
             { std::nullopt, "x",
                 { std::nullopt, "MARLUME_MQTT_PASSWORD is set, but MARLUME_MQTT_USERNAME names no user" } },
             { "deck", "x", { MqttCredentials { "deck", "x" }, "" } },
             { "deck", tooLong, { std::nullopt, "MARLUME_MQTT_PASSWORD is longer than 1024 bytes" } },
             { tooLong, "x", { std::nullopt, "MARLUME_MQTT_USERNAME is longer than 1024 bytes" } },
         }) {
        environment.clear();
        environment["MARLUME_MQTT_PASSWORD"] = password;
        if (username)
            environment["MARLUME_MQTT_USERNAME"] = *username;
        EXPECT_EQ(credentialsFromEnvironment(variable), result) << username.value_or("no user name");
    }
}

} // namespace
} // namespace marlume::mqtt
