#pragma once
// The texts of the main window's status bar: the call-kind pane, the object pane (who
// the call is with), the speaker pane (the operation or the talk-burst state), and
// what the bar shows for a call kind. Texts come from the edition text table.
#include <string>

namespace zox::call {

// What the three panes and the call picture show after ShowDispatchStatus.
struct DispatchStatusView {
    bool pictureShown = false;
    std::string status;
    std::string object;
    std::string speaker;
};

// Kinds 1 (voice), 2 (video) and 3 (PTT) show the picture and the kind's text with the
// given object and speaker texts; any other kind hides the picture and empties all
// three panes.
DispatchStatusView DispatchStatusFor(int kind, const std::string &object, const std::string &speaker);
// "Voice Calling ...", "Video Calling ...", "PTT Calling ..."; empty for other kinds.
std::string CallKindStatusText(int kind);

// Object pane.
std::string UserObjectText(const std::string &name);       // "User: " + name
std::string BargeUserObjectText(const std::string &name);  // "User：" + name (intrusion, forced
                                                           // release, monitoring, answered calls)
std::string GroupObjectText(const std::string &name);      // "Group: " + name
std::string AdHocGroupObjectText();                        // "Group: Ad hoc"

// Speaker pane: the texts of the operations.
enum class EN_ZOX_OPERATION_TEXT { Interrupt, ForcedRelease, Monitoring, ApplySpeak, ReleaseSpeak };
std::string OperationSpeakerText(EN_ZOX_OPERATION_TEXT op);

// Speaker pane: the talk-burst states.
enum class EN_ZOX_TALK_STATE { Idle, Taken, Granted, Denied, Cleared };
// monitoring: the call is a monitoring session (idle then reads "Monitoring...");
// speaker: the name of who took the right to speak (may be empty).
std::string TalkBurstSpeakerText(EN_ZOX_TALK_STATE state, bool monitoring, const std::string &speaker);

} // namespace zox::call
