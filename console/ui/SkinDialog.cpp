#include "console/ui/SkinDialog.h"

#include "core/Edition.h"
#include "console/ui/SkinImageMap.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace {
QFrame *MakePanel(QWidget *parent, const QRect &rect, const char *colour, const char *border)
{
    auto *panel = new QFrame(parent);
    panel->setGeometry(rect);
    panel->setAutoFillBackground(true);
    panel->setObjectName(QStringLiteral("panel"));
    panel->setStyleSheet(QStringLiteral("QFrame#panel { background-color: %1; %2 }").arg(colour, border));
    return panel;
}
} // namespace

TSkinDialog::TSkinDialog(QWidget *owner, const QString &title, int titleWidth, bool boldTitle,
                         const QString &closeHint)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setFixedSize(300, 150);
    setModal(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x00, 0x1C, 0x27));
    setPalette(pal);
    setAutoFillBackground(true);
    QFont font(QString::fromUtf8(zox::edition::kFormFace));
    font.setPixelSize(11);
    setFont(font);

    m_pImageMap = new SkinImageMap(4, this);
    c_pPanelTitle = MakePanel(this, QRect(0, 0, 300, 30), "#002D3E", "border-bottom: 1px solid #1B4A5C;");
    c_pLabelTitle = new QLabel(title, c_pPanelTitle);
    c_pLabelTitle->setGeometry(0, 0, titleWidth, 30);
    c_pLabelTitle->setAlignment(Qt::AlignCenter);
    QFont titleFont(QString::fromUtf8(zox::edition::kFormFace));
    titleFont.setPixelSize(13);
    titleFont.setBold(boldTitle);
    c_pLabelTitle->setFont(titleFont);
    c_pLabelTitle->setStyleSheet(QStringLiteral("color: #FFFFFF;"));
    c_pImageClose = new QLabel(c_pPanelTitle);
    c_pImageClose->setGeometry(270, 0, 30, 30);
    c_pImageClose->setAlignment(Qt::AlignCenter);
    c_pImageClose->setToolTip(closeHint);
    m_pImageMap->Add(c_pImageClose,
                     {"IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_NORMAL", "IMG_BTN_CLOSE_FOCUSED", "IMG_BTN_CLOSE_PRESSED"});
    m_pImageMap->SetOnClick(c_pImageClose, [this](QLabel *) { OnImageCloseClick(); });
    c_pPanelTitle->installEventFilter(this);
    c_pLabelTitle->installEventFilter(this);

    c_pPanelMiddle = MakePanel(this, QRect(0, 30, 300, 80), "#343D41",
                               "border-top: 1px solid #2A3236; border-bottom: 1px solid #2A3236;");
    c_pPanelBottom = MakePanel(this, QRect(0, 110, 300, 40), "#343D41", "border-top: 1px solid #2A3236;");
}

QLabel *TSkinDialog::AddBottomButton(int x, int y, const std::array<std::string, 4> &names, const QString &caption,
                                     QLabel **captionLabel, std::function<void()> onClick)
{
    auto *image = new QLabel(c_pPanelBottom);
    image->setGeometry(x, y, 60, 24);
    image->setAlignment(Qt::AlignCenter);
    m_pImageMap->Add(image, names);
    m_pImageMap->SetOnClick(image, [onClick](QLabel *) { onClick(); });
    auto *label = new QLabel(caption, c_pPanelBottom);
    label->setGeometry(x, y, 60, 24);
    label->setAlignment(Qt::AlignCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setStyleSheet(QStringLiteral("color: #FFFFFF; background: transparent;"));
    // The caption clicks like its picture but changes no picture.
    m_pImageMap->AddClickAlias(label, image);
    if (captionLabel)
        *captionLabel = label;
    return image;
}

void TSkinDialog::SetImageCtrlStatus(QLabel *control, int state) { m_pImageMap->SetImageCtrlStatus(control, state); }

int TSkinDialog::GetImageCtrlStatus(QLabel *control) const { return m_pImageMap->GetImageCtrlStatus(control); }

void TSkinDialog::OnImageCloseClick() { done(kResultClose); }

void TSkinDialog::OnImageOkClick() { done(kResultOk); }

void TSkinDialog::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        done(kResultOk);
        return;
    }
    // No other key acts, Esc included.
    event->accept();
}

void TSkinDialog::showEvent(QShowEvent *event)
{
    // Centred on the console's window when one shows, else on the screen.
    QWidget *anchor = parentWidget() ? parentWidget()->window() : QApplication::activeWindow();
    QRect area;
    if (anchor && anchor != this && anchor->isVisible())
        area = anchor->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
    QDialog::showEvent(event);
}

bool TSkinDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Title panel and title label drag the window with the left button.
    if (watched == c_pPanelTitle || watched == c_pLabelTitle) {
        auto *me = static_cast<QMouseEvent *>(event);
        if (event->type() == QEvent::MouseButtonPress && me->button() == Qt::LeftButton) {
            m_dragging = true;
            m_dragOffset = me->globalPosition().toPoint() - frameGeometry().topLeft();
            return true;
        }
        if (event->type() == QEvent::MouseMove && m_dragging) {
            move(me->globalPosition().toPoint() - m_dragOffset);
            return true;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            m_dragging = false;
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
