#include "console/ui/CallVideoTile.h"

#include <QLabel>
#include <QVBoxLayout>

TCallVideoTile::TCallVideoTile(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("TCallVideoTile"));
    setStyleSheet(QStringLiteral("background: black;"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_title = new QLabel(this);
    m_title->setFixedHeight(20);
    m_title->setStyleSheet(QStringLiteral("color: white; background: #2B313D; padding-left: 4px;"));
    m_video = new QWidget(this);
    m_video->setAttribute(Qt::WA_NativeWindow);
    layout->addWidget(m_title);
    layout->addWidget(m_video, 1);
    hide();
}

uintptr_t TCallVideoTile::GetHandle() const { return uintptr_t(m_video->winId()); }

void TCallVideoTile::SetState(int state)
{
    m_state = state;
    if (state == kTileFree) {
        m_number.clear();
        m_userText.clear();
        m_recording = false;
        m_videoSize = QSize();
        m_title->clear();
        hide();
    } else {
        show();
    }
}

void TCallVideoTile::SetUser(const std::string &displayName, const std::string &number, int)
{
    m_number = number;
    m_userText = displayName.empty() ? number : displayName;
    m_title->setText(QString::fromStdString(m_userText));
}
