// The main window's call operations: its methods forward to CCallOperations, and
// CMainOperationsHost gives the operations what they need of the window (the
// selection, the cache, the video wall, the status panes, the call progress panel,
// the dial pad, the add-to menu, the chat program). The quick-action and task buttons
// are bound to the operations here.
#include "console/CurrentSelection.h"
#include "console/MainListCache.h"
#include "console/ui/Callprogressfrm.h"
#include "console/ui/Dialpanelfrm.h"
#include "console/ui/Mainfrm.h"
#include "console/ui/SkinPanel.h"
#include "console/ui/TButtonCtrl.h"
#include "console/ui/TMultiImageCtrl.h"
#include "console/ContactsDb.h"
#include "core/EditionText.h"
#include "core/Log.h"
#include "core/SessionIdentity.h"
#include "core/net/NetFacade.h"
#include "console/ui/MainOperationsHost.h"
#include "dispatch/CallOperations.h"
#include "video/RtspClient.h"

#include <QAction>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTimer>

CCallOperations &TMainForm::Operations()
{
    if (!m_ops) {
        m_opsHost = std::make_unique<CMainOperationsHost>(*this);
        m_ops = std::make_unique<CCallOperations>(*m_opsHost);
    }
    return *m_ops;
}

void TMainForm::BindOperationActions()
{
    Operations();
    using Action = void (TMainForm::*)();
    static constexpr Action kActions[kOperateButtonCount] = {
        &TMainForm::StartGroupVideoUpload,
        &TMainForm::StopGroupVideoUpload,
        &TMainForm::StartGroupPttCall,
        &TMainForm::JoinGroupPttCall,
        &TMainForm::ReleaseGroupPttCall,
        &TMainForm::StartGroupVoiceConference,
        &TMainForm::StartGroupVideoConference,
        &TMainForm::ReleaseConference,
        &TMainForm::AddUserToGroupCall,
        &TMainForm::BeginGroupChat,
        &TMainForm::StartSelectedUserVideoUpload,
        &TMainForm::StopSelectedUserVideoUpload,
        &TMainForm::StartSelectedUserPttCall,
        &TMainForm::StartSelectedUserVoiceCall,
        &TMainForm::StartSelectedUserVideoCall,
        &TMainForm::ForceHangupSelectedUser,
        &TMainForm::IntrudeSelectedUser,
        &TMainForm::ForceReleaseSelectedUser,
        &TMainForm::MonitorSelectedUser,
        &TMainForm::ShowAddToMenu,
        &TMainForm::KillSelectedTerminal,
        &TMainForm::ReviveSelectedTerminal,
        &TMainForm::PlaySelectedVideo,
        &TMainForm::BeginUserChat,
    };
    for (int i = 0; i < kOperateButtonCount; ++i)
        if (m_operateMap[i].button)
            m_operateMap[i].button->SetOnClick([this, a = kActions[i]](TButtonCtrl *) { (this->*a)(); });

    // Chat, end calls, speak (held: the right to speak), dial pad.
    if (TMultiImageCtrl *b = m_taskButtons[0].button)
        b->SetOnClick([this](QLabel *) { StartChatProgram(); });
    if (TMultiImageCtrl *b = m_taskButtons[1].button)
        b->SetOnClick([this](QLabel *) { EndAllCalls(); });
    if (TMultiImageCtrl *b = m_taskButtons[2].button) {
        b->SetOnMouseDown([this](QLabel *) { RequestTalkBurst(); });
        b->SetOnMouseUp([this](QLabel *) { ReleaseTalkBurst(); });
    }
    if (TMultiImageCtrl *b = m_taskButtons[3].button)
        b->SetOnClick([this](QLabel *) { ToggleDialPanel(); });
}

// ------------------------------------------------------------------ quick actions

void TMainForm::StartGroupVideoUpload() { Operations().StartGroupVideoUpload(); }
void TMainForm::StopGroupVideoUpload() { Operations().StopGroupVideoUpload(); }
void TMainForm::StartGroupPttCall() { Operations().StartGroupPttCall(); }
void TMainForm::JoinGroupPttCall() { Operations().JoinGroupPttCall(); }
void TMainForm::ReleaseGroupPttCall() { Operations().ReleaseGroupPttCall(); }
void TMainForm::StartGroupVoiceConference() { Operations().StartGroupVoiceConference(); }
void TMainForm::StartGroupVideoConference() { Operations().StartGroupVideoConference(); }
void TMainForm::ReleaseConference() { Operations().ReleaseConference(); }
void TMainForm::AddUserToGroupCall() { Operations().AddUserToGroupCall(); }
void TMainForm::BeginGroupChat() { Operations().BeginGroupChat(); }
void TMainForm::StartSelectedUserVideoUpload() { Operations().StartSelectedUserVideoUpload(); }
void TMainForm::StopSelectedUserVideoUpload() { Operations().StopSelectedUserVideoUpload(); }
void TMainForm::StartSelectedUserPttCall() { Operations().StartSelectedUserPttCall(); }
void TMainForm::StartSelectedUserVoiceCall() { Operations().StartSelectedUserVoiceCall(); }
void TMainForm::StartSelectedUserVideoCall() { Operations().StartSelectedUserVideoCall(); }
void TMainForm::ForceHangupSelectedUser() { Operations().ForceHangupSelectedUser(); }
void TMainForm::IntrudeSelectedUser() { Operations().IntrudeSelectedUser(); }
void TMainForm::ForceReleaseSelectedUser() { Operations().ForceReleaseSelectedUser(); }
void TMainForm::MonitorSelectedUser() { Operations().MonitorSelectedUser(); }
void TMainForm::KillSelectedTerminal() { Operations().KillSelectedTerminal(); }
void TMainForm::ReviveSelectedTerminal() { Operations().ReviveSelectedTerminal(); }
void TMainForm::BeginUserChat() { Operations().BeginUserChat(); }

void TMainForm::ShowAddToMenu()
{
    const std::vector<ST_ZOX_ADDTO_ITEM> items = Operations().BuildAddToMenu();
    QMenu *menu = m_opsHost->AddToMenu();
    menu->clear();
    if (items.empty())
        return;
    for (const ST_ZOX_ADDTO_ITEM &i : items) {
        if (i.separator) {
            menu->addSeparator();
            continue;
        }
        QAction *a = menu->addAction(QString::fromStdString(i.caption));
        a->setData(QVariant::fromValue<uint>(i.tag));
    }
    // Beside the "Join..." button: 2 pixels right of it, 5 below its top.
    QWidget *join = m_operateMap[19].button;
    const QPoint at = join ? join->mapToGlobal(QPoint(join->width() + 2, 5)) : QCursor::pos();
    menu->popup(at);
}

void TMainForm::OnPopupMenuAddtoClick(QAction *item)
{
    if (item)
        Operations().OnAddToMenuItem(item->text().toStdString(), item->data().toUInt());
}

void TMainForm::PlaySelectedVideo()
{
    TVideoWndCtrl *tile = GetFreeVideoWindow();
    if (!tile || !g_pRtspClient)
        return;
    g_pRtspClient->PlayVideo(CurrentSelection.targetType, CurrentSelection.user.userNumber, tile);
}

void TMainForm::StopRtspVideo(int userType, const std::string &number)
{
    if (g_pRtspClient)
        g_pRtspClient->StopVideo(userType, number);
}

// ------------------------------------------------------------------ lines and numbers

int TMainForm::StartVideoUpload(const std::string &number, const std::string &name, int32_t instance)
{
    return Operations().StartVideoUpload(number, name, instance);
}
void TMainForm::HangupLine(ST_ZOX_DISPATCH_LINE_INFO *line) { Operations().HangupLine(line); }
void TMainForm::HangupVideoWindow(const std::string &number, const std::string &name)
{
    Operations().HangupVideoWindow(number, name);
}
void TMainForm::StopVideoUploadOfWindow(const std::string &number, const std::string &name)
{
    Operations().StopVideoUploadOfWindow(number, name);
}
void TMainForm::ReleaseGroupPttLine(ST_ZOX_DISPATCH_LINE_INFO *line) { Operations().ReleaseGroupPttLine(line); }
void TMainForm::ExitPttSession() { Operations().ExitPttSession(); }
void TMainForm::ReleaseConferenceLine(ST_ZOX_DISPATCH_LINE_INFO *line) { Operations().ReleaseConferenceLine(line); }
void TMainForm::AddUserToPttCall(uint32_t groupId, const std::string &number, const std::string &name)
{
    Operations().AddUserToPttCall(groupId, number, name);
}
void TMainForm::AddConferenceMember(ST_ZOX_DISPATCH_LINE_INFO *line, const std::string &number,
                                    const std::string &name)
{
    Operations().AddConferenceMember(line, number, name);
}
void TMainForm::HangupVideoCalls() { Operations().HangupVideoCalls(); }

void TMainForm::RequestTalkBurst() { Operations().RequestTalkBurst(); }
void TMainForm::ReleaseTalkBurst() { Operations().ReleaseTalkBurst(); }
void TMainForm::EndAllCalls() { Operations().EndAllCalls(); }
void TMainForm::StartChatProgram() { Operations().StartChatProgram(); }
void TMainForm::ToggleDialPanel()
{
    Operations();
    m_opsHost->ToggleDialPanel();
    UpdateOperateButtons();
}

void TMainForm::StartPttCall(const std::string &number) { Operations().StartPttCall(number); }
void TMainForm::StartPttGroupCall(const std::vector<std::string> &numbers) { Operations().StartPttGroupCall(numbers); }
void TMainForm::StartVoiceGroupCall(const std::vector<std::string> &numbers)
{
    Operations().StartVoiceGroupCall(numbers);
}
void TMainForm::StartVoiceConference(const std::vector<std::string> &numbers)
{
    Operations().StartVoiceConference(numbers);
}
int TMainForm::StartVoiceCall(const std::string &number) { return Operations().StartVoiceCall(number); }
void TMainForm::StartVideoCall(const std::string &number) { Operations().StartVideoCall(number); }
void TMainForm::StartVideoGroupCall(const std::vector<std::string> &numbers)
{
    Operations().StartVideoGroupCall(numbers);
}
void TMainForm::StartUserVideoUpload(const std::string &number) { Operations().StartUserVideoUpload(number); }

// ------------------------------------------------------------------ call progress and dial pad

void TMainForm::ShowCallProgress(const std::string &number) { Operations().ShowCallProgress(number); }
void TMainForm::SetCallProgressStatus(const std::string &text, int mode)
{
    Operations().SetCallProgressStatus(text, mode);
}

void TMainForm::DialFromDialPanel()
{
    Operations();
    std::string number;
    if (!m_opsHost->TakeDialNumber(number))
        return;
    Operations().DialNumber(number);
    UpdateOperateButtons();
}

void TMainForm::DialNumber(const std::string &number)
{
    Operations().DialNumber(number);
    UpdateOperateButtons();
}

void TMainForm::RedialCallProgress() { Operations().RedialCallProgress(); }
void TMainForm::HideCallProgress()
{
    Operations().HideCallProgress();
    UpdateOperateButtons();
}
void TMainForm::CancelCallProgress()
{
    Operations().CancelCallProgress();
    UpdateOperateButtons();
}
void TMainForm::OnCallLineStateChanged(int32_t oldState, int32_t newState)
{
    Operations().OnCallLineStateChanged(oldState, newState);
}

TCallProgressForm *TMainForm::CallProgressForm() const { return m_opsHost ? m_opsHost->m_pCallProgress : nullptr; }
TDialPanelForm *TMainForm::DialPanelForm() const { return m_opsHost ? m_opsHost->m_pDialPanel : nullptr; }
QMenu *TMainForm::AddToMenu() const { return m_opsHost ? m_opsHost->m_pAddToMenu : nullptr; }

void TMainForm::SetAddUserPicker(std::function<bool(std::string &, std::string &)> picker)
{
    Operations();
    m_opsHost->m_picker = std::move(picker);
}
