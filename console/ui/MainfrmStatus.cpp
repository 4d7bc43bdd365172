// The main window's status bar and quick actions: what the three panes show for a call,
// which quick actions the selection offers and whether each is usable, and the task
// buttons' enable tests. The rules are CQuickActions' and CallStatusText's; this file
// gives them the window's state and applies their answers.
#include "console/ui/Mainfrm.h"

#include "console/CurrentSelection.h"
#include "console/DispatchCacheReads.h"
#include "console/QuickActions.h"
#include "console/ui/Adduserfrm.h"
#include "console/ui/Callprogressfrm.h"
#include "console/ui/SkinPanel.h"
#include "console/ui/TButtonCtrl.h"
#include "console/ui/TMultiImageCtrl.h"
#include "core/SystemConfig.h"
#include "core/ZoxLoginCache.h"
#include "core/ui/Loginfrm.h"
#include "dispatch/CallStatusText.h"
#include "video/RtspClient.h"

#include <QLabel>

namespace {

QString Q(const std::string &s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// The console's priority level until the login tells it.
constexpr uint8_t kDefaultPriority = 8;

} // namespace

// The quick-action rules with what they read of the window.
struct CMainQuickActions : zox::quick::IQuickActionHost {
    explicit CMainQuickActions(const TMainForm &form)
        : m_form(form), rules(CurrentSelection, *form.m_lineTable, *this)
    {
    }

    bool IsVideoEnabled() const override { return g_pSystemConfig && g_pSystemConfig->IsVideoEnabled(); }
    uint8_t OwnPriority() const override { return g_pLoginForm ? g_pLoginForm->GetPriority() : kDefaultPriority; }
    bool IsBridgeReady() const override { return m_form.m_bridgeReady && m_form.m_bridgeReady(); }
    bool HasRtspClient() const override { return m_form.m_hasRtspClient; }
    bool IsRtspPlaying(int userType, const std::string &number) const override
    {
        return g_pRtspClient && g_pRtspClient->IsPlaying(userType, number);
    }
    bool IsCallProgressShownInPanel() const override
    {
        const auto *progress = m_form.c_pPanelPrompt ? m_form.c_pPanelPrompt->findChild<TCallProgressForm *>() : nullptr;
        return progress && progress->IsShownInPanel();
    }

    // Points the rules at the given cache, or at the console's data module.
    void SelectCache()
    {
        if (testCache) {
            rules.SetCache(testCache);
            return;
        }
        if (g_pZoxDataModule != m_module) {
            m_module = g_pZoxDataModule;
            moduleReads = m_module ? std::make_unique<TZoxDataModuleDispatchReads>(*m_module) : nullptr;
        }
        rules.SetCache(moduleReads.get());
    }

    const TMainForm &m_form;
    zox::quick::CQuickActions rules;
    IDispatchCacheReads *testCache = nullptr;
    TZoxDataModule *m_module = nullptr;
    std::unique_ptr<TZoxDataModuleDispatchReads> moduleReads;
};

zox::quick::CQuickActions &TMainForm::QuickActions() const
{
    if (!m_quick)
        m_quick = std::make_shared<CMainQuickActions>(*this);
    m_quick->SelectCache();
    return m_quick->rules;
}

void TMainForm::SetQuickActionCache(IDispatchCacheReads *cache)
{
    QuickActions();
    m_quick->testCache = cache;
}

void TMainForm::BindQuickActions()
{
    for (int i = 0; i < kOperateButtonCount; ++i) {
        TOperateButtonMap &e = m_operateMap[i];
        e.enableTest = [this, i] { return QuickActions().IsEnabled(i); };
        e.visibleTest = [this, i] { return QuickActions().IsVisible(i); };
    }
    for (int i = 0; i < kTaskButtonCount; ++i)
        m_taskButtons[i].enableTest = [this, i] { return QuickActions().IsTaskEnabled(i); };
    SetAddUserPicker([this](std::string &number, std::string &name) {
        TAddUserForm form(this);
        return form.ShowModal() == 1 && form.GetSelectedUser(number, name) == 0;
    });
}

void TMainForm::UpdateOperateButtons()
{
    const std::vector<TButtonCtrl *> before = m_visibleButtons;
    m_visibleButtons.clear();
    for (TOperateButtonMap &e : m_operateMap) {
        if (e.kind == CurrentSelection.kind) {
            // Placed by the layout: a button paged out of the bar stays out of sight.
            if (e.enableTest)
                e.button->SetEnabled(e.enableTest());
            m_visibleButtons.push_back(e.button);
        } else {
            e.button->hide();
        }
    }
    if (m_visibleButtons != before)
        LayoutOperateButtons();
    for (TTaskButtonPair &p : m_taskButtons)
        if (p.button && p.enableTest)
            p.button->SetEnabled(p.enableTest());
}

bool TMainForm::IsUserReachable(const std::string &number) { return QuickActions().IsUserReachable(number); }

// ---------------------------------------------------------------------------------
// Status bar

void TMainForm::ShowDispatchStatus(int kind, const std::string &object, const std::string &speaker)
{
    const zox::call::DispatchStatusView v = zox::call::DispatchStatusFor(kind, object, speaker);
    c_pImageDispatchStatus->setVisible(v.pictureShown);
    c_pStatusPaneStatus->setText(Q(v.status));
    c_pStatusPaneObject->setText(Q(v.object));
    c_pStatusPaneSpeaker->setText(Q(v.speaker));
}

void TMainForm::SetSpeakerText(const std::string &text) { c_pStatusPaneSpeaker->setText(Q(text)); }
