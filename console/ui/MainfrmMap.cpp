// The main window's map window: creation in the GIS panel, the page following the
// lists, the talk bursts and the extended display, and the operations the page's
// commands start.
#include "console/ui/Mainfrm.h"
#include "console/ui/Mapfrm.h"
#include "console/ui/SkinPanel.h"
#include "core/Log.h"
#include "core/SystemConfig.h"

#include <QVBoxLayout>

void TMainForm::ShowMapForm()
{
    delete m_pMapForm; // one map window at a time
    m_pMapForm = nullptr;
    QLayout *fill = c_pPanelGisContainer->layout();
    if (!fill) {
        // Fills the panel inside its one-pixel padding.
        fill = new QVBoxLayout(c_pPanelGisContainer);
        fill->setContentsMargins(0, 0, 0, 0);
        fill->setSpacing(0);
    }
    const std::string url = g_pSystemConfig ? g_pSystemConfig->GetServerUrl() : std::string();
    m_pMapForm = new TMapForm(c_pPanelGisContainer, this, url);
    fill->addWidget(m_pMapForm);
    m_pMapForm->show();
}

void TMainForm::MapSelectGroup(int groupType, int groupId)
{
    if (m_pMapForm)
        m_pMapForm->SelectGroup(zox::map::PageGroupId(groupType, groupId));
}

void TMainForm::MapSelectUser(const std::string &number)
{
    if (m_pMapForm)
        m_pMapForm->SelectUser(number);
}

void TMainForm::MapSetSpeaker(const std::string &speaker)
{
    if (m_pMapForm)
        m_pMapForm->SetSpeaker(speaker);
}

void TMainForm::MapUnsetSpeaker()
{
    if (m_pMapForm)
        m_pMapForm->UnsetSpeaker();
}

void TMainForm::MapHideLogo()
{
    if (m_pMapForm)
        m_pMapForm->HideMapLogo();
}
