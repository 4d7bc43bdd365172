#include "console/ui/SkinFormKit.h"

#include "console/ui/SkinImageMap.h"
#include "console/ui/SkinPanel.h"
#include "core/EditionText.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace zox::skin {

TitleDrag::TitleDrag(QWidget *window) : QObject(window), m_window(window) {}

void TitleDrag::Watch(QWidget *w) { w->installEventFilter(this); }

bool TitleDrag::eventFilter(QObject *watched, QEvent *event)
{
    auto *me = static_cast<QMouseEvent *>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (me->button() == Qt::LeftButton) {
            m_dragging = true;
            m_offset = me->globalPosition().toPoint() - m_window->frameGeometry().topLeft();
            return true;
        }
        break;
    case QEvent::MouseMove:
        if (m_dragging) {
            m_window->move(me->globalPosition().toPoint() - m_offset);
            return true;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (m_dragging) {
            m_dragging = false;
            return true;
        }
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

TitleBar MakeTitleBar(QWidget *form, SkinImageMap *map, const QString &caption, int captionLeft,
                      std::function<void()> onClose, const char *face)
{
    TitleBar t;
    t.panel = new TSkinPanel(form, QColor(0x00, 0x2D, 0x3E));
    t.panel->setObjectName(QStringLiteral("c_pPanelTitle"));
    t.panel->setFixedHeight(30);
    t.caption = new QLabel(caption, t.panel);
    t.caption->setObjectName(QStringLiteral("c_pLabelTitle"));
    t.caption->move(captionLeft, 0);
    t.caption->setFixedHeight(30);
    QFont f(QString::fromUtf8(face));
    f.setPixelSize(13);
    f.setBold(true);
    t.caption->setFont(f);
    t.caption->setStyleSheet(QStringLiteral("color: #FFFFFF; background: transparent;"));
    t.close = new QLabel(t.panel);
    t.close->setObjectName(QStringLiteral("c_pImageClose"));
    t.close->setFixedSize(30, 30);
    t.close->setAlignment(Qt::AlignCenter);
    t.close->setToolTip(ZoxQText(EN_ZOX_TEXT::ExitHint));
    map->Add(t.close, kCloseButton);
    map->SetOnClick(t.close, [onClose](QLabel *) { onClose(); });
    auto *drag = new TitleDrag(form);
    drag->Watch(t.panel);
    drag->Watch(t.caption);
    return t;
}

QLabel *MakePictureButton(QWidget *parent, SkinImageMap *map, const QRect &rect,
                          const std::array<std::string, 4> &names, const QString &caption, QLabel **captionLabel,
                          std::function<void()> onClick)
{
    auto *image = new QLabel(parent);
    image->setGeometry(rect);
    image->setAlignment(Qt::AlignCenter);
    image->setScaledContents(true);
    map->Add(image, names);
    map->SetOnClick(image, [onClick](QLabel *) { onClick(); });
    auto *label = new QLabel(caption, parent);
    label->setGeometry(rect);
    label->setAlignment(Qt::AlignCenter);
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setStyleSheet(QStringLiteral("color: #FFFFFF; background: transparent;"));
    map->AddClickAlias(label, image);
    if (captionLabel)
        *captionLabel = label;
    return image;
}

void UseFormFace(QWidget *form)
{
    QFont f = form->font();
    f.setFamily(QString::fromUtf8(zox::edition::kFormFace));
    form->setFont(f);
}

void CentreOnOwner(QWidget *form)
{
    QWidget *owner = form->parentWidget() ? form->parentWidget()->window() : nullptr;
    QRect area;
    if (owner && owner != form && owner->isVisible())
        area = owner->frameGeometry();
    else if (QScreen *screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        form->move(area.center() - QPoint(form->width() / 2, form->height() / 2));
}

} // namespace zox::skin
