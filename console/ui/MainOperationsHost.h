#pragma once
// What the call operations need of the main window: the selection, the cache, the
// video wall, the status panes, the call progress panel, the dial pad, the add-to menu
// and the chat program. Owned by the main window (console/ui/MainfrmOperations.cpp).
#include "console/CurrentSelection.h"
#include "console/MainListCache.h"
#include "console/ui/Callprogressfrm.h"
#include "console/ui/Dialpanelfrm.h"
#include "console/ui/Mainfrm.h"
#include "console/ui/SkinPanel.h"
#include "console/ContactsDb.h"
#include "core/EditionText.h"
#include "core/Log.h"
#include "core/SessionIdentity.h"
#include "core/net/NetFacade.h"
#include "dispatch/CallOperations.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QTimer>

class CMainOperationsHost : public ICallOperationsHost {
public:
    explicit CMainOperationsHost(TMainForm &form) : m_form(form) {}
    // The panel and the dial pad are children of the prompt panel only while docked.
    ~CMainOperationsHost() override
    {
        delete m_pCallProgress;
        delete m_pDialPanel;
    }

    CDispatchLineTable &Lines() override { return m_form.DispatchLines(); }
    IDispatchSessionHost &SessionHost() override { return m_form.DispatchSessionHost(); }
    const ST_ZOX_CURRENT_SELECTION &Selection() const override { return CurrentSelection; }
    std::string OwnNumber() const override { return g_strOwnNumber.Get(); }

    bool GetSystemGroup(uint32_t groupId, ST_ZOX_SYSTEM_GROUP &group) override
    {
        std::vector<ST_ZOX_SYSTEM_GROUP> groups;
        if (GetSystemGroups(groups) != 0)
            return false;
        for (const ST_ZOX_SYSTEM_GROUP &g : groups)
            if (g.groupId == groupId) {
                group = g;
                return true;
            }
        return false;
    }
    int GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &groups) override
    {
        groups.clear();
        IMainListCache *cache = m_form.GetListCache();
        return cache ? cache->GetSystemGroups(groups) : -1;
    }
    int GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) override
    {
        users.clear();
        IMainListCache *cache = m_form.GetListCache();
        return cache ? cache->GetGroupMembers(groupId, users) : -1;
    }
    int GetGroupAvailableMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users) override
    {
        std::vector<ST_ZOX_SYSTEM_USER> all;
        const int r = GetGroupMembers(groupId, all);
        users.clear();
        for (const ST_ZOX_SYSTEM_USER &u : all)
            if (u.priority != 4 && u.regState != 0 && u.regState != 3 && u.callState == 0)
                users.push_back(u);
        return r;
    }
    int GetUsersByCallRef(const std::string &callRef, std::vector<ST_ZOX_SYSTEM_USER> &users) override
    {
        users.clear();
        IMainListCache *cache = m_form.GetListCache();
        std::vector<ST_ZOX_SYSTEM_USER> all;
        if (!cache || cache->GetSystemUsers(all) != 0)
            return -1;
        for (const ST_ZOX_SYSTEM_USER &u : all)
            if (u.callRef == callRef && u.callState != 0)
                users.push_back(u);
        return 0;
    }

    IDispatchTile *GetFreeVideoWindow() override { return m_form.GetFreeVideoWindow(); }
    void ShowDispatchStatus(int kind, const std::string &object, const std::string &speaker) override
    {
        m_form.ShowDispatchStatus(kind, object, speaker);
    }
    void SetSpeakerText(const std::string &text) override { m_form.SetSpeakerText(text); }
    void UpdateOperateButtons() override { m_form.UpdateOperateButtons(); }

    bool IsBridgeReady() const override { return m_form.m_bridgeReady && m_form.m_bridgeReady(); }
    void BeginChat(int kind, int groupId, const std::string &number) override
    {
        NetWxProxyBeginChat(kind, groupId, number);
    }
    bool PickUserToAdd(std::string &number, std::string &name) override
    {
        if (!m_picker) {
            WriteLog("main: no user picker to add a user.");
            return false;
        }
        return m_picker(number, name);
    }
    bool FileExists(const std::string &path) const override
    {
        const QFileInfo f(QString::fromStdString(path));
        return f.exists() && f.isFile();
    }
    bool StartProgram(const std::string &path, const std::vector<std::string> &arguments) override
    {
        QStringList args;
        for (const std::string &a : arguments)
            args << QString::fromStdString(a);
        const bool ok = QProcess::startDetached(QString::fromStdString(path), args, QDir::currentPath());
        if (!ok)
            WriteLog("main: failed to start %s!", path.c_str());
        return ok;
    }
    std::string WorkingDirectory() const override { return QDir::currentPath().toStdString(); }

    void ShowProgressPanel(const std::string &number) override
    {
        if (!m_pCallProgress)
            m_pCallProgress = new TCallProgressForm(&m_form);
        m_pCallProgress->SetNumber(number);
        m_pCallProgress->SetStatusText(ZoxText(EN_ZOX_TEXT::CallCalling));
        m_pCallProgress->SetButtonMode(0);
        m_pCallProgress->ShowInPanel(m_form.c_pPanelPrompt);
        m_pCallProgress->raise();
        m_form.c_pPanelPrompt->show();
        m_form.c_pPanelPrompt->raise();
    }
    bool HasProgressPanel() const override { return m_pCallProgress != nullptr; }
    bool IsProgressPanelShown() const override { return m_pCallProgress && m_pCallProgress->IsShownInPanel(); }
    void SetProgressStatus(const std::string &text, int buttonMode) override
    {
        if (!m_pCallProgress)
            return;
        m_pCallProgress->SetStatusText(text);
        m_pCallProgress->SetButtonMode(buttonMode);
    }
    std::string ProgressNumber() const override { return m_pCallProgress ? m_pCallProgress->GetNumber() : ""; }
    void HideProgressPanel() override
    {
        if (m_pCallProgress)
            m_pCallProgress->HideFromPanel();
        HideEmptyPrompt();
    }
    void RunLater(int ms, std::function<void()> action) override
    {
        QTimer::singleShot(ms, &m_form, std::move(action));
    }

    void ToggleDialPanel()
    {
        if (!m_pDialPanel) {
            m_pDialPanel = new TDialPanelForm(&m_form);
            TMainForm *form = &m_form;
            m_pDialPanel->SetContactsOpener([form] {
                if (!ContactsDbOpen())
                    return false;
                form->ShowContactForm();
                return true;
            });
        }
        if (m_pDialPanel->IsShownInPanel()) {
            m_pDialPanel->HideFromPanel();
            HideEmptyPrompt();
            return;
        }
        m_form.c_pPanelPrompt->show();
        m_form.c_pPanelPrompt->raise();
        m_pDialPanel->ShowInPanel(m_form.c_pPanelPrompt);
    }
    // Takes the dial pad's number and undocks it; empty without a dial pad.
    bool TakeDialNumber(std::string &number)
    {
        if (!m_pDialPanel)
            return false;
        number = m_pDialPanel->GetNumber();
        if (m_pDialPanel->IsShownInPanel())
            m_pDialPanel->HideFromPanel();
        HideEmptyPrompt();
        return true;
    }

    QMenu *AddToMenu()
    {
        if (!m_pAddToMenu) {
            m_pAddToMenu = new QMenu(&m_form);
            TMainForm *form = &m_form;
            QObject::connect(m_pAddToMenu, &QMenu::triggered, &m_form,
                             [form](QAction *item) { form->OnPopupMenuAddtoClick(item); });
        }
        return m_pAddToMenu;
    }

    TCallProgressForm *m_pCallProgress = nullptr;
    TDialPanelForm *m_pDialPanel = nullptr;
    QMenu *m_pAddToMenu = nullptr; // a child of the window
    std::function<bool(std::string &, std::string &)> m_picker;

private:
    void HideEmptyPrompt()
    {
        for (QObject *c : m_form.c_pPanelPrompt->children())
            if (auto *w = qobject_cast<QWidget *>(c); w && !w->isHidden())
                return;
        m_form.c_pPanelPrompt->hide();
    }

    TMainForm &m_form;
};

