#include "mqtt/station_publisher.h"
#include "support/fake_clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace marlume::mqtt {
namespace {

struct Sent {
    std::string topic;
    std::string payload;
    int qos;
    friend bool operator==(const Sent&, const Sent&) = default;
};

struct FakeBrokerLink final : BrokerLink {
    void publish(const std::string& topic, const std::string& payload, int qos) override
    {
        sent.push_back({ topic, payload, qos });
    }
    void setStatus(std::string_view status) override { statuses.emplace_back(status); }
    std::vector<Sent> sent;
    std::vector<std::string> statuses;
};

TEST(StationPublisher, SendsEveryEndedEventAsItsCaptureRecordTheLatestReadingOnceASecondAndASilentSensor)
{
    FakeBrokerLink link;
    testing::FakeClock clock;
    StationPublisher publisher(link, "ship/tilt-1", 1000, clock);

    record::AcceptedReading reading { { 2008, 8, 18, 14, 2, 11, 5 }, 355, -1.5F, 0.25F, 57.3F, true };
    for (int tenth = 0; tenth < 12; ++tenth) { // readings every 100 ms for 1.2 s: the first and the 11th go
        publisher.readingAccepted(reading);
        clock.advanceMilliseconds(100);
        ++reading.time.millisecond;
    }
    const float noValue = std::numeric_limits<float>::quiet_NaN();
    publisher.eventEnded(
        { 7, { 2008, 8, 18, 14, 2, 11, 0 }, { 2008, 8, 18, 14, 2, 41, 950 }, 2.2F, 101, -1.4F, noValue, 3 });
    publisher.sensorSilent({ 1, std::chrono::seconds(5) });
    publisher.dataAgain({ 1, std::chrono::seconds(8) });

    EXPECT_EQ(link.sent,
        (std::vector<Sent> {
            { "ship/tilt-1/reading",
                R"({"time":"2008-08-18T14:02:11.005","tilt":57.3,"heading":355,"pitch":-1.5,"roll":0.25,"over":true})",
                0 },
            { "ship/tilt-1/reading",
                R"({"time":"2008-08-18T14:02:11.015","tilt":57.3,"heading":355,"pitch":-1.5,"roll":0.25,"over":true})",
                0 },
            { "ship/tilt-1/event",
                R"({"number":7,"start":"2008-08-18T14:02:11.000","end":"2008-08-18T14:02:41.950","tilt":2.2,"heading":101,"pitch":-1.4,"roll":null,"samples":3})",
                1 },
        }));
    EXPECT_EQ(link.statuses, (std::vector<std::string> { "silent", "online" }));
}

} // namespace
} // namespace marlume::mqtt
