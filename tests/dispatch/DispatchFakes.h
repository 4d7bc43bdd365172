#pragma once
// Fakes of what the dispatch sessions and lines reach: the link (recording what is
// sent), the media layer, the cache, the tiles, and line timers on a clock the test
// advances.
#include <arpa/inet.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <memory>
#include <string>
#include <vector>

#include "dispatch/DispatchLineTable.h"
#include "dispatch/DispatchSession.h"

namespace zoxtest {

struct FakeMediaSetup {
    bool create = true;
    uint16_t audioPort = 4000;
    uint16_t videoPort = 5000;
    int startResult = 0;
    int talkBurstResult = 0;
    uint64_t videoId = 77;
};

// The video shares made between fake media, as (sharing id, shared id, added).
struct FakeShare {
    uint64_t sharing;
    uint64_t shared;
    bool added;
    bool operator==(const FakeShare &) const = default;
};

class FakeMedia : public IDispatchMedia {
public:
    FakeMedia(const FakeMediaSetup &setup, int &starts, int &released, std::vector<uint8_t> *bursts = nullptr)
        : m_setup(setup), m_starts(starts), m_released(released), m_bursts(bursts)
    {
    }
    ~FakeMedia() override { ++m_released; }
    uint16_t LocalAudioPort() const override { return m_setup.audioPort; }
    uint16_t LocalVideoPort() const override { return m_setup.videoPort; }
    int Start() override
    {
        ++m_starts;
        return m_setup.startResult;
    }
    int SendTalkBurst(uint8_t subtype) override
    {
        if (!m_bursts || m_setup.talkBurstResult != 0)
            return -1;
        m_bursts->push_back(subtype);
        return 0;
    }
    uint64_t VideoSessionId() const override { return m_setup.videoId; }
    int AddVideoShare(IDispatchMedia &other) override { return Share(other, true); }
    int RemoveVideoShare(IDispatchMedia &other) override { return Share(other, false); }

    std::vector<FakeShare> *shares = nullptr;

private:
    int Share(IDispatchMedia &other, bool added)
    {
        if (!shares)
            return -1;
        shares->push_back({VideoSessionId(), other.VideoSessionId(), added});
        return 0;
    }

    FakeMediaSetup m_setup;
    int &m_starts;
    int &m_released;
    std::vector<uint8_t> *m_bursts;
};

class FakeSessionHost : public IDispatchSessionHost {
public:
    static constexpr uint32_t kOwnId = 0x0A0B0C0D;

    int SendUdp(const uint8_t *data, std::size_t length) override
    {
        sent.emplace_back(data, data + length);
        return sendResult < 0 ? sendResult : (sendResult == 0 ? 0 : int(length));
    }
    CSessionInstancePool &InstancePool() override { return pool; }
    uint32_t OwnUserId() const override { return kOwnId; }
    uint32_t LocalIp() const override { return inet_addr("10.1.2.3"); }
    std::unique_ptr<IDispatchMedia> CreateMedia(CDispatchSession &) override
    {
        if (!media.create)
            return nullptr;
        FakeMediaSetup setup = media;
        if (nextVideoId != 0)
            setup.videoId = nextVideoId++;
        auto m = std::make_unique<FakeMedia>(setup, mediaStarts, mediaReleased, &talkBursts);
        m->shares = &shares;
        return m;
    }
    bool GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user) override
    {
        auto it = users.find(number);
        if (it == users.end())
            return false;
        user = it->second;
        return true;
    }
    void StartRingBack() override { ++ringBacks; }
    std::string SelectedUserNumber() const override { return selected; }
    void HideLocalPreview() override { ++previewHidden; }
    void RemoveConferenceVideoShare(CDispatchSession &) override { ++sharesRemoved; }

    void AddUser(const std::string &number, const std::string &name, uint32_t callState = 0,
                 const std::string &callRef = "")
    {
        ST_ZOX_SYSTEM_USER u;
        u.userNumber = number;
        u.displayName = name;
        u.callState = callState;
        u.callRef = callRef;
        users[number] = u;
    }

    CSessionInstancePool pool;
    std::vector<std::vector<uint8_t>> sent;
    int sendResult = 1; // 1: the whole datagram; 0 or below: that result
    FakeMediaSetup media;
    uint64_t nextVideoId = 0; // not 0: each media gets the next id (else media.videoId)
    std::vector<FakeShare> shares;
    int mediaStarts = 0;
    int mediaReleased = 0;
    std::vector<uint8_t> talkBursts; // talk-burst subtypes sent on any call's media
    std::map<std::string, ST_ZOX_SYSTEM_USER> users;
    int ringBacks = 0;
    std::string selected;
    int previewHidden = 0;
    int sharesRemoved = 0;
};

class FakeTile : public IDispatchTile {
public:
    void SetState(int s) override { states.push_back(s); }
    std::string GetUserNumber() const override { return number; }
    void Click() override { ++clicks; }
    void Deselect() override { ++deselects; }
    std::string number;
    std::vector<int> states;
    int clicks = 0;
    int deselects = 0;
};

// Line timers on a manual clock: Advance(ms) fires every timer whose period has run out,
// in time order; a repeating timer fires again each period until stopped.
class ManualClock {
public:
    class Timer : public ILineTimer {
    public:
        Timer(ManualClock &clock, std::function<void()> fire) : m_clock(clock), m_fire(std::move(fire)) {}
        ~Timer() override { m_clock.Forget(this); }
        void Start(int periodMs) override
        {
            m_period = periodMs;
            m_due = m_clock.now + periodMs;
            m_active = true;
        }
        void Stop() override { m_active = false; }
        bool IsActive() const override { return m_active; }
        int Period() const override { return m_period; }

    private:
        friend class ManualClock;
        ManualClock &m_clock;
        std::function<void()> m_fire;
        int m_period = 0;
        int64_t m_due = 0;
        bool m_active = false;
    };

    std::unique_ptr<ILineTimer> Make(std::function<void()> fire)
    {
        auto t = std::make_unique<Timer>(*this, std::move(fire));
        m_timers.push_back(t.get());
        return t;
    }

    void Advance(int64_t ms)
    {
        const int64_t end = now + ms;
        for (;;) {
            Timer *next = nullptr;
            for (Timer *t : m_timers)
                if (t->m_active && t->m_due <= end && (!next || t->m_due < next->m_due))
                    next = t;
            if (!next)
                break;
            now = next->m_due;
            next->m_due += std::max(1, next->m_period);
            next->m_fire();
        }
        now = end;
    }

    int64_t now = 0;

private:
    void Forget(Timer *t) { m_timers.erase(std::remove(m_timers.begin(), m_timers.end(), t), m_timers.end()); }
    std::vector<Timer *> m_timers;
};

class FakeLineHost : public IDispatchLineHost {
public:
    std::unique_ptr<ILineTimer> CreateLineTimer(std::function<void()> onTimeout) override
    {
        return clock.Make(std::move(onTimeout));
    }
    void StopRingIn() override { ++ringInStops; }
    void StopRingBack() override { ++ringBackStops; }
    void OnCallLineStateChanged(int32_t o, int32_t n) override { progress.push_back({o, n}); }
    void ClearDispatchStatus() override { ++statusCleared; }
    void UpdateOperateButtons() override { ++buttonRefreshes; }
    void ReleaseVideoConfAudio() override { ++confAudioReleases; }
    bool IsLineUser(const std::string &line, const std::string &ref) const override
    {
        return lineUsers.count(line + "/" + ref) != 0;
    }
    bool IsVideoEnabled() const override { return videoEnabled; }

    ManualClock clock;
    int ringInStops = 0;
    int ringBackStops = 0;
    std::vector<std::pair<int, int>> progress;
    int statusCleared = 0;
    int buttonRefreshes = 0;
    int confAudioReleases = 0;
    std::set<std::string> lineUsers;
    bool videoEnabled = true;
};

} // namespace zoxtest
