#pragma once
// Decides which decoded sizes reach the video-size callback: only real sizes
// (both sides above 0) and only when they differ from the last one reported.
// Callers lay out windows by dividing by these values.
#include <cstdint>

class VideoSizeFilter {
public:
    // True when (width, height) should be reported; it then becomes the last size.
    bool Accept(uint32_t width, uint32_t height)
    {
        if (width == 0 || height == 0)
            return false;
        if (width == m_width && height == m_height)
            return false;
        m_width = width;
        m_height = height;
        return true;
    }
    uint32_t width() const { return m_width; }
    uint32_t height() const { return m_height; }

private:
    uint32_t m_width = 0, m_height = 0;
};
