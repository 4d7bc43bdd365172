#include "dispatch/CallStatusText.h"

#include "core/Edition.h"
#include "core/EditionText.h"

namespace zox::call {

std::string CallKindStatusText(int kind)
{
    switch (kind) {
    case 1: return ZoxText(EN_ZOX_TEXT::VoiceCalling);
    case 2: return ZoxText(EN_ZOX_TEXT::VideoCalling);
    case 3: return ZoxText(EN_ZOX_TEXT::PttCalling);
    default: return {};
    }
}

DispatchStatusView DispatchStatusFor(int kind, const std::string &object, const std::string &speaker)
{
    DispatchStatusView v;
    if (kind < 1 || kind > 3)
        return v;
    v.pictureShown = true;
    v.status = CallKindStatusText(kind);
    v.object = object;
    v.speaker = speaker;
    return v;
}

std::string UserObjectText(const std::string &name) { return ZoxText(EN_ZOX_TEXT::StatusUser) + name; }
std::string BargeUserObjectText(const std::string &name) { return ZoxText(EN_ZOX_TEXT::StatusUserBarge) + name; }
std::string GroupObjectText(const std::string &name) { return ZoxText(EN_ZOX_TEXT::StatusGroup) + name; }
std::string AdHocGroupObjectText() { return ZoxText(EN_ZOX_TEXT::StatusAdHocGroup); }

std::string OperationSpeakerText(EN_ZOX_OPERATION_TEXT op)
{
    switch (op) {
    case EN_ZOX_OPERATION_TEXT::Interrupt: return ZoxText(EN_ZOX_TEXT::SpeakerInterrupt);
    case EN_ZOX_OPERATION_TEXT::ForcedRelease: return ZoxText(EN_ZOX_TEXT::SpeakerForcedRel);
    case EN_ZOX_OPERATION_TEXT::Monitoring: return ZoxText(EN_ZOX_TEXT::SpeakerMonitoring);
    case EN_ZOX_OPERATION_TEXT::ApplySpeak: return ZoxText(EN_ZOX_TEXT::SpeakerApply);
    case EN_ZOX_OPERATION_TEXT::ReleaseSpeak: return ZoxText(EN_ZOX_TEXT::SpeakerRelease);
    }
    return {};
}

std::string TalkBurstSpeakerText(EN_ZOX_TALK_STATE state, bool monitoring, const std::string &speaker)
{
    switch (state) {
    case EN_ZOX_TALK_STATE::Idle:
        return ZoxText(monitoring ? EN_ZOX_TEXT::TalkMonitoring : EN_ZOX_TEXT::TalkIdle);
    case EN_ZOX_TALK_STATE::Taken:
        if (speaker.empty())
            return ZoxText(EN_ZOX_TEXT::TalkBusy);
        // The Chinese-language build names the speaker first.
        return zox::edition::kChinese ? speaker + ZoxText(EN_ZOX_TEXT::TalkSpeaker)
                                      : ZoxText(EN_ZOX_TEXT::TalkSpeaker) + speaker;
    case EN_ZOX_TALK_STATE::Granted: return ZoxText(EN_ZOX_TEXT::TalkGranted);
    case EN_ZOX_TALK_STATE::Denied: return ZoxText(EN_ZOX_TEXT::TalkDenied);
    case EN_ZOX_TALK_STATE::Cleared: return {};
    }
    return {};
}

} // namespace zox::call
