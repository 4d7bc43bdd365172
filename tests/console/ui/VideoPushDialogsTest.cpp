// The video-push dialogs offscreen: the push-target picker (who is offered, the limit
// of 16, numbers taken from the entries, results 1 and 2, no key closes it) and the
// alert window (stacking, answer and decline by click, the countdown, withdrawal, the
// modal showing ending with the last alert, an alert freed only after its handler).
#include "UiTestApp.h"
#include "../../mainwnd/FakeListCache.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QListWidget>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <tuple>

#include "console/ui/VpAlertCtrl.h"
#include "console/ui/VpAlertfrm.h"
#include "console/ui/VpSelectUserfrm.h"
#include "core/EditionText.h"

namespace {

// A text of this build's language.
std::string T(EN_ZOX_TEXT id) { return ZoxText(id); }

ST_ZOX_SYSTEM_USER User(const std::string &number, const std::string &name, uint8_t reg, uint8_t priority = 0)
{
    ST_ZOX_SYSTEM_USER u;
    u.userNumber = number;
    u.displayName = name;
    u.regState = reg;
    u.priority = priority;
    return u;
}

std::vector<std::string> Texts(const QListWidget *list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i)
        out.push_back(list->item(i)->text().toStdString());
    return out;
}

void SelectRows(QListWidget *list, std::initializer_list<int> rows)
{
    list->clearSelection();
    for (int r : rows)
        list->item(r)->setSelected(true);
}

class PushTargets : public ::testing::Test {
protected:
    void SetUp() override
    {
        UiApp();
        cache.groups = {{"Patrol North", "9001", 11}, {"Harbour", "9003", 13}};
        cache.users = {User("3001", "Uploader", 1),   User("3002", "Online", 1), User("3003", "Offline", 0),
                       User("3004", "Disabled", 3),   User("3005", "Hidden", 1, 4),
                       User("3006", "Car (3009)", 2), User("3007", "", 1)};
        cache.members[13] = {"3002", "3003", "3006"};
        form = std::make_unique<TVpSelectUserForm>(nullptr, &cache);
        form->ExcludeUser("3001");
        form->ExcludeUser("");
        form->OnFormShow();
    }
    FakeListCache cache;
    std::unique_ptr<TVpSelectUserForm> form;
};

TEST_F(PushTargets, OffersTheAvailableUsersOfTheChosenGroupButNeverTheUploader)
{
    EXPECT_TRUE(form->IsExcludedUser("3001"));
    EXPECT_FALSE(form->IsExcludedUser(""));
    ASSERT_EQ(form->c_pComboBoxGroup->count(), 3);
    EXPECT_EQ(form->c_pComboBoxGroup->itemText(0).toStdString(), T(EN_ZOX_TEXT::AllUserGroup));
    EXPECT_EQ(form->c_pComboBoxGroup->itemText(2).toStdString(), "Harbour");
    EXPECT_EQ(Texts(form->c_pListBoxGroupUser),
              (std::vector<std::string> {"Online (3002)", "Car (3009) (3006)", "3007"}));
    EXPECT_EQ(form->c_pLabelUserSelected->text().toStdString(), T(EN_ZOX_TEXT::ForwardSelectedUsers) + "0/16");
    EXPECT_FALSE(form->IsAddEnabled());
    EXPECT_FALSE(form->IsRemoveEnabled());

    form->c_pComboBoxGroup->setCurrentIndex(2);
    form->OnGroupChange();
    EXPECT_EQ(Texts(form->c_pListBoxGroupUser), (std::vector<std::string> {"Online (3002)", "Car (3009) (3006)"}));

    // Add, the same entry again (not doubled), then Remove; the numbers come from the
    // entries even where a name looks like a number.
    SelectRows(form->c_pListBoxGroupUser, {0, 1});
    EXPECT_TRUE(form->IsAddEnabled());
    form->OnAddClick();
    EXPECT_FALSE(form->IsAddEnabled()); // everything selected is chosen already
    form->OnAddClick();
    EXPECT_EQ(form->c_pListBoxSelectUser->count(), 2);
    EXPECT_EQ(form->c_pLabelUserSelected->text().toStdString(), T(EN_ZOX_TEXT::ForwardSelectedUsers) + "2/16");
    std::vector<std::string> chosen;
    form->GetSelectedUsers(chosen);
    EXPECT_EQ(chosen, (std::vector<std::string> {"3002", "3006"}));
    SelectRows(form->c_pListBoxSelectUser, {0});
    EXPECT_TRUE(form->IsRemoveEnabled());
    form->OnRemoveClick();
    chosen.clear();
    form->GetSelectedUsers(chosen);
    EXPECT_EQ(chosen, (std::vector<std::string> {"3006"}));
    EXPECT_FALSE(form->IsRemoveEnabled());
}

TEST_F(PushTargets, AddStopsAtSixteen)
{
    cache.users.clear();
    for (int i = 0; i < 20; ++i)
        cache.users.push_back(User(std::to_string(4000 + i), "", 1));
    form->OnFormShow();
    SelectRows(form->c_pListBoxGroupUser, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
    form->OnAddClick();
    ASSERT_EQ(form->c_pListBoxSelectUser->count(), 15);
    SelectRows(form->c_pListBoxGroupUser, {15, 16, 17});
    EXPECT_TRUE(form->IsAddEnabled());
    form->OnAddClick();
    EXPECT_EQ(Texts(form->c_pListBoxSelectUser).back(), "4015");
    EXPECT_EQ(form->c_pListBoxSelectUser->count(), 16);
    EXPECT_EQ(form->c_pLabelUserSelected->text().toStdString(), T(EN_ZOX_TEXT::ForwardSelectedUsers) + "16/16");
    EXPECT_FALSE(form->IsAddEnabled());
}

TEST_F(PushTargets, ResultsOfThePicturesAndNoKeyCloses)
{
    struct Case {
        const char *what;
        std::function<void(TVpSelectUserForm &)> act;
        int result;
    };
    const Case cases[] = {
        {"ok", [](TVpSelectUserForm &f) { f.OnImageOkClick(); }, 1},
        {"cancel", [](TVpSelectUserForm &f) { f.OnImageCancelClick(); }, 2},
        {"close", [](TVpSelectUserForm &f) { f.OnImageCloseClick(); }, 2},
        {"esc, then ok",
         [](TVpSelectUserForm &f) {
             QTest::keyClick(&f, Qt::Key_Escape);
             QTest::keyClick(&f, Qt::Key_Return);
             EXPECT_TRUE(f.isVisible());
             f.OnImageOkClick();
         },
         1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TVpSelectUserForm dialog(nullptr, &cache);
        QTimer::singleShot(0, &dialog, [&] { c.act(dialog); });
        EXPECT_EQ(dialog.exec(), c.result);
    }
}

class FakeActions : public IVpAlertActions {
public:
    int StartVideoUpload(const std::string &number, const std::string &, int32_t instance) override
    {
        starts.emplace_back(number, instance);
        return startResult;
    }
    void SendStopVpNotify(uint32_t source, uint32_t dest, const std::string &number) override
    {
        stops.emplace_back(source, dest, number);
    }
    int startResult = 0;
    std::vector<std::pair<std::string, int32_t>> starts;
    std::vector<std::tuple<uint32_t, uint32_t, std::string>> stops;
};

void Click(QWidget *w)
{
    const QPoint c(w->width() / 2, w->height() / 2);
    SendMouse(w, QEvent::MouseButtonPress, c);
    SendMouse(w, QEvent::MouseButtonRelease, c);
}

class Alerts : public ::testing::Test {
protected:
    void SetUp() override
    {
        UiApp();
        auto a = std::make_unique<FakeActions>();
        actions = a.get();
        form = std::make_unique<TVpAlertForm>(nullptr, std::move(a));
    }
    FakeActions *actions = nullptr;
    std::unique_ptr<TVpAlertForm> form;
};

TEST_F(Alerts, StackAnswerAndDeclineByClick)
{
    TVpAlertCtrl *first = form->AddAlert("3001", "Driver One (3001)", 12, 0xA1);
    TVpAlertCtrl *second = form->AddAlert("3002", "3002", 13, 0xA2);
    EXPECT_EQ(form->size(), QSize(300, 240));
    EXPECT_EQ(first->c_pLabelTitle->text().toStdString(), T(EN_ZOX_TEXT::VpAlertTitle));
    EXPECT_EQ(first->c_pLabelUser->text().toStdString(), "Driver One (3001)");
    EXPECT_EQ(first->c_pLabelAnswer->text().toStdString(), T(EN_ZOX_TEXT::Answer));
    EXPECT_TRUE(first->c_pTimer->isActive());
    EXPECT_EQ(first->c_pTimer->interval(), 1000);
    second->OnTimerOut();

    QPointer<TVpAlertCtrl> gone = first;
    Click(first->c_pPanelAnswer);
    EXPECT_EQ(actions->starts, (std::vector<std::pair<std::string, int32_t>> {{"3001", 12}}));
    EXPECT_TRUE(actions->stops.empty());
    EXPECT_FALSE(form->HasAlert("3001"));
    EXPECT_EQ(form->GetAlertCount(), 1);
    EXPECT_EQ(form->size(), QSize(300, 120));
    EXPECT_FALSE(gone.isNull()); // freed later, not under its own click
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
    // The second keeps its own countdown.
    EXPECT_EQ(second->c_pLabelDecline->text().toStdString(), T(EN_ZOX_TEXT::Decline) + "(29)");
    EXPECT_TRUE(second->c_pTimer->isActive());

    // A failed answer refuses like a decline; the decline button declines.
    actions->startResult = -3;
    TVpAlertCtrl *third = form->AddAlert("3003", "3003", 14, 0xA3);
    Click(third->c_pPanelAnswer);
    Click(second->c_pPanelDecline);
    EXPECT_EQ(actions->stops, (std::vector<std::tuple<uint32_t, uint32_t, std::string>> {
                                  {14, 0xA3, "3003"}, {13, 0xA2, "3002"}}));
    EXPECT_EQ(form->GetAlertCount(), 0);
}

TEST_F(Alerts, HoverColoursFollowThePointer)
{
    TVpAlertCtrl *a = form->AddAlert("3001", "3001", 12, 0xA1);
    auto shows = [](QWidget *w, QColor c) { return w->styleSheet().contains(c.name()); };
    EXPECT_TRUE(shows(a->c_pPanelDecline, QColor(255, 97, 89)));
    SendEnter(a->c_pPanelDecline);
    EXPECT_TRUE(shows(a->c_pPanelDecline, QColor(255, 62, 51)));
    SendLeave(a->c_pPanelDecline);
    EXPECT_TRUE(shows(a->c_pPanelDecline, QColor(255, 97, 89)));
    SendEnter(a->c_pPanelAnswer);
    EXPECT_TRUE(shows(a->c_pPanelAnswer, QColor(55, 208, 82)));
}

// An alert nobody touches declines itself once, 30 seconds after it appeared.
TEST_F(Alerts, CountdownDeclinesExactlyOnce)
{
    TVpAlertCtrl *a = form->AddAlert("3001", "3001", 12, 0xA1);
    EXPECT_EQ(a->c_pLabelDecline->text().toStdString(), T(EN_ZOX_TEXT::Decline) + "(30)");
    std::vector<std::string> captions;
    QPointer<TVpAlertCtrl> alive = a;
    for (int second = 1; second <= 35 && alive && form->HasAlert("3001"); ++second) {
        a->OnTimerOut();
        captions.push_back(a->c_pLabelDecline->text().toStdString());
    }
    ASSERT_EQ(captions.size(), 30u);
    EXPECT_EQ(captions[19], T(EN_ZOX_TEXT::Decline) + "(10)");
    EXPECT_EQ(captions[20], T(EN_ZOX_TEXT::Decline) + "(09)");
    EXPECT_FALSE(a->c_pTimer->isActive());
    // A click that was already queued when it timed out changes nothing.
    a->OnRejectClick();
    a->OnAcceptClick();
    EXPECT_EQ(actions->stops.size(), 1u);
    EXPECT_TRUE(actions->starts.empty());
}

TEST_F(Alerts, ModalShowingEndsWithTheLastAlertAndWithdrawalSendsNothing)
{
    form->AddAlert("3001", "3001", 12, 0xA1);
    int step = 0;
    QTimer::singleShot(0, form.get(), [&] {
        EXPECT_TRUE(form->isVisible());
        step = 1;
        // A push that arrives meanwhile joins the stack without a second loop.
        form->AddAlert("3002", "3002", 13, 0xA2);
        form->ShowAlerts();
        EXPECT_EQ(form->GetAlertCount(), 2);
        form->RemoveAlert("3001"); // a stop notice of the server
        form->RemoveAlert("3999");
        EXPECT_TRUE(form->isVisible());
        form->RemoveAlert("3002");
        step = 2;
    });
    form->ShowAlerts();
    EXPECT_EQ(step, 2);
    EXPECT_EQ(form->result(), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(actions->stops.empty());
    EXPECT_TRUE(actions->starts.empty());
}

} // namespace
