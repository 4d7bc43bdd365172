#include "core/ui/SystemMessageBox.h"

#include <QMessageBox>

namespace {
SystemMessageBoxFn &Hook()
{
    static SystemMessageBoxFn hook;
    return hook;
}
} // namespace

int SystemMessageBox(QWidget *owner, EN_ZOX_MSGBOX kind, const QString &caption, const QString &text)
{
    if (Hook())
        return Hook()(owner, kind, caption, text);
    if (kind == EN_ZOX_MSGBOX::Error) {
        QMessageBox::critical(owner, caption, text, QMessageBox::Ok);
        return kMsgBoxOk;
    }
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel, owner);
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok ? kMsgBoxOk : kMsgBoxCancel;
}

SystemMessageBoxFn SetSystemMessageBoxHook(SystemMessageBoxFn fn)
{
    SystemMessageBoxFn old = Hook();
    Hook() = std::move(fn);
    return old;
}
