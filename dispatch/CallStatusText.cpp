#include "dispatch/CallStatusText.h"

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

std::string UserObjectText(const std::string &name) { return ZoxText(EN_ZOX_TEXT::StatusUserPrefix) + name; }
std::string BargeUserObjectText(const std::string &name) { return ZoxText(EN_ZOX_TEXT::StatusUserPrefixWide) + name; }
std::string GroupObjectText(const std::string &name) { return ZoxText(EN_ZOX_TEXT::StatusGroupPrefix) + name; }
std::string AdHocGroupObjectText() { return ZoxText(EN_ZOX_TEXT::StatusAdHocGroup); }

std::string OperationSpeakerText(EN_ZOX_OPERATION_TEXT op)
{
    switch (op) {
    case EN_ZOX_OPERATION_TEXT::Interrupt: return ZoxText(EN_ZOX_TEXT::StatusInterruptCall);
    case EN_ZOX_OPERATION_TEXT::ForcedRelease: return ZoxText(EN_ZOX_TEXT::StatusForcedRelease);
    case EN_ZOX_OPERATION_TEXT::Monitoring: return ZoxText(EN_ZOX_TEXT::StatusMonitoring);
    case EN_ZOX_OPERATION_TEXT::ApplySpeak: return ZoxText(EN_ZOX_TEXT::StatusApplySpeak);
    case EN_ZOX_OPERATION_TEXT::ReleaseSpeak: return ZoxText(EN_ZOX_TEXT::StatusReleaseSpeak);
    }
    return {};
}

} // namespace zox::call
