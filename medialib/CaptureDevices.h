#pragma once
// The machine's video capture devices with the frame sizes and rates each offers,
// read from GStreamer's device monitor. User-interface thread; a few milliseconds.
#include <string>
#include <vector>

struct VideoCaptureFormat {
    std::string subtype; // the pixel format or encoding as the device names it
    unsigned width = 0;
    unsigned height = 0;
    unsigned fpsNumerator = 0;
    unsigned fpsDenominator = 0;
};

struct VideoCaptureDevice {
    std::string name;
    // False when the device's formats could not be read (it is then not offered).
    bool formatsRead = false;
    std::vector<VideoCaptureFormat> formats;
};

// The devices in the monitor's order; an empty list when there is none or the
// monitor cannot start.
std::vector<VideoCaptureDevice> EnumVideoCaptureDevices();
