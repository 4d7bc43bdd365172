#include "dispatch/VideoPushAlerts.h"

#include <cstdio>

#include "core/EditionText.h"
#include "core/Log.h"

std::string VpCountdownCaption(int seconds)
{
    char text[64];
    std::snprintf(text, sizeof text, seconds < 10 ? "%s(0%d)" : "%s(%d)", ZoxText(EN_ZOX_TEXT::Decline),
                  seconds);
    return text;
}

bool CVpAlertState::Tick()
{
    if (m_acted)
        return false;
    --m_seconds;
    return m_seconds <= 0;
}

bool CVpAlertState::TakeAction()
{
    if (m_acted)
        return false;
    m_acted = true;
    return true;
}

bool DeclineVpAlert(IVpAlertActions &actions, CVpAlertState &alert)
{
    if (!alert.TakeAction())
        return false;
    actions.SendStopVpNotify(alert.GetSourceId(), alert.GetDestId(), alert.GetUserNumber());
    return true;
}

bool AcceptVpAlert(IVpAlertActions &actions, CVpAlertState &alert)
{
    if (!alert.TakeAction())
        return false;
    const int rc = actions.StartVideoUpload(alert.GetUserNumber(), alert.GetUserName(), int32_t(alert.GetSourceId()));
    if (rc != 0) {
        WriteLog("main: start video upload of user(%s) failed(%d), push refused.", alert.GetUserNumber().c_str(), rc);
        actions.SendStopVpNotify(alert.GetSourceId(), alert.GetDestId(), alert.GetUserNumber());
    }
    return true;
}
