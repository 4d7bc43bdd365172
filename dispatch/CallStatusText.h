#pragma once
// The texts of the main window's status bar: the call-kind pane, the object pane (who
// the call is with), the operation texts of the speaker pane, and what the bar shows
// for a call kind. Texts come from the edition text table. (The talk-burst texts of
// the speaker pane are the incoming signalling's, SpeakerPaneText.)
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

} // namespace zox::call
