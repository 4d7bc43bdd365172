#include "video/RtspStateTables.h"

namespace {
constexpr unsigned C = 1, V = 2, A = 4;
struct Row {
    ST_ZOX_RTSP_TRANSITION t;
    unsigned tables;
};
constexpr int ANY = kRtspAnyState;

const Row kRows[] = {
    {{0, 0, ZOX_RTSP_COND_ALWAYS, 1, ZOX_RTSP_ACT_POST_OPTIONS, "send_options_request"}, C | V | A},
    {{1, 6, ZOX_RTSP_COND_ALWAYS, 2, ZOX_RTSP_ACT_OPTIONS_REPLY, "recv_options_reply"}, C | V | A},
    {{2, 8, ZOX_RTSP_COND_ALWAYS, 1, ZOX_RTSP_ACT_POST_OPTIONS, "send_options_challenge"}, C | V | A},
    {{2, 9, ZOX_RTSP_COND_ALWAYS, 15, ZOX_RTSP_ACT_TERMINATE, "options_error_terminated"}, C | V | A},
    {{2, 7, ZOX_RTSP_COND_ALWAYS, 3, ZOX_RTSP_ACT_POST_DESCRIBE, "send_describe_request"}, C | V | A},
    {{3, 10, ZOX_RTSP_COND_ALWAYS, 4, ZOX_RTSP_ACT_DESCRIBE_REPLY, "recv_describe_reply"}, C | V | A},
    {{4, 12, ZOX_RTSP_COND_ALWAYS, 3, ZOX_RTSP_ACT_POST_DESCRIBE, "send_describe_challenge"}, C | V | A},
    {{4, 13, ZOX_RTSP_COND_ALWAYS, 15, ZOX_RTSP_ACT_TERMINATE, "describe_error_terminated"}, C | V | A},
    {{4, 11, ZOX_RTSP_COND_ALWAYS, 6, ZOX_RTSP_ACT_POST_SETUP, "send_setup_video_request"}, C | V},
    {{4, 11, ZOX_RTSP_COND_ALWAYS, 5, ZOX_RTSP_ACT_POST_SETUP, "send_setup_audio_request"}, A},
    {{6, 14, ZOX_RTSP_COND_ALWAYS, 8, ZOX_RTSP_ACT_SETUP_VIDEO_REPLY, "recv_setup_video_reply"}, C | V},
    {{5, 14, ZOX_RTSP_COND_ALWAYS, 7, ZOX_RTSP_ACT_SETUP_AUDIO_REPLY, "recv_setup_audio_reply"}, A},
    {{8, 16, ZOX_RTSP_COND_ALWAYS, 14, ZOX_RTSP_ACT_POST_TEARDOWN, "setup_error_teardown"}, C | V},
    {{7, 18, ZOX_RTSP_COND_ALWAYS, 14, ZOX_RTSP_ACT_POST_TEARDOWN, "setup_error_teardown"}, A},
    {{8, 15, ZOX_RTSP_COND_ALWAYS, 9, ZOX_RTSP_ACT_POST_PLAY, "send_play_request"}, C | V},
    {{7, 17, ZOX_RTSP_COND_ALWAYS, 9, ZOX_RTSP_ACT_POST_PLAY, "send_play_request"}, A},
    {{9, 19, ZOX_RTSP_COND_ALWAYS, 10, ZOX_RTSP_ACT_PLAY_REPLY, "recv_play_reply"}, C | V | A},
    {{10, 20, ZOX_RTSP_COND_ALWAYS, 11, ZOX_RTSP_ACT_OPEN_MEDIA, "open_media_session"}, C | V | A},
    {{10, 21, ZOX_RTSP_COND_ALWAYS, 14, ZOX_RTSP_ACT_POST_TEARDOWN, "play_error_teardown"}, C | V | A},
    {{11, 24, ZOX_RTSP_COND_ALWAYS, 12, ZOX_RTSP_ACT_NOTHING, "video_playing"}, C | V},
    {{11, 24, ZOX_RTSP_COND_ALWAYS, 12, ZOX_RTSP_ACT_POST_SET_PARAMETER, "audio_playing"}, A},
    {{11, 25, ZOX_RTSP_COND_ALWAYS, 14, ZOX_RTSP_ACT_POST_TEARDOWN, "media_fail_teardown"}, C | V | A},
    {{12, 30, ZOX_RTSP_COND_ALWAYS, 13, ZOX_RTSP_ACT_POST_TEARDOWN, "playing_teardown"}, C},
    {{13, 29, ZOX_RTSP_COND_ALWAYS, 3, ZOX_RTSP_ACT_POST_REBUILD, "playing_rebuild"}, C},
    {{14, 29, ZOX_RTSP_COND_ALWAYS, 15, ZOX_RTSP_ACT_TERMINATE, "teardown_terminated"}, C | V | A},
    {{ANY, 26, ZOX_RTSP_COND_ALWAYS, ANY, ZOX_RTSP_ACT_NOTHING, "recv_set_parameter_reply"}, A},
    {{ANY, 4, ZOX_RTSP_COND_CAN_REBUILD, 3, ZOX_RTSP_ACT_POST_REBUILD, "transport_close_rebuild"}, C},
    {{ANY, 4, ZOX_RTSP_COND_ALWAYS, 15, ZOX_RTSP_ACT_TERMINATE, "transport_close_terminated"}, V | A},
    {{ANY, 1, ZOX_RTSP_COND_IS_SET_UP, 14, ZOX_RTSP_ACT_POST_TEARDOWN, "any_stop_teardown"}, C | V | A},
    {{ANY, 1, ZOX_RTSP_COND_IS_NOT_SET_UP, 15, ZOX_RTSP_ACT_TERMINATE, "any_stop_terminate"}, C | V | A},
    {{ANY, 28, ZOX_RTSP_COND_ALWAYS, ANY, ZOX_RTSP_ACT_NOTHING, "recv_teardown_reply"}, C | V | A},
    {{ANY, 3, ZOX_RTSP_COND_IS_SET_UP, 14, ZOX_RTSP_ACT_POST_TEARDOWN, "any_timeout_teardown"}, C | V | A},
    {{ANY, 3, ZOX_RTSP_COND_IS_NOT_SET_UP, 15, ZOX_RTSP_ACT_TERMINATE, "any_timeout_terminate"}, C | V | A},
};
} // namespace

std::vector<ST_ZOX_RTSP_TRANSITION> RtspTransitionTable(EN_ZOX_RTSP_TABLE table)
{
    unsigned bit = table == ZOX_RTSP_TABLE_CAMERA ? C : table == ZOX_RTSP_TABLE_VEHICLE_VIDEO ? V : A;
    std::vector<ST_ZOX_RTSP_TRANSITION> rows;
    for (const Row &r : kRows)
        if (r.tables & bit)
            rows.push_back(r.t);
    return rows;
}
