#pragma once
// The console's own audio channel of a video conference: a voice call from a free line
// to the console's own number that also sends the console's camera, opened when the
// first video call connects and released when the last one ends. The connected video
// calls are its video-share sources: their video goes out on the channel.
// User-interface thread only.
#include <string>

#include "dispatch/DispatchLineTable.h"
#include "dispatch/DispatchSession.h"

class CVideoConfAudio {
public:
    CVideoConfAudio(CDispatchLineTable &lines, IDispatchSessionHost &sessions)
        : m_lines(lines), m_sessions(sessions)
    {
    }

    // True while a busy voice line flagged as the channel carries a session.
    bool HasChannel() const;
    // The first line in a state other than `skipState` and idle, voice, flagged as the
    // channel and carrying a session; null when none.
    ST_ZOX_DISPATCH_LINE_INFO *FindChannelLine(int32_t skipState = -1) const;

    // Opens the channel on a free line: 0, or -1 no free line, -2 no instance number
    // left, -3 the set-up request was not sent.
    int Setup(const std::string &ownNumber);
    // Sends the channel's release: 0, or -1 no channel, -2 the request was not sent.
    int Release();
    // A video call's media opened or closed: it joins or leaves the channel's video
    // shares. 0, or -1 without a channel or without media on either side.
    int AddShare(CDispatchSession &call);
    int RemoveShare(CDispatchSession &call);

private:
    CDispatchLineTable &m_lines;
    IDispatchSessionHost &m_sessions;
};
