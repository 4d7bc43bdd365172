#include "console/ui/ContactDialogKit.h"

#include <QLabel>

#include <algorithm>
#include <QLineEdit>

namespace zox::contacts {

const char *FieldStyle() { return "color: #FFFFFF; background: #001C27; border: 1px solid #2B4856;"; }

QLabel *FieldLabel(QWidget *parent, const QString &text, int y, FieldColumn column)
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(20, y, std::min(70, column.left - 20 - 2), 22);
    QFont f(QString::fromUtf8(zox::edition::kFormFace));
    f.setPixelSize(12);
    l->setFont(f);
    l->setStyleSheet(QStringLiteral("color: #FFFFFF; background: transparent;"));
    return l;
}

QLineEdit *FieldEdit(QWidget *parent, int y, FieldColumn column)
{
    auto *e = new QLineEdit(parent);
    e->setGeometry(column.left, y, column.width, 22);
    e->setMaxLength(64);
    QFont f(QString::fromUtf8(zox::edition::kFormFace));
    f.setPixelSize(12);
    e->setFont(f);
    e->setStyleSheet(QString::fromLatin1(FieldStyle()));
    return e;
}

} // namespace zox::contacts
