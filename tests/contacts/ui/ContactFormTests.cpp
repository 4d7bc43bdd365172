// The contacts book window and its two dialogs, offscreen, on a scratch book.
#include "console/ContactsDb.h"
#include "console/ui/Contactfrm.h"
#include "console/ui/Contactunitfrm.h"
#include "console/ui/Contactuserfrm.h"
#include "console/ui/FontSetup.h"
#include "console/ui/Msgtipfrm.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiApp.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTreeWidget>

#include <deque>
#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>

namespace {

class ContactFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        zoxtest::uiApp();
        zox::skin::InstallFontSubstitutions();
        std::filesystem::create_directories(dir / "data");
        ASSERT_TRUE(ContactsDbOpen());
    }
    void TearDown() override
    {
        form.reset();
        ContactsDbCloseForTests();
    }

    int Unit(const std::string &name, int parent = 0)
    {
        CONTACT_UNIT_ITEM in{0, parent, name}, out;
        EXPECT_EQ(ContactsDbInsertUnit(&in, &out), 1);
        return out.id;
    }
    void Person(const std::string &name, int unit, const std::string &mobile = "", const std::string &phone = "")
    {
        CONTACT_USER_ITEM c{0, unit, name, "pos", mobile, phone};
        EXPECT_EQ(ContactsDbInsertContact(&c), 1);
    }
    // The window shown with its dialogs answered by the queued steps.
    void Open()
    {
        form = std::make_unique<TContactForm>(nullptr);
        form->ExecDialog = [this](QDialog &d) {
            shownDialogs.push_back(d.objectName().toStdString());
            if (steps.empty())
                return 2;
            auto step = steps.front();
            steps.pop_front();
            return step(d);
        };
        form->ShowTip = [this](const std::string &t) { tips.push_back(t); };
        form->CallNumberHandler = [this](QWidget *owner, const std::string &n) {
            EXPECT_EQ(owner, form.get());
            calls.push_back(n);
        };
        form->show();
        QCoreApplication::processEvents();
    }
    // Fills and accepts a unit dialog (superior chosen by its text when given).
    static std::function<int(QDialog &)> UnitOk(const QString &name, const QString &superior = QString())
    {
        return [=](QDialog &d) {
            auto &u = dynamic_cast<TContactUnitForm &>(d);
            u.c_pEditName->setText(name);
            if (!superior.isNull())
                u.c_pComboParent->setCurrentIndex(u.c_pComboParent->findText(superior));
            return 1;
        };
    }
    static std::function<int(QDialog &)> Answer(int result)
    {
        return [=](QDialog &) { return result; };
    }
    QTreeWidgetItem *Node(const QString &text) const
    {
        const auto hits = form->c_pTreeView->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return hits.isEmpty() ? nullptr : hits.first();
    }
    std::vector<std::string> Rows(int column) const
    {
        std::vector<std::string> out;
        for (int i = 0; i < form->c_pListView->topLevelItemCount(); ++i)
            out.push_back(form->c_pListView->topLevelItem(i)->text(column).toStdString());
        return out;
    }
    QPoint CellCentre(int row, int column) const
    {
        const QRect r = form->c_pListView->visualItemRect(form->c_pListView->topLevelItem(row));
        const int x = form->c_pListView->header()->sectionViewportPosition(column) +
                      form->c_pListView->columnWidth(column) / 2;
        return {x, r.center().y()};
    }
    void Press(QWidget *w, QPoint pos, Qt::MouseButton b)
    {
        QMouseEvent e(QEvent::MouseButtonPress, QPointF(pos), w->mapToGlobal(QPointF(pos)), b, b, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
        QMouseEvent r(QEvent::MouseButtonRelease, QPointF(pos), w->mapToGlobal(QPointF(pos)), b, Qt::NoButton,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(w, &r);
    }

    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd{dir.path()};
    std::unique_ptr<TContactForm> form;
    std::deque<std::function<int(QDialog &)>> steps;
    std::vector<std::string> shownDialogs, tips, calls;
};

TEST_F(ContactFormTest, AnEmptyBookOffersOnlyTheTopLevelAdd)
{
    Open();
    EXPECT_EQ(form->c_pTreeView->topLevelItemCount(), 0);
    Press(form->c_pTreeView->viewport(), {20, 20}, Qt::RightButton);
    EXPECT_TRUE(form->c_pPopMenuAddNode->isVisible());
    EXPECT_FALSE(form->c_pPopMenuAddSubNode->isVisible());
    EXPECT_FALSE(form->c_pPopMenuEditNode->isVisible());
    EXPECT_FALSE(form->c_pPopMenuDeleteNode->isVisible());
    form->c_pPopupMenuTree->hide();

    // The first unit of a new file is stored (the file got its tables).
    steps = {UnitOk("  Harbour  ")};
    form->c_pPopMenuAddNode->trigger();
    EXPECT_TRUE(tips.empty());
    ASSERT_NE(Node("Harbour"), nullptr) << "the name is trimmed";
    std::vector<CONTACT_UNIT_ITEM> stored;
    ContactsDbLoadUnits(&stored);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(Node("Harbour")->data(0, Qt::UserRole).toInt(), stored[0].id);
}

TEST_F(ContactFormTest, ADuplicateNameIsRefusedAndAddsNoNode)
{
    const int top = Unit("Harbour");
    Unit("Pilots", top);
    Open();
    steps = {UnitOk("Harbour")};
    form->c_pPopMenuAddNode->trigger();
    EXPECT_EQ(tips, std::vector<std::string>{"Please check if the name is duplicate."});
    EXPECT_EQ(form->c_pTreeView->topLevelItemCount(), 1);

    form->c_pTreeView->setCurrentItem(Node("Harbour"));
    steps = {UnitOk("Pilots"), UnitOk("Tugs")};
    form->c_pPopMenuAddSubNode->trigger();
    EXPECT_EQ(tips.size(), 2u);
    form->c_pPopMenuAddSubNode->trigger();
    ASSERT_NE(Node("Tugs"), nullptr);
    EXPECT_EQ(Node("Tugs")->parent(), Node("Harbour"));
    EXPECT_EQ(Node("Harbour")->childCount(), 2);
}

TEST_F(ContactFormTest, AUnitListsItsOwnContactsThenThoseBelowNumberedOnward)
{
    const int a = Unit("A");
    const int b = Unit("B", a);
    const int c = Unit("C", a);
    const int d = Unit("D", c);
    Person("a1", a);
    Person("a2", a);
    Person("b1", b);
    Person("d1", d);
    Open();
    EXPECT_TRUE(Node("D")->parent()->isExpanded()) << "the tree opens expanded";
    form->c_pTreeView->setCurrentItem(Node("A"));
    EXPECT_EQ(Rows(TContactForm::kColName), (std::vector<std::string>{"a1", "a2", "b1", "d1"}));
    EXPECT_EQ(Rows(TContactForm::kColNumber), (std::vector<std::string>{"  1", "  2", "  3", "  4"}));
    form->c_pTreeView->setCurrentItem(Node("C"));
    EXPECT_EQ(Rows(TContactForm::kColName), std::vector<std::string>{"d1"});

    // Odd rows light grey, even rows white.
    form->c_pListView->clearSelection();
    form->c_pListView->setCurrentItem(nullptr);
    form->c_pTreeView->setCurrentItem(Node("A"));
    const QImage shot = form->c_pListView->viewport()->grab().toImage();
    const auto back = [&](int row) {
        const QRect r = form->c_pListView->visualItemRect(form->c_pListView->topLevelItem(row));
        return shot.pixelColor(CellCentre(row, TContactForm::kColPosition).x() + 80, r.top() + 1);
    };
    EXPECT_EQ(back(0), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(back(1), QColor(Qt::white));
}

TEST_F(ContactFormTest, TheSuperiorListLeavesOutTheUnitAndEveryUnitBelowIt)
{
    const int a = Unit("A");
    const int b = Unit("B", a);
    const int c = Unit("C", b);
    Unit("D", c);
    Unit("E");
    TContactUnitForm dlg(nullptr, a, false, "B", b);
    QStringList offered;
    for (int i = 0; i < dlg.c_pComboParent->count(); ++i)
        offered << dlg.c_pComboParent->itemText(i);
    EXPECT_EQ(offered, (QStringList{"None", "A", "E"}));
    EXPECT_EQ(dlg.c_pComboParent->currentText(), "A") << "the current superior is selected";
    EXPECT_EQ(dlg.c_pLabelTitle->text(), "Edit");
    EXPECT_EQ(dlg.c_pEditName->text(), "B");
}

TEST_F(ContactFormTest, MovingAUnitToNoneMakesItTopLevelAndExpanded)
{
    const int a = Unit("A");
    const int b = Unit("B", a);
    Unit("C", b);
    Open();
    form->c_pTreeView->setCurrentItem(Node("B"));
    steps = {UnitOk("B moved", "None")};
    form->c_pPopMenuEditNode->trigger();
    QTreeWidgetItem *moved = Node("B moved");
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->parent(), nullptr);
    EXPECT_EQ(form->c_pTreeView->indexOfTopLevelItem(moved), 1);
    EXPECT_TRUE(moved->isExpanded());
    EXPECT_EQ(moved->child(0)->text(0), "C");
    CONTACT_UNIT_ITEM stored;
    ContactsDbGetUnit(b, &stored);
    EXPECT_EQ(stored.parent, 0);
    EXPECT_EQ(stored.name, "B moved");
}

TEST_F(ContactFormTest, DeletingAUnitRemovesItsBranchInTheWindowAndTheFile)
{
    const int a = Unit("A");
    const int b = Unit("B", a);
    Unit("C", b);
    Person("b1", b);
    Open();
    form->c_pTreeView->setCurrentItem(Node("B"));
    steps = {Answer(2)};
    form->c_pPopMenuDeleteNode->trigger();
    EXPECT_NE(Node("B"), nullptr) << "no answers no";
    EXPECT_EQ(shownDialogs.back(), "TMsgTipForm");
    steps = {Answer(1)};
    form->c_pPopMenuDeleteNode->trigger();
    EXPECT_EQ(Node("B"), nullptr);
    EXPECT_EQ(Node("C"), nullptr);
    // Reopening shows the same book: nothing of the branch was left behind.
    form->hide();
    form->show();
    EXPECT_EQ(Node("C"), nullptr);
    std::vector<CONTACT_USER_ITEM> left;
    ContactsDbLoadContacts(b, &left);
    EXPECT_TRUE(left.empty());
}

struct ClickCase {
    const char *name;
    int row;
    int column;
    std::vector<std::string> calls;
};

void PrintTo(const ClickCase &c, std::ostream *os) { *os << c.name; }

class ContactClickTest : public ContactFormTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(ContactClickTest, TheCellUnderThePointerIsCalled)
{
    const int a = Unit("A");
    Person("first", a, "139-1111-2222", "010-555");
    Person("second", a, "", "0571-88-00");
    Open();
    form->c_pTreeView->setCurrentItem(Node("A"));
    form->c_pListView->setCurrentItem(form->c_pListView->topLevelItem(0)); // another row is selected
    Press(form->c_pListView->viewport(), CellCentre(GetParam().row, GetParam().column), Qt::LeftButton);
    EXPECT_EQ(calls, GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ContactClickTest,
    ::testing::Values(ClickCase{"telephone_of_the_pointer_row", 1, TContactForm::kColPhone, {"05718800"}},
                      ClickCase{"mobile_of_the_selected_row", 0, TContactForm::kColMobile, {"13911112222"}},
                      ClickCase{"empty_mobile_calls_nothing", 1, TContactForm::kColMobile, {}},
                      ClickCase{"name_calls_nothing", 1, TContactForm::kColName, {}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(ContactFormTest, ListMenuAndContactActions)
{
    const int a = Unit("A");
    const int b = Unit("B", a);
    Person("a1", a);
    Person("a2", a);
    Person("b1", b);
    Open();
    form->c_pTreeView->setCurrentItem(Node("A"));
    form->c_pListView->setCurrentItem(nullptr);
    form->OnPopupMenuListPopup();
    EXPECT_TRUE(form->c_pPopMenuNewItem->isVisible());
    EXPECT_TRUE(form->c_pPopMenuDeleteAll->isVisible());
    EXPECT_FALSE(form->c_pPopMenuEditItem->isVisible());

    // New contact in the selected unit; a duplicate name there is refused.
    steps = {[](QDialog &d) {
        auto &u = dynamic_cast<TContactUserForm &>(d);
        u.c_pEditName->setText(" a3 ");
        u.c_pEditPhone->setText(" 010-1 ");
        return 1;
    }};
    form->c_pPopMenuNewItem->trigger();
    EXPECT_EQ(Rows(TContactForm::kColName), (std::vector<std::string>{"a1", "a2", "a3", "b1"}));
    EXPECT_EQ(Rows(TContactForm::kColPhone)[2], "010-1");
    steps = {[](QDialog &d) {
        dynamic_cast<TContactUserForm &>(d).c_pEditName->setText("a1");
        return 1;
    }};
    form->c_pPopMenuNewItem->trigger();
    EXPECT_EQ(tips, std::vector<std::string>{"Please check if the name is duplicate."});

    // Edit pre-fills the dialog from the stored contact.
    form->c_pListView->setCurrentItem(form->c_pListView->topLevelItem(1));
    form->OnPopupMenuListPopup();
    EXPECT_TRUE(form->c_pPopMenuEditItem->isVisible());
    EXPECT_FALSE(form->c_pPopMenuNewItem->isVisible());
    steps = {[](QDialog &d) {
        auto &u = dynamic_cast<TContactUserForm &>(d);
        EXPECT_EQ(u.c_pEditName->text(), "a2");
        u.c_pEditPos->setText("Chief");
        return 1;
    }};
    form->c_pPopMenuEditItem->trigger();
    EXPECT_EQ(Rows(TContactForm::kColPosition)[1], "Chief");

    // Deleting the last row selects the one above it; the others keep their numbers.
    form->c_pListView->setCurrentItem(form->c_pListView->topLevelItem(3));
    steps = {Answer(1)};
    form->c_pPopMenuDeleteItem->trigger();
    EXPECT_EQ(Rows(TContactForm::kColName), (std::vector<std::string>{"a1", "a2", "a3"}));
    EXPECT_EQ(form->c_pListView->currentItem(), form->c_pListView->topLevelItem(2));

    // Clear removes the unit's own contacts; those of its sub-units stay.
    form->c_pTreeView->setCurrentItem(Node("A"));
    Person("b2", b);
    form->c_pTreeView->setCurrentItem(Node("B"));
    form->c_pTreeView->setCurrentItem(Node("A"));
    steps = {Answer(1)};
    form->c_pPopMenuDeleteAll->trigger();
    EXPECT_EQ(Rows(TContactForm::kColName), std::vector<std::string>{"b2"});
    EXPECT_EQ(Rows(TContactForm::kColNumber), std::vector<std::string>{"  1"});
}

TEST_F(ContactFormTest, DialogsRefuseAnEmptyNameAndCutLongTexts)
{
    TContactUserForm user(nullptr, nullptr, 7, true);
    std::vector<std::string> shown;
    user.ShowTip = [&](const std::string &t) { shown.push_back(t); };
    user.setResult(0);
    user.c_pEditName->setText("   ");
    user.OnImageOkClick();
    EXPECT_EQ(shown, std::vector<std::string>{"Name cannot be empty."});
    EXPECT_EQ(user.result(), 0) << "the dialog stays open";
    const QString seventy(70, QChar('x'));
    for (QLineEdit *e : {user.c_pEditName, user.c_pEditPos, user.c_pEditMobile, user.c_pEditPhone}) {
        e->setText(seventy);
        EXPECT_EQ(e->text().size(), 64);
    }
    CONTACT_USER_ITEM c;
    user.GetContact(&c);
    EXPECT_EQ(c.unit, 7);
    EXPECT_EQ(c.id, 0);

    TContactUnitForm unit(nullptr, 0, true, "Parent", 42);
    unit.ShowTip = user.ShowTip;
    EXPECT_EQ(unit.c_pComboParent->count(), 1);
    EXPECT_EQ(unit.c_pComboParent->currentText(), "Parent");
    unit.c_pEditName->setText(seventy);
    EXPECT_EQ(unit.c_pEditName->text().size(), 64);
    CONTACT_UNIT_ITEM item;
    unit.GetUnitItem(&item);
    EXPECT_EQ(item.parent, 42);
    EXPECT_EQ(item.id, 0);
}

TEST_F(ContactFormTest, TheClosePictureOnlyHidesTheWindow)
{
    Open();
    EXPECT_EQ(form->minimumSize(), QSize(950, 590));
    form->OnImageCloseClick();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->c_pLabelTitle->text(), "Address list");
}

} // namespace
