// Picture states and image maps: events -> state -> picture name.
#include "console/CtrlImageMap.h"
#include "console/MainImageMap.h"
#include "console/PictureState.h"
#include "console/SplitScreenCtrlMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zox::skin;
using PE = PointerEvent;

TEST(PictureState, TransitionTable)
{
    struct Case {
        int from;
        PE event;
        bool enabled;
        int to;
    } cases[] = {
        {1, PE::Enter, true, 2},  {2, PE::Leave, true, 1},  {2, PE::Down, true, 3},  {1, PE::Down, true, 3},
        {3, PE::Up, true, 2},     {1, PE::Up, true, 1},     {2, PE::Up, true, 2},    {3, PE::Leave, true, 1},
        {3, PE::Enter, true, 2},  {0, PE::Enter, true, 2},  {1, PE::Enter, false, 1}, {3, PE::Up, false, 3},
        {0, PE::Down, false, 0},  {2, PE::Leave, false, 2},
    };
    for (const Case &c : cases)
        EXPECT_EQ(NextPictureState(c.from, c.event, c.enabled), c.to)
            << "from " << c.from << " event " << static_cast<int>(c.event) << " enabled " << c.enabled;
    EXPECT_STREQ(PictureStateSuffix(0), "_DISABLED");
    EXPECT_STREQ(PictureStateSuffix(3), "_PRESSED");
    EXPECT_STREQ(PictureStateSuffix(4), "");
}

TEST(PictureState, PressLatchOwesExactlyOneRelease)
{
    PressLatch latch;
    EXPECT_FALSE(latch.TakeRelease());
    latch.Press();
    EXPECT_TRUE(latch.IsHeld());
    EXPECT_TRUE(latch.TakeRelease());
    EXPECT_FALSE(latch.TakeRelease()); // the second end of the same press owes nothing
    latch.Press();
    latch.Press();
    EXPECT_TRUE(latch.TakeRelease());
    EXPECT_FALSE(latch.TakeRelease());
}

namespace {

// Records every picture shown.
struct Shown {
    std::vector<std::string> names;
    CtrlImageMapTable::ShowFn fn()
    {
        return [this](QObject *, const std::string &n) { names.push_back(n); };
    }
    std::string last() const { return names.empty() ? std::string("<none>") : names.back(); }
};

PictureNames Names(const char *stem, bool ownDisabled)
{
    std::string s = stem;
    return {ownDisabled ? s + "_DISABLED" : s + "_NORMAL", s + "_NORMAL", s + "_FOCUSED", s + "_PRESSED"};
}

} // namespace

TEST(CtrlImageMap, PointerSequencesShowTheRightPictures)
{
    QObject fold, other;
    bool folded = false;
    CtrlImageMapTable map(4);
    ASSERT_NE(map.Add(&fold, Names("IMG_BTN_FOLD", true), Names("IMG_BTN_OPEN", true),
                      [&] { return folded ? 1 : 0; }),
              nullptr);
    EXPECT_EQ(map.GetImageCtrlStatus(&fold), 1);
    EXPECT_EQ(map.GetImageCtrlStatus(&other), -1);

    struct Step {
        PE event;
        bool enabled;
        bool folded;
        int state;           // stored state afterwards
        const char *picture; // last picture shown afterwards
    } steps[] = {
        {PE::Enter, true, false, 2, "IMG_BTN_FOLD_FOCUSED"},
        {PE::Down, true, false, 3, "IMG_BTN_FOLD_PRESSED"},
        {PE::Up, true, true, 2, "IMG_BTN_OPEN_FOCUSED"},  // the click folded the panel
        {PE::Leave, true, true, 1, "IMG_BTN_OPEN_NORMAL"},
        {PE::Up, true, true, 1, "IMG_BTN_OPEN_NORMAL"},   // up without a press: unchanged
        {PE::Enter, false, true, 1, "IMG_BTN_OPEN_NORMAL"}, // disabled: ignored
        {PE::Down, false, true, 1, "IMG_BTN_OPEN_NORMAL"},
    };
    Shown shown;
    for (const Step &s : steps) {
        folded = s.folded;
        map.OnPointer(&fold, s.event, s.enabled, shown.fn());
        EXPECT_EQ(map.GetImageCtrlStatus(&fold), s.state) << "event " << static_cast<int>(s.event);
        EXPECT_EQ(shown.last(), s.picture) << "event " << static_cast<int>(s.event);
    }
}

TEST(CtrlImageMap, DisabledShowsFirstNameAndKeepsState)
{
    QObject setting;
    CtrlImageMapTable map(2);
    map.Add(&setting, Names("IMG_BTN_SETTING", false));
    Shown shown;
    map.SetImageCtrlStatus(&setting, 2, true, shown.fn());
    map.SetImageCtrlStatus(&setting, 3, false, shown.fn());
    EXPECT_EQ(shown.last(), "IMG_BTN_SETTING_NORMAL");
    EXPECT_EQ(map.GetImageCtrlStatus(&setting), 2);
    // A state outside 0..3 is refused instead of reading past the names.
    const auto before = shown.names.size();
    map.SetImageCtrlStatus(&setting, 4, true, shown.fn());
    map.SetImageCtrlStatus(&setting, -1, true, shown.fn());
    EXPECT_EQ(shown.names.size(), before);
    EXPECT_EQ(map.GetImageCtrlStatus(&setting), 2);
}

TEST(CtrlImageMap, AlternateNeedsAPresentTestReturningOne)
{
    QObject max;
    int test = 2;
    CtrlImageMapTable map(1);
    map.Add(&max, Names("IMG_BTN_MAX", false), Names("IMG_BTN_MID", false), [&] { return test; });
    Shown shown;
    map.SetImageCtrlStatus(&max, 1, true, shown.fn());
    EXPECT_EQ(shown.last(), "IMG_BTN_MAX_NORMAL"); // only 1 selects the second set
    test = 1;
    map.SetImageCtrlStatus(&max, 1, true, shown.fn());
    EXPECT_EQ(shown.last(), "IMG_BTN_MID_NORMAL");
    // A full table refuses further pictures.
    QObject extra;
    EXPECT_EQ(map.Add(&extra, Names("IMG_BTN_MIN", false)), nullptr);
    EXPECT_EQ(map.Add(nullptr, Names("IMG_BTN_MIN", false)), nullptr);
}

TEST(CtrlImageMap, MainWindowRowsAreCompleteStatePictures)
{
    for (const MainImageMapRow &row : kMainImageMapRows) {
        for (int s = 0; s < kPictureStateCount; ++s) {
            ASSERT_NE(row.names[s], nullptr) << row.picture;
            EXPECT_EQ(std::string(row.names[s]).rfind("IMG_", 0), 0u) << row.picture;
        }
        const bool hasAlt = row.alternateWhile != nullptr;
        for (int s = 0; s < kPictureStateCount; ++s)
            EXPECT_EQ(row.alternateNames[s] != nullptr, hasAlt) << row.picture;
    }
    EXPECT_STREQ(kMainImageMapRows[kMainImageSlideLeft].names[1], "IMG_TASK_ARROW_LEFT_NORMAL");
    EXPECT_STREQ(kMainImageMapRows[kMainImageVideoTitleVisible].alternateNames[3], "IMG_WINDOW_NOTITLE_PRESSED");
}

TEST(SplitScreenCtrlMap, SelectAndStates)
{
    QObject pics[kSplitScreenPictureCount];
    SplitScreenCtrlMapTable map;
    for (std::size_t i = 0; i < kSplitScreenPictureCount; ++i)
        map.Set(i, &pics[i]);
    Shown shown;
    auto enabled = [](QObject *) { return true; };
    int count = 0;

    EXPECT_TRUE(map.SelectSplitImage(&pics[3], count, enabled, shown.fn()));
    EXPECT_EQ(count, 4);
    EXPECT_TRUE(map.IsSplitImageSelected(&pics[3]));
    EXPECT_TRUE(shown.names.empty()); // nothing was current before

    map.SetSplitImageStatus(&pics[3], 3, true, shown.fn());
    EXPECT_EQ(shown.last(), "IMG_SPLIT_SCREEN_FOUR_PRESSED");

    // Selecting the current layout again changes nothing.
    count = 0;
    shown.names.clear();
    EXPECT_FALSE(map.SelectSplitImage(&pics[3], count, enabled, shown.fn()));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(shown.names.empty());
    EXPECT_EQ(map.GetSplitImageStatus(&pics[3]), 3);

    // Another layout: the old one drops to normal.
    EXPECT_TRUE(map.SelectSplitImage(&pics[8], count, enabled, shown.fn()));
    EXPECT_EQ(count, 16);
    EXPECT_EQ(shown.last(), "IMG_SPLIT_SCREEN_FOUR_NORMAL");
    EXPECT_FALSE(map.IsSplitImageSelected(&pics[3]));
    EXPECT_EQ(map.GetSplitImageStatus(&pics[3]), 1);

    // Disabled: the normal picture, state kept.
    map.SetSplitImageStatus(&pics[0], 2, false, shown.fn());
    EXPECT_EQ(shown.last(), "IMG_SPLIT_SCREEN_ONE_NORMAL");
    EXPECT_EQ(map.GetSplitImageStatus(&pics[0]), 1);

    QObject stranger;
    EXPECT_EQ(map.GetSplitImageStatus(&stranger), -1);
    EXPECT_FALSE(map.IsSplitImageSelected(&stranger));
    EXPECT_FALSE(map.SelectSplitImage(&stranger, count, enabled, shown.fn()));
}
