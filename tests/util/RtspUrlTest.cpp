// The address and port of a camera's rtsp URL.
#include "core/RtspUrl.h"

#include <gtest/gtest.h>

TEST(RtspUrl, Table)
{
    struct Case {
        const char *url;
        int result;
        const char *address; // "keep" = the caller's value stays
        const char *port;
    };
    const Case cases[] = {
        {"rtsp://192.168.1.64:554/live", 1, "192.168.1.64", "554"},
        {"RTSP://10.0.0.5/live", 1, "10.0.0.5", "keep"},
        {"rtsp://10.0.0.5:x/", 1, "10.0.0.5", "keep"},
        {"rtsp://admin:pw@10.1.2.3:8554/ch1", 1, "10.1.2.3", "8554"},
        {"rtsp://10.0.0.5:", 1, "10.0.0.5", "keep"},
        {"rtsp://10.0.0.5:65535", 1, "10.0.0.5", "65535"},
        {"http://192.168.1.64:554/live", 0, "keep", "keep"},
        {"rtsp://", 0, "keep", "keep"},
        {"rtsp:/", 0, "keep", "keep"},
        {"", 0, "keep", "keep"},
        {"rtsp://camera.example.org:554/live", 0, "keep", "keep"},
        {"rtsp://10.0.0/live", 0, "keep", "keep"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        std::string address = "keep", port = "keep";
        EXPECT_EQ(ParseRtspUrlAddress(c.url, address, port), c.result);
        EXPECT_EQ(address, c.address);
        EXPECT_EQ(port, c.port);
    }
}

TEST(RtspUrl, LongGarbageIsHarmless)
{
    std::string url = "rtsp://" + std::string(100000, '1') + std::string(5000, '.');
    std::string address = "keep", port = "keep";
    EXPECT_EQ(ParseRtspUrlAddress(url, address, port), 0);
    EXPECT_EQ(address, "keep");
}
