// The local camera preview's host and render panel for capture sizes and display
// aspect ratios: without a ratio the host takes the capture's shape; with one the host
// takes the ratio and the render panel keeps the capture's shape, centred and cut.
#include <gtest/gtest.h>

#include "video/CameraPreviewLayout.h"

using zox::video::CameraPreviewGeometry;
using zox::video::LayoutCameraPreview;

TEST(CameraPreviewLayout, HostAndRenderPanel)
{
    struct Case {
        unsigned w, h;
        int darX, darY;
        CameraPreviewGeometry g; // host w, h; panel left, top, w, h
    };
    const Case cases[] = {
        {640, 480, 0, 0, {150, 113, 0, 0, 150, 113}},     // 112.5 rounds up
        {480, 640, 0, 0, {113, 150, 0, 0, 113, 150}},     // portrait
        {640, 640, 0, 0, {150, 150, 0, 0, 150, 150}},     // square counts as portrait
        {1280, 720, 4, 0, {150, 84, 0, 0, 150, 84}},      // a half ratio is none
        {1280, 720, 4, 3, {200, 150, -33, 0, 267, 150}},  // sides cut, halved toward zero
        {640, 480, 16, 9, {150, 84, 0, -14, 150, 113}},   // top and bottom cut
        {640, 480, 4, 3, {150, 113, 0, 0, 150, 113}},     // same shape: fills the host
        {176, 144, 1, 1, {150, 150, -16, 0, 183, 150}},   // square ratio, 183 rounded down
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.w << "x" << c.h << " " << c.darX << ":" << c.darY);
        const CameraPreviewGeometry g = LayoutCameraPreview(c.w, c.h, c.darX, c.darY);
        EXPECT_EQ(g.hostWidth, c.g.hostWidth);
        EXPECT_EQ(g.hostHeight, c.g.hostHeight);
        EXPECT_EQ(g.left, c.g.left);
        EXPECT_EQ(g.top, c.g.top);
        EXPECT_EQ(g.width, c.g.width);
        EXPECT_EQ(g.height, c.g.height);
    }
}
