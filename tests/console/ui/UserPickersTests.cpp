// The two user pickers: the forwarding check list (rows in, ticks back out) and the
// add-user tree (available users by group, one user picked, numbers kept with the
// nodes); their endings and results.
#include "UiTestApp.h"

#include "console/ui/Adduserfrm.h"
#include "console/ui/Forwardvideofrm.h"
#include "core/Edition.h"
#include "core/EditionText.h"
#include "tests/support/FakeDispatchReads.h"

#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

// Runs `act` once the dialog's modal loop runs; the dialog's result (-1 when it was
// still open after five seconds).
int RunModal(QDialog &dialog, std::function<void()> act)
{
    QTimer::singleShot(0, &dialog, std::move(act));
    QTimer::singleShot(5000, &dialog, [&] {
        if (dialog.isVisible())
            dialog.done(-1);
    });
    return dialog.exec();
}

// Ticks or unticks a row the way the dispatcher does: the row is made current and Space
// toggles its box.
void Toggle(QListWidget *list, int row)
{
    list->setCurrentRow(row);
    QTest::keyClick(list->viewport(), Qt::Key_Space);
}

ST_VECT_USER_SELECT Rows(std::initializer_list<std::pair<const char *, bool>> rows)
{
    ST_VECT_USER_SELECT out;
    for (const auto &[text, preset] : rows) {
        ST_USER_SELECT_ITEM i;
        i.text = text;
        i.preset = preset;
        i.checked = !preset; // must not leak into the list
        out.push_back(i);
    }
    return out;
}

TEST(ForwardVideoForm, TicksComeBackWithThePresetsUnchanged)
{
    UiApp();
    TForwardVideoForm form(nullptr);
    EXPECT_EQ(form.c_pCheckListUser->count(), 0);
    EXPECT_EQ(form.size(), QSize(325, 452));
    form.SetUsers(Rows({{"Alice (1001)", false}, {"Bob (1002)", true}, {"1003", false}}));
    ASSERT_EQ(form.c_pCheckListUser->count(), 3);
    EXPECT_EQ(form.c_pCheckListUser->item(1)->text(), "Bob (1002)");
    EXPECT_EQ(form.c_pCheckListUser->item(0)->checkState(), Qt::Unchecked);
    EXPECT_EQ(form.c_pCheckListUser->item(1)->checkState(), Qt::Checked);
    EXPECT_EQ(form.c_pCheckListUser->item(2)->checkState(), Qt::Unchecked);

    EXPECT_EQ(RunModal(form,
                       [&] {
                           Toggle(form.c_pCheckListUser, 1);
                           Toggle(form.c_pCheckListUser, 2);
                           // The shown text is not what is read back.
                           form.c_pCheckListUser->item(2)->setText("edited");
                           QTest::mouseClick(form.c_pImageOk, Qt::LeftButton);
                       }),
              1);
    ST_VECT_USER_SELECT back = Rows({{"stale", true}});
    form.GetUsers(back);
    ASSERT_EQ(back.size(), 3u);
    const bool preset[] = {false, true, false};
    const bool checked[] = {false, false, true};
    const char *texts[] = {"Alice (1001)", "Bob (1002)", "1003"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(back[i].text, texts[i]) << i;
        EXPECT_EQ(back[i].preset, preset[i]) << i;
        EXPECT_EQ(back[i].checked, checked[i]) << i;
    }

    // New rows replace the old ones.
    form.SetUsers({});
    EXPECT_EQ(form.c_pCheckListUser->count(), 0);
    form.GetUsers(back);
    EXPECT_TRUE(back.empty());
}

template <typename Form>
void ExpectEndings(Form &form)
{
    struct Case {
        const char *what;
        std::function<void()> act;
        int result;
    };
    const std::vector<Case> cases = {
        {"Cancel picture", [&] { QTest::mouseClick(form.c_pImageCancel, Qt::LeftButton); }, 2},
        {"Cancel label", [&] { QTest::mouseClick(form.c_pLabelCancel, Qt::LeftButton); }, 2},
        {"close picture", [&] { QTest::mouseClick(form.c_pImageClose, Qt::LeftButton); }, 2},
        {"Esc and Enter do nothing",
         [&] {
             QTest::keyClick(&form, Qt::Key_Escape);
             QTest::keyClick(&form, Qt::Key_Return);
             EXPECT_TRUE(form.isVisible());
             form.OnImageCancelClick();
         },
         2},
        {"the window's close", [&] { form.close(); }, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(RunModal(form, c.act), c.result);
    }
}

TEST(ForwardVideoForm, Endings)
{
    UiApp();
    TForwardVideoForm form(nullptr);
    ExpectEndings(form);
    EXPECT_EQ(RunModal(form, [&] { QTest::mouseClick(form.c_pLabelOK, Qt::LeftButton); }), 1);
}

class AddUserForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        UiApp();
        cache.Add("1004", "Alice");
        cache.Add("1001", "");        // no name
        cache.Add("1002", "1002");    // the name is the number
        cache.Add("1003", "2002");    // a name that looks like a number
        cache.Add("1005", "Team (9)"); // a name with parentheses
        cache.Add("2001", "in a call", 1, 0x00000003);
        cache.Add("2002", "offline", 0);
        cache.Add("2003", "disabled", 3);
        cache.Add("2004", "hidden", 1, 0, 0, 4);
        cache.AddGroup(11, "Patrol", {"1004", "2001", "1003"});
        cache.AddGroup(12, "Night", {"2002", "2003"});
        cache.AddGroup(13, "Harbour", {"1005", "1001"});
    }
    // The tree as text: one entry per group, "Group: user, user".
    static std::vector<std::string> Tree(const TAddUserForm &form)
    {
        std::vector<std::string> out;
        const QTreeWidget *t = form.c_pTreeViewUser;
        for (int i = 0; i < t->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *g = t->topLevelItem(i);
            std::string line = g->text(0).toStdString() + ":";
            for (int j = 0; j < g->childCount(); ++j)
                line += (j ? ", " : " ") + g->child(j)->text(0).toStdString();
            out.push_back(line);
        }
        return out;
    }
    QTreeWidgetItem *Node(TAddUserForm &form, int group, int user = -1)
    {
        QTreeWidgetItem *g = form.c_pTreeViewUser->topLevelItem(group);
        return user < 0 ? g : g->child(user);
    }
    // Selects a node as a click on it does.
    void Pick(TAddUserForm &form, int group, int user = -1)
    {
        form.c_pTreeViewUser->setCurrentItem(Node(form, group, user));
    }
    zoxtest::FakeDispatchReads cache;
};

TEST_F(AddUserForm, OffersTheAvailableUsersByGroup)
{
    TAddUserForm form(nullptr, &cache);
    const std::string all = ZoxText(EN_ZOX_TEXT::AllUserGroup);
    EXPECT_EQ(Tree(form), (std::vector<std::string>{
                              all + ": 1001, 1002, 2002 (1003), Alice (1004), Team (9) (1005)",
                              "Patrol: 2002 (1003), Alice (1004)",
                              "Night:",
                              "Harbour: 1001, Team (9) (1005)",
                          }));
}

TEST_F(AddUserForm, APickedUserComesBackFromTheNode)
{
    struct Case {
        int group, user;
        const char *number, *name;
    };
    const Case cases[] = {
        {0, 3, "1004", "Alice"},
        {0, 0, "1001", ""},
        {0, 1, "1002", ""},        // shown by the number alone, comes back without a name
        {1, 0, "1003", "2002"},    // the number-like name stays a name
        {3, 1, "1005", "Team (9)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.number);
        TAddUserForm form(nullptr, &cache);
        std::vector<std::string> tips;
        form.ShowTip = [&](const std::string &t) { tips.push_back(t); };
        Pick(form, c.group, c.user);
        EXPECT_EQ(RunModal(form, [&] { QTest::mouseClick(form.c_pImageOk, Qt::LeftButton); }), 1);
        EXPECT_TRUE(tips.empty());
        std::string number = "x", name = "y";
        EXPECT_EQ(form.GetSelectedUser(number, name), 0);
        EXPECT_EQ(number, c.number);
        EXPECT_EQ(name, c.name);
    }
}

TEST_F(AddUserForm, OkWithoutAUserAsksForOne)
{
    TAddUserForm form(nullptr, &cache);
    std::vector<std::string> tips;
    form.ShowTip = [&](const std::string &t) { tips.push_back(t); };
    const int result = RunModal(form, [&] {
        QTest::mouseClick(form.c_pImageOk, Qt::LeftButton); // nothing selected
        Pick(form, 0); // "All user"
        QTest::mouseClick(form.c_pImageOk, Qt::LeftButton);
        Pick(form, 2); // an empty group
        QTest::mouseClick(form.c_pLabelOK, Qt::LeftButton);
        EXPECT_TRUE(form.isVisible());
        std::string number = "kept", name = "kept";
        EXPECT_EQ(form.GetSelectedUser(number, name), -1);
        EXPECT_EQ(number, "kept");
        EXPECT_EQ(name, "kept");
        Pick(form, 1, 1);
        QTest::mouseClick(form.c_pImageOk, Qt::LeftButton);
    });
    EXPECT_EQ(result, 1);
    const std::string ask = zox::edition::kChinese ? "请选择要添加的用户" : "Select the user you want to add";
    EXPECT_EQ(tips, (std::vector<std::string>{ask, ask, ask}));
    // A selected group opens.
    EXPECT_TRUE(Node(form, 2)->isExpanded());
}

TEST_F(AddUserForm, EndingsAndAnUnreadableCache)
{
    TAddUserForm form(nullptr, &cache);
    ExpectEndings(form);

    cache.fail = true;
    TAddUserForm empty(nullptr, &cache);
    ASSERT_EQ(empty.c_pTreeViewUser->topLevelItemCount(), 1);
    EXPECT_EQ(Node(empty, 0)->childCount(), 0);

    // One group that cannot be read stays empty; the others are filled.
    cache.fail = false;
    cache.failMembersOf[11] = true;
    TAddUserForm partial(nullptr, &cache);
    ASSERT_EQ(partial.c_pTreeViewUser->topLevelItemCount(), 4);
    EXPECT_EQ(Node(partial, 1)->childCount(), 0);
    EXPECT_EQ(Node(partial, 3)->childCount(), 2);
}

} // namespace
