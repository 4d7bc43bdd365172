#include "console/ui/ContactDialogKit.h"

#include <QLabel>
#include <QLineEdit>

namespace zox::contacts {

const char *FieldStyle() { return "color: #FFFFFF; background: #001C27; border: 1px solid #2B4856;"; }

QLabel *FieldLabel(QWidget *parent, const QString &text, int y)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(20, y, 70, 22);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(12);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: #FFFFFF; background: transparent;"));
    return l;
}

QLineEdit *FieldEdit(QWidget *parent, int y)
{
    auto *e = new QLineEdit(parent);
    e->setGeometry(95, y, 230, 22);
    e->setMaxLength(64);
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(12);
    e->setFont(f);
    e->setStyleSheet(QString::fromLatin1(FieldStyle()));
    return e;
}

} // namespace zox::contacts
