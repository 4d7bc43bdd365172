// Rules of an RTSP session that need no server: the CSeq ring, the SETUP URL and
// transport, and what a DESCRIBE reply's description selects.
#include "medialib/Sdp.h"
#include "video/RtspClient.h"
#include "video/RtspSessions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

ST_ZOX_RTSP_CAMERA Camera(const std::string &url, int transport = 0)
{
    ST_ZOX_RTSP_CAMERA c;
    c.cid = 17;
    c.cname = "Gate";
    c.ip = "127.0.0.1";
    c.port = 554;
    c.main_url = url;
    c.transport = transport;
    return c;
}

TEST(RtspSessionRules, CSeqRingKeepsTheLastFiveRequests)
{
    CCameraSession s(Camera("rtsp://127.0.0.1/live"));
    EXPECT_EQ(s.NextCSeq("OPTIONS"), "2");
    EXPECT_EQ(s.NextCSeq("DESCRIBE"), "3");
    EXPECT_EQ(s.TakeCSeqMethod(3), "DESCRIBE");
    EXPECT_EQ(s.TakeCSeqMethod(3), ""); // taken once only
    for (const char *m : {"SETUP", "PLAY", "SET_PARAMETER", "TEARDOWN", "OPTIONS"})
        s.NextCSeq(m);
    // CSeq 2 has fallen out of the five newest; 4..8 are still known.
    EXPECT_EQ(s.TakeCSeqMethod(2), "");
    EXPECT_EQ(s.TakeCSeqMethod(4), "SETUP");
    EXPECT_EQ(s.TakeCSeqMethod(8), "OPTIONS");
    EXPECT_EQ(s.TakeCSeqMethod(99), "");
}

TEST(RtspSessionRules, SetupUrlAndTransport)
{
    struct Row {
        const char *url, *control, *expected;
    } rows[] = {
        {"rtsp://10.0.0.5/live", "track1", "rtsp://10.0.0.5/live/track1"},
        {"rtsp://10.0.0.5/live?", "track1", "rtsp://10.0.0.5/live/track1"},
        {"rtsp://10.0.0.5/live", "rtsp://10.0.0.5/live/trackID=0", "rtsp://10.0.0.5/live/trackID=0"},
        {"rtsp://10.0.0.5/live", "rtsp://10.0.0.9/other", "rtsp://10.0.0.5/live/rtsp://10.0.0.9/other"},
    };
    for (const Row &r : rows) {
        CCameraSession s(Camera(r.url));
        s.SetVideoControlForTest(r.control);
        EXPECT_EQ(s.BuildSetupUrl(), r.expected) << r.url << " + " << r.control;
    }
    CCameraSession tcp(Camera("rtsp://10.0.0.5/live", 1));
    EXPECT_EQ(tcp.BuildTransport(), "RTP/AVP/TCP;unicast;interleaved=0-1");
    CCameraSession udp(Camera("rtsp://10.0.0.5/live", 0));
    EXPECT_EQ(udp.BuildTransport(), "RTP/AVP;unicast;client_port=0-1");
}

struct VideoCase {
    const char *name;
    std::string media; // the m= line and its attributes
    bool found;
    int64_t codec;
    const char *sps, *pps, *vps, *control;
};

class RtspVideoDescription : public ::testing::TestWithParam<VideoCase> {};

TEST_P(RtspVideoDescription, Selects)
{
    const VideoCase &c = GetParam();
    std::string sdp = "v=0\r\no=- 1 1 IN IP4 127.0.0.1\r\ns=cam\r\nt=0 0\r\n" + c.media;
    tsdp_message_t *m = tsdp_message_parse(sdp.data(), sdp.size());
    ASSERT_NE(m, nullptr);
    CCameraSession s(Camera("rtsp://127.0.0.1/live"));
    EXPECT_EQ(s.ParseVideoMedia(m), c.found);
    if (c.found) {
        EXPECT_EQ(s.GetVideoCodec(), c.codec);
        EXPECT_EQ(s.GetSps(), c.sps);
        EXPECT_EQ(s.GetPps(), c.pps);
        EXPECT_EQ(s.GetVps(), c.vps);
        EXPECT_EQ(s.GetVideoControl(), c.control);
    }
    tsk_object_unref(m);
}

INSTANTIATE_TEST_SUITE_P(
    Descriptions, RtspVideoDescription,
    ::testing::Values(
        VideoCase{"h264_with_parameter_sets",
                  "m=video 0 RTP/AVP 96\r\na=rtpmap:96 H264/90000\r\n"
                  "a=fmtp:96 packetization-mode=1;sprop-parameter-sets= Z0LAHtkA , aM4G4g== ;profile-level-id=42C01E\r\n"
                  "a=control:track1\r\n",
                  true, 0x100000, "Z0LAHtkA", "aM4G4g==", "", "track1"},
        VideoCase{"parameter_sets_without_comma_taken_as_none",
                  "m=video 0 RTP/AVP 96\r\na=rtpmap:96 H264/90000\r\na=fmtp:96 sprop-parameter-sets=Z0LAHtkA\r\n"
                  "a=control:track1\r\n",
                  true, 0x100000, "", "", "", "track1"},
        VideoCase{"h265_with_its_three_sets",
                  "m=video 0 RTP/AVP 96\r\na=rtpmap:96 H265/90000\r\n"
                  "a=fmtp:96 sprop-vps=QAEMAf//;sprop-sps=QgEBAWA=;sprop-pps=RAHBcrA=\r\na=control:stream=0\r\n",
                  true, 0x8000000, "QgEBAWA=", "RAHBcrA=", "QAEMAf//", "stream=0"},
        VideoCase{"other_video_map_stays_h264", "m=video 0 RTP/AVP 97\r\na=rtpmap:97 MP4V-ES/90000\r\na=control:v\r\n", true,
                  0x100000, "", "", "", "v"},
        VideoCase{"without_control_not_found", "m=video 0 RTP/AVP 96\r\na=rtpmap:96 H264/90000\r\n", false, 0, "", "", "",
                  ""},
        VideoCase{"audio_only_not_found", "m=audio 0 RTP/AVP 8\r\na=control:a\r\n", false, 0, "", "", "", ""}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(RtspSessionRules, AudioDescriptionSelectsTheCodec)
{
    struct Row {
        const char *media;
        bool found;
        int64_t codec;
    } rows[] = {
        {"m=audio 0 RTP/AVP 8\r\na=rtpmap:96 AMR/8000/1\r\na=control:a\r\n", true, 32}, // format 8 wins
        {"m=audio 0 RTP/AVP 97\r\na=rtpmap:97 AMR/8000/1\r\na=control:a\r\n", true, 1},
        {"m=audio 0 RTP/AVP 97\r\na=rtpmap:97 amr/8000\r\na=control:a\r\n", true, 1}, // three items: AMR too
        {"m=audio 0 RTP/AVP 0\r\na=rtpmap:0 PCMU/8000\r\na=control:a\r\n", false, 0},
        {"m=audio 0 RTP/AVP 8\r\n", false, 32}, // no control
    };
    for (const Row &r : rows) {
        std::string sdp = std::string("v=0\r\no=- 1 1 IN IP4 127.0.0.1\r\ns=a\r\nt=0 0\r\n") + r.media;
        tsdp_message_t *m = tsdp_message_parse(sdp.data(), sdp.size());
        ASSERT_NE(m, nullptr) << r.media;
        CVehicleSession s("501", "Bus", "rtsp://127.0.0.1/a", "127.0.0.1", 554, 2);
        EXPECT_EQ(s.ParseAudioMedia(m), r.found) << r.media;
        EXPECT_EQ(s.GetAudioCodec(), r.codec) << r.media;
        tsk_object_unref(m);
    }
}

TEST(RtspSessionRules, SessionKeys)
{
    EXPECT_EQ(CRtspClient::MakeSessionKey(2, "17", 4), "##2@@4@@17##");
    EXPECT_EQ(CRtspClient::MakeSessionKey(1, "501", 2), "##1@@2@@501##");
}

TEST(RtspSessionRules, MalformedDescriptionsAreRefused)
{
    const std::string bad[] = {"", "hello", std::string("v=0\r\n\0x", 7), "v=0\r\ns=no media\r\n"};
    for (const std::string &b : bad)
        EXPECT_EQ(tsdp_message_parse(b.data(), b.size()), nullptr);
}

} // namespace
