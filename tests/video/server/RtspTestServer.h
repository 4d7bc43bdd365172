#pragma once
// An RTSP server for the tests: gst-rtsp-server on 127.0.0.1 serving a live test
// pattern (H.264 or H.265 video, or PCMA audio) under /test, optionally behind Basic
// or Digest authentication. It runs its own main loop thread.
#include <cstdint>
#include <memory>
#include <string>

struct RtspTestServerOptions {
    std::string media = "h264"; // "h264", "h265", "pcma", "h264+pcma"
    std::string auth;           // "", "basic", "digest"
    std::string user = "admin";
    std::string password = "s3cret";
    int fps = 25;
    int keyInterval = 25;
    bool inbandParameterSets = true; // payloader config-interval=-1
    int width = 320, height = 240;
    std::string pattern = "ball"; // videotestsrc pattern
    bool shared = true; // one encoder for every client (false: each client its own)
};

class RtspTestServer {
public:
    explicit RtspTestServer(RtspTestServerOptions options = {});
    ~RtspTestServer();
    // Listens on the port (0: any free port). False when it cannot.
    bool Start(uint16_t port = 0);
    // Closes every client connection and stops listening.
    void Stop();
    uint16_t Port() const { return m_port; }
    std::string Url() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    RtspTestServerOptions m_options;
    uint16_t m_port = 0;
};
