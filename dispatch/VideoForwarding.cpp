#include "dispatch/VideoForwarding.h"

#include <algorithm>

#include "core/Log.h"

namespace {

bool Contains(const std::vector<uint64_t> &ids, uint64_t id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// The four log texts of one kind of source ("camera" or "user").
struct ForwardTexts {
    const char *added;
    const char *addFailed;
    const char *removed;
    const char *removeFailed;
};

constexpr ForwardTexts kCameraTexts {
    "main: succeed to forward camera(%s) video to user(%s).",
    "main: failed to forward camera(%s) video to user(%s).",
    "main: succeed to cancel forwarding camera(%s) video to user(%s).",
    "main: failed to cancel forwarding camera(%s) video to user(%s).",
};
constexpr ForwardTexts kUserTexts {
    "main: succeed to forward user(%s) video to user(%s).",
    "main: failed to forward user(%s) video to user(%s).",
    "main: succeed to cancel forwarding user(%s) video to user(%s).",
    "main: failed to cancel forwarding user(%s) video to user(%s).",
};

} // namespace

std::vector<uint64_t> CVideoForwarding::ForwardIds(tmedia_session_mgr_t *source)
{
    uint64_t ids[kMaxForwards] = {};
    const int n = m_host.GetVideoForwardSid(source, ids, kMaxForwards);
    return std::vector<uint64_t>(ids, ids + std::clamp(n, 0, kMaxForwards));
}

std::vector<CDispatchSession *> CVideoForwarding::ConnectedVideoCalls() const
{
    std::vector<CDispatchSession *> calls;
    m_host.Lines().CollectVideoCallSessions(calls);
    return calls;
}

tmedia_session_mgr_t *CVideoForwarding::FindSource(int userType, const std::string &number, int service)
{
    if (service == kForwardRtsp)
        return m_host.RtspMediaSession(userType, number);
    if (service == kForwardCall) {
        ST_ZOX_DISPATCH_LINE_INFO *line = m_host.Lines().FindVideoCallLine(number);
        return line && line->session ? m_host.CallMediaSession(*line->session) : nullptr;
    }
    return nullptr;
}

void CVideoForwarding::BuildForwardUserList(tmedia_session_mgr_t *source, ST_VECT_USER_SELECT &list)
{
    const std::vector<uint64_t> ids = ForwardIds(source);
    list.clear();
    for (CDispatchSession *s : ConnectedVideoCalls()) {
        const std::string member = s->GetFirstMember();
        if (member.empty())
            continue;
        ST_USER_SELECT_ITEM item;
        item.text = member;
        const uint64_t sid = s->GetMediaSessionId();
        item.preset = sid != 0 && Contains(ids, sid);
        list.push_back(item);
    }
}

void CVideoForwarding::OnForwardVideo(int userType, const std::string &number, int service)
{
    if (service == kForwardUpload) {
        ForwardUserVideo(number);
        return;
    }
    tmedia_session_mgr_t *source = FindSource(userType, number, service);
    if (!source)
        return;
    ST_VECT_USER_SELECT list;
    BuildForwardUserList(source, list);
    if (!m_host.PickForwardUsers(list))
        return;
    // Sessions may have ended while the dialog was open.
    source = FindSource(userType, number, service);
    if (!source)
        return;
    const ForwardTexts &texts = service == kForwardRtsp ? kCameraTexts : kUserTexts;
    for (const ST_USER_SELECT_ITEM &item : list) {
        if (item.checked == item.preset)
            continue;
        ST_ZOX_DISPATCH_LINE_INFO *line = m_host.Lines().FindVideoCallLine(item.text);
        tmedia_session_mgr_t *target = line && line->session ? m_host.CallMediaSession(*line->session) : nullptr;
        if (!target)
            continue;
        if (item.checked) {
            const int rc = m_host.AddVideoForward(source, target);
            WriteLog(rc == 0 ? texts.added : texts.addFailed, number.c_str(), item.text.c_str());
        } else {
            const int rc = m_host.RemoveVideoForward(source, target);
            WriteLog(rc == 0 ? texts.removed : texts.removeFailed, number.c_str(), item.text.c_str());
        }
    }
}

void CVideoForwarding::ForwardUserVideo(const std::string &number)
{
    if (number.empty() || !m_host.Lines().FindVideoUploadLine(number))
        return;
    std::vector<std::string> chosen;
    if (!m_host.PickPushTargets(number, chosen) || chosen.empty())
        return;
    ST_ZOX_DISPATCH_LINE_INFO *line = m_host.Lines().FindVideoUploadLine(number);
    if (!line || !line->session)
        return;
    CDispatchSession *upload = line->session;
    tmedia_session_mgr_t *source = m_host.CallMediaSession(*upload);
    if (!source)
        return;
    const std::vector<uint64_t> ids = ForwardIds(source);
    const std::vector<CDispatchSession *> calls = ConnectedVideoCalls();
    for (std::size_t i = chosen.size(); i-- > 0;) {
        auto call = std::find_if(calls.begin(), calls.end(),
                                 [&](const CDispatchSession *s) { return s->HasMember(chosen[i]); });
        if (call == calls.end())
            continue;
        const std::string target = chosen[i];
        chosen.erase(chosen.begin() + std::ptrdiff_t(i));
        if (Contains(ids, (*call)->GetMediaSessionId()))
            continue;
        tmedia_session_mgr_t *media = m_host.CallMediaSession(**call);
        if (!media)
            continue;
        const int rc = m_host.AddVideoForward(source, media);
        WriteLog(rc == 0 ? kUserTexts.added : kUserTexts.addFailed, number.c_str(), target.c_str());
    }
    if (!chosen.empty())
        SendVpNotify(m_host.SessionHost(), *upload, std::move(chosen));
}
