#include "medialib/MediaDefaults.h"
#include "medialib/VideoSizeFilter.h"

#include <gtest/gtest.h>

TEST(MediaVideoSize, TableBothWays)
{
    for (int i = 0; i < kMediaVideoSizeCount; ++i) {
        unsigned w = 0, h = 0;
        ASSERT_EQ(tmedia_video_get_size(i, &w, &h), 0) << i;
        EXPECT_GT(w, 0u);
        EXPECT_GT(h, 0u);
        int back = -1;
        ASSERT_EQ(tmedia_video_get_pref_size(w, h, &back), 0);
        EXPECT_EQ(back, i);
    }
    unsigned w = 0, h = 0;
    ASSERT_EQ(tmedia_video_get_size(8, &w, &h), 0); // the configuration's default
    EXPECT_EQ(w, 640u);
    EXPECT_EQ(h, 480u);
}

TEST(MediaVideoSize, UnknownIndexOrSize)
{
    unsigned w = 7, h = 7;
    EXPECT_EQ(tmedia_video_get_size(-1, &w, &h), -1);
    EXPECT_EQ(tmedia_video_get_size(15, &w, &h), -1);
    EXPECT_EQ(w, 7u);
    int idx = 42;
    EXPECT_EQ(tmedia_video_get_pref_size(641, 480, &idx), -1);
    EXPECT_EQ(tmedia_video_get_pref_size(0, 0, &idx), -1);
    EXPECT_EQ(idx, 42);
    EXPECT_EQ(tmedia_defaults_set_pref_video_size(15), -1);
}

TEST(MediaVideoSize, ZeroDecodedSizeNeverReported)
{
    struct Case {
        uint32_t w, h;
        bool reported;
    };
    const Case cases[] = {
        {0, 0, false}, {640, 0, false}, {0, 480, false}, {640, 480, true}, {640, 480, false},
        {0, 480, false}, {1280, 720, true}, {1280, 0, false}, {640, 480, true},
    };
    VideoSizeFilter f;
    for (const Case &c : cases) {
        EXPECT_EQ(f.Accept(c.w, c.h), c.reported) << c.w << "x" << c.h;
        // The kept size is either nothing yet or a real size, never half zero.
        EXPECT_EQ(f.width() == 0, f.height() == 0);
    }
    // Whatever came in, the last reported size can be divided by.
    EXPECT_EQ(f.width(), 640u);
    EXPECT_EQ(f.height(), 480u);
}
