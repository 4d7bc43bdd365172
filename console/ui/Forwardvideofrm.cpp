#include "console/ui/Forwardvideofrm.h"

#include "console/ui/SkinFormKit.h"
#include "console/ui/SkinImageMap.h"
#include "console/ui/SkinPanel.h"
#include "core/Edition.h"
#include "core/EditionText.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>

namespace {

constexpr int kWidth = 325;
constexpr int kHeight = 452;
constexpr int kListWidth = 300;
constexpr int kListHeight = 357;
constexpr int kRowHeight = 22;
const QColor kBack(0x00, 0x1C, 0x27);

QString Q(const std::string &s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

} // namespace

TForwardVideoForm::TForwardVideoForm(QWidget *owner) : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("TForwardVideoForm"));
    setFixedSize(kWidth, kHeight);
    setModal(true);
    m_pImageMap = new SkinImageMap(3, this);

    auto *client = new TSkinPanel(this, kBack);
    client->setGeometry(0, 0, kWidth, kHeight);
    auto t = zox::skin::MakeTitleBar(this, m_pImageMap, ZoxQText(EN_ZOX_TEXT::ForwardVideoTitle), 10,
                                     [this] { OnImageCloseClick(); });
    t.panel->setGeometry(0, 0, kWidth, 30);
    t.caption->resize(200, 30);
    QFont titleFont(QString::fromUtf8(zox::edition::kChinese ? "宋体" : "Arial"));
    titleFont.setPixelSize(13);
    t.caption->setFont(titleFont);
    t.caption->setStyleSheet(QStringLiteral("color: palette(highlighted-text); background: transparent;"));
    t.close->move(kWidth - 30, 0);
    t.close->setToolTip(ZoxQText(EN_ZOX_TEXT::ExitHint));
    c_pLabelTitle = t.caption;
    c_pImageClose = t.close;

    c_pCheckListUser = new QListWidget(this);
    c_pCheckListUser->setObjectName(QStringLiteral("c_pCheckListUser"));
    c_pCheckListUser->setGeometry((kWidth - kListWidth) / 2, 40, kListWidth, kListHeight);
    QFont listFont(QString::fromUtf8(zox::edition::kFormFace));
    listFont.setPixelSize(12);
    c_pCheckListUser->setFont(listFont);
    c_pCheckListUser->setStyleSheet(QStringLiteral("QListWidget { background: #001C27; color: palette(base);"
                                                   " border: 1px solid #2B4856; }"
                                                   " QListWidget::item { height: %1px; }")
                                        .arg(kRowHeight));
    c_pCheckListUser->setSelectionMode(QAbstractItemView::SingleSelection);

    const int buttonsTop = 40 + kListHeight + (kHeight - 40 - kListHeight - 24) / 2;
    c_pImageOk = zox::skin::MakePictureButton(this, m_pImageMap, QRect(kWidth - 140, buttonsTop, 60, 24),
                                              zox::skin::kGreenButton, ZoxQText(EN_ZOX_TEXT::Ok), &c_pLabelOK,
                                              [this] { OnImageOkClick(); });
    c_pImageCancel = zox::skin::MakePictureButton(this, m_pImageMap, QRect(kWidth - 70, buttonsTop, 60, 24),
                                                  zox::skin::kGrayButton, ZoxQText(EN_ZOX_TEXT::Cancel),
                                                  &c_pLabelCancel, [this] { OnImageCancelClick(); });
}

void TForwardVideoForm::SetUsers(ST_VECT_USER_SELECT users)
{
    c_pCheckListUser->clear();
    m_users.clear();
    for (ST_USER_SELECT_ITEM &u : users) {
        auto *item = new QListWidgetItem(Q(u.text), c_pCheckListUser);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(u.preset ? Qt::Checked : Qt::Unchecked);
        item->setSizeHint(QSize(kListWidth, kRowHeight));
        m_users.push_back(std::move(u));
    }
}

void TForwardVideoForm::GetUsers(ST_VECT_USER_SELECT &users) const
{
    users.clear();
    users.reserve(m_users.size());
    for (std::size_t i = 0; i < m_users.size(); ++i) {
        ST_USER_SELECT_ITEM u;
        u.text = m_users[i].text;
        u.preset = m_users[i].preset;
        const QListWidgetItem *item = c_pCheckListUser->item(static_cast<int>(i));
        u.checked = item && item->checkState() == Qt::Checked;
        users.push_back(std::move(u));
    }
}

void TForwardVideoForm::OnImageOkClick() { done(1); }
void TForwardVideoForm::OnImageCancelClick() { done(2); }
void TForwardVideoForm::OnImageCloseClick() { done(2); }
void TForwardVideoForm::reject() { done(2); }

void TForwardVideoForm::showEvent(QShowEvent *event)
{
    zox::skin::CentreOnOwner(this);
    QDialog::showEvent(event);
}

void TForwardVideoForm::keyPressEvent(QKeyEvent *event)
{
    // Neither Esc nor Enter ends this dialog.
    switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}
