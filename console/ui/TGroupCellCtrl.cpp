#include "console/ui/TGroupCellCtrl.h"

#include "console/UserCellRules.h"
#include "core/ui/PngResource.h"
#include "core/Edition.h"

#include <QLabel>
#include <QPointer>

using namespace zox::skin;

TGroupCellCtrl::TGroupCellCtrl(QWidget *owner, int groupType, int groupId, const std::string &name,
                               const std::string &number)
    : CellPanel(owner), picture_(new QLabel(this)), label_(new QLabel(this)), name_(name), number_(number),
      groupType_(groupType), groupId_(groupId)
{
    resize(kCellWidth, kCellHeight);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setAttribute(Qt::WA_TransparentForMouseEvents);
    LoadPngResource(picture_, QStringLiteral("IMG_GROUP_ICON_ONLINE"));

    label_->setAlignment(Qt::AlignCenter);
    label_->setWordWrap(true); // a wide (CJK) caption takes a second line
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette pal = label_->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    label_->setPalette(pal);
    if (*zox::edition::kCellFace)
        label_->setFont(QFont(QString::fromUtf8(zox::edition::kCellFace), zox::edition::kCellPoints));
    label_->setText(QString::fromStdString(GroupCellCaption(name_)));
}

void TGroupCellCtrl::resizeEvent(QResizeEvent *)
{
    picture_->setGeometry(0, 0, kCellPictureWidth, height());
    label_->setGeometry(kCellPictureWidth, 0, width() - kCellPictureWidth, height());
}

void TGroupCellCtrl::OnClickHandler(QObject *sender)
{
    QPointer<TGroupCellCtrl> self(this);
    if (onSelect_)
        onSelect_(this, sender != nullptr);
    if (self && !IsSelected())
        SetSelectedLook(true);
}
