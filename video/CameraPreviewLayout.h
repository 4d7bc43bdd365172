#pragma once
// The size of the main window's local camera preview: a host panel 150 pixels on its
// long side shaped by the display aspect ratio (or by the capture size without one),
// and the render panel inside it keeping the capture's own shape, centred, its sides
// or its top and bottom cut off by the host.
namespace zox::video {

struct CameraPreviewGeometry {
    int hostWidth = 0;
    int hostHeight = 0;
    int left = 0; // the render panel within the host
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr int kCameraPreviewSide = 150;

// captureWidth, captureHeight > 0; darX:darY the display aspect ratio (0 in either: none).
CameraPreviewGeometry LayoutCameraPreview(unsigned captureWidth, unsigned captureHeight, int darX, int darY);

} // namespace zox::video
