#include "video/CameraPreviewLayout.h"

#include <cmath>

namespace zox::video {

namespace {

// Nearest pixel, a half rounding up.
int Round(double v) { return int(std::floor(v + 0.5)); }

} // namespace

CameraPreviewGeometry LayoutCameraPreview(unsigned captureWidth, unsigned captureHeight, int darX, int darY)
{
    CameraPreviewGeometry g;
    if (captureWidth == 0 || captureHeight == 0)
        return g;
    const double w = captureWidth;
    const double h = captureHeight;
    const double side = kCameraPreviewSide;
    if (double(darX) * double(darY) == 0) {
        if (h < w) {
            g.hostWidth = kCameraPreviewSide;
            g.hostHeight = Round(side * h / w);
        } else {
            g.hostHeight = kCameraPreviewSide;
            g.hostWidth = Round(side * w / h);
        }
        g.width = g.hostWidth;
        g.height = g.hostHeight;
        return g;
    }
    if (double(darX) * h < double(darY) * w) {
        g.hostHeight = kCameraPreviewSide;
        g.hostWidth = Round(double(darX) * side / double(darY));
        g.height = g.hostHeight;
        g.width = Round(double(g.hostHeight) * w / h);
        g.left = (g.hostWidth - g.width) / 2;
    } else {
        g.hostWidth = kCameraPreviewSide;
        g.hostHeight = Round(double(darY) * side / double(darX));
        g.width = g.hostWidth;
        g.height = Round(double(g.hostWidth) * h / w);
        g.top = (g.hostHeight - g.height) / 2;
    }
    return g;
}

} // namespace zox::video
