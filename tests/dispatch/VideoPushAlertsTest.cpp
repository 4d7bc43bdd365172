// A pending video push: its countdown caption, the countdown that declines exactly
// once, and what answering and declining send (a failed answer refuses like a decline).
#include <gtest/gtest.h>

#include <tuple>

#include "core/EditionText.h"
#include "dispatch/VideoPushAlerts.h"

namespace {

class FakeActions : public IVpAlertActions {
public:
    int StartVideoUpload(const std::string &number, const std::string &name, int32_t instance) override
    {
        starts.emplace_back(number, name, instance);
        return startResult;
    }
    void SendStopVpNotify(uint32_t source, uint32_t dest, const std::string &number) override
    {
        stops.emplace_back(source, dest, number);
    }
    int startResult = 0;
    std::vector<std::tuple<std::string, std::string, int32_t>> starts;
    std::vector<std::tuple<uint32_t, uint32_t, std::string>> stops;
};

TEST(VpAlert, CountdownCaptions)
{
    const std::string word = ZoxText(EN_ZOX_TEXT::Decline); // "Decline" in English
    const std::pair<int, const char *> cases[] = {{30, "(30)"}, {10, "(10)"}, {9, "(09)"}, {1, "(01)"}, {0, "(00)"}};
    for (const auto &[seconds, number] : cases)
        EXPECT_EQ(VpCountdownCaption(seconds), word + number) << seconds;
}

TEST(VpAlert, CountdownRunsOutOnceAndDeclinesOnce)
{
    FakeActions actions;
    CVpAlertState alert("3001", "Driver One (3001)", 12, 0xABCD0001);
    const std::string word = ZoxText(EN_ZOX_TEXT::Decline);
    EXPECT_EQ(alert.Caption(), word + "(30)");
    int expiries = 0;
    for (int second = 1; second <= 40; ++second) {
        if (alert.Tick()) {
            ++expiries;
            EXPECT_EQ(second, 30);
            EXPECT_TRUE(DeclineVpAlert(actions, alert));
        }
        if (second == 20) {
            EXPECT_EQ(alert.Caption(), word + "(10)");
        } else if (second == 21) {
            EXPECT_EQ(alert.Caption(), word + "(09)");
        }
    }
    EXPECT_EQ(expiries, 1);
    ASSERT_EQ(actions.stops.size(), 1u);
    EXPECT_EQ(actions.stops[0], std::make_tuple(12u, 0xABCD0001u, std::string("3001")));
    // A click that arrives after the countdown acted does nothing.
    EXPECT_FALSE(AcceptVpAlert(actions, alert));
    EXPECT_FALSE(DeclineVpAlert(actions, alert));
    EXPECT_TRUE(actions.starts.empty());
    EXPECT_EQ(actions.stops.size(), 1u);
}

TEST(VpAlert, AnswerUploadsWithTheNamedInstanceAndRefusesWhenThatFails)
{
    for (int result : {0, -2, -3, -4}) {
        SCOPED_TRACE(result);
        FakeActions actions;
        actions.startResult = result;
        CVpAlertState alert("3001", "Driver One (3001)", 12, 0xABCD0001);
        EXPECT_TRUE(AcceptVpAlert(actions, alert));
        ASSERT_EQ(actions.starts.size(), 1u);
        EXPECT_EQ(actions.starts[0], std::make_tuple(std::string("3001"), std::string("Driver One (3001)"), 12));
        EXPECT_EQ(actions.stops.size(), result == 0 ? 0u : 1u);
        // Once answered the countdown no longer runs out.
        for (int i = 0; i < 40; ++i)
            EXPECT_FALSE(alert.Tick());
        EXPECT_FALSE(AcceptVpAlert(actions, alert));
        EXPECT_EQ(actions.starts.size(), 1u);
    }
}

} // namespace
