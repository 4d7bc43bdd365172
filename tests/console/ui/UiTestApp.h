#pragma once
// One application object for the widget tests of this program, with the console's
// font substitutions, and small helpers to drive the pointer.

#include "console/ui/FontSetup.h"
#include "tests/support/UiApp.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QWidget>

#include <string>

inline QApplication &UiApp()
{
    QApplication &app = zoxtest::uiApp();
    zox::skin::InstallFontSubstitutions();
    return app;
}

namespace zox::skin {
// Where the program keeps a picture.
inline QString SkinPicturePath(const std::string &name)
{
    return QStringLiteral(":/img/") + QString::fromStdString(name) + QStringLiteral(".png");
}
} // namespace zox::skin

// Offscreen, QTest::mouseMove sends no enter or leave: send them directly.
inline void SendEnter(QWidget *w)
{
    const QPointF local(w->width() / 2.0, w->height() / 2.0);
    QEnterEvent e(local, w->mapToGlobal(local), w->mapToGlobal(local));
    QCoreApplication::sendEvent(w, &e);
}

inline void SendLeave(QWidget *w)
{
    QEvent e(QEvent::Leave);
    QCoreApplication::sendEvent(w, &e);
}

inline void SendMouse(QWidget *w, QEvent::Type type, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                      Qt::MouseButtons held = Qt::NoButton)
{
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// True when the label shows exactly the named picture.
inline bool Shows(const QLabel *label, const std::string &name)
{
    const QPixmap shown = label->pixmap();
    if (name.empty())
        return shown.isNull();
    if (shown.isNull())
        return false;
    const QImage want(zox::skin::SkinPicturePath(name));
    return !want.isNull() &&
           shown.toImage().convertToFormat(QImage::Format_ARGB32) == want.convertToFormat(QImage::Format_ARGB32);
}

// A real double click: press, release, the second press (delivered as a double
// click), release.
inline void DoubleClick(QWidget *w, QPoint pos)
{
    SendMouse(w, QEvent::MouseButtonPress, pos);
    SendMouse(w, QEvent::MouseButtonRelease, pos);
    SendMouse(w, QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton);
    SendMouse(w, QEvent::MouseButtonRelease, pos);
}
