#include "video/VideoTile.h"

#include <gtest/gtest.h>

namespace {

struct NullTile : IVideoTile {
    void SetUser(const std::string &, const std::string &, int) override {}
    void SetService(EN_ZOX_VIDEOWND_SERVICE) override {}
    void SetState(EN_ZOX_VIDEOWND_STATE) override {}
    void SetSelected(bool) override {}
    uintptr_t GetHandle() override { return 0; }
    void SetVideoSize(uint32_t, uint32_t) override {}
    void SetRecording(bool) override {}
    void SetSoundEnable(bool) override {}
    void SetSoundOpen(bool) override {}
    void SetVideoKarCallback(const void *, VideoKarCallback) override {}
    void Clone(IVideoTile *) override {}
};

TEST(VideoTileRegistry, AFreedTileReceivesNoLateChangesUntilItsAddressIsReused)
{
    NullTile a, b;
    EXPECT_TRUE(IsVideoTileAlive(&a)); // never registered: a test double or a session's own
    EXPECT_FALSE(IsVideoTileAlive(nullptr));
    RegisterVideoTile(&a);
    RetireVideoTile(&a);
    EXPECT_FALSE(IsVideoTileAlive(&a));
    EXPECT_TRUE(IsVideoTileAlive(&b));
    RegisterVideoTile(&a); // a new tile built at the same address
    EXPECT_TRUE(IsVideoTileAlive(&a));
}

} // namespace
