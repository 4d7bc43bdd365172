// The contacts store against a scratch data/contacts.db.
#include "console/ContactsDb.h"
#include "tests/support/CaseName.h"
#include "tests/support/TempDir.h"

#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <ostream>

namespace {

class ContactsDbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(dir / "data");
        ASSERT_TRUE(ContactsDbOpen());
    }
    void TearDown() override { ContactsDbCloseForTests(); }

    int AddUnit(const std::string &name, int parent = 0)
    {
        CONTACT_UNIT_ITEM in{0, parent, name}, out;
        EXPECT_EQ(ContactsDbInsertUnit(&in, &out), 1) << name;
        return out.id;
    }
    int AddContact(const std::string &name, int unit, const std::string &phone = "")
    {
        CONTACT_USER_ITEM c{0, unit, name, "pos", "mob", phone};
        int id = 0;
        EXPECT_EQ(ContactsDbInsertContact(&c, &id), 1) << name;
        return id;
    }
    std::vector<std::string> UnitNames(int parent)
    {
        std::vector<CONTACT_UNIT_ITEM> v;
        EXPECT_EQ(ContactsDbLoadChildUnits(parent, &v), 0);
        std::vector<std::string> out;
        for (auto &u : v)
            out.push_back(u.name);
        return out;
    }
    std::vector<std::string> ContactNames(int unit)
    {
        std::vector<CONTACT_USER_ITEM> v;
        EXPECT_EQ(ContactsDbLoadContacts(unit, &v), 0);
        std::vector<std::string> out;
        for (auto &c : v)
            out.push_back(c.name);
        return out;
    }

    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd{dir.path()};
};

TEST_F(ContactsDbTest, ANewFileGetsItsTablesSoAdditionsWork)
{
    // Without tables every insert would fail and be shown as a duplicate.
    EXPECT_TRUE(dir.exists("data/contacts.db"));
    const int top = AddUnit("Head office");
    EXPECT_GT(top, 0);
    EXPECT_GT(AddContact("Ann", top), 0);
    EXPECT_EQ(ContactNames(top), std::vector<std::string>{"Ann"});
}

TEST_F(ContactsDbTest, UnitNamesAreUniqueUnderTheirParentOnly)
{
    const int a = AddUnit("North");
    CONTACT_UNIT_ITEM dup{0, 0, "North"}, out{77, 0, ""};
    EXPECT_EQ(ContactsDbInsertUnit(&dup, &out), 0);
    EXPECT_EQ(out.id, 77) << "a duplicate leaves the record alone";
    const int b = AddUnit("Depot", a);
    CONTACT_UNIT_ITEM again{0, a, "Depot"};
    EXPECT_EQ(ContactsDbInsertUnit(&again), 0);
    const int c = AddUnit("North", a);
    EXPECT_NE(c, a);
    EXPECT_NE(b, c);
    EXPECT_EQ(UnitNames(0), std::vector<std::string>{"North"});
    EXPECT_EQ(UnitNames(a), (std::vector<std::string>{"Depot", "North"}));
}

TEST_F(ContactsDbTest, ContactNamesAreUniqueWithinTheirUnit)
{
    const int a = AddUnit("A"), b = AddUnit("B");
    AddContact("Bob", a);
    CONTACT_USER_ITEM dup{0, a, "Bob", "", "", ""};
    EXPECT_EQ(ContactsDbInsertContact(&dup), 0);
    AddContact("Bob", b);
    EXPECT_EQ(ContactNames(a).size(), 1u);
    EXPECT_EQ(ContactNames(b).size(), 1u);
}

struct TextCase {
    std::string name;
    std::string text;
};

void PrintTo(const TextCase &c, std::ostream *os) { *os << c.name; }

class ContactsDbTextTest : public ContactsDbTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(ContactsDbTextTest, TextsAreStoredAndComparedAsTyped)
{
    const std::string &t = GetParam().text;
    const int unit = AddUnit(t);
    CONTACT_UNIT_ITEM read;
    ASSERT_EQ(ContactsDbGetUnit(unit, &read), 0);
    EXPECT_EQ(read.name, t);
    CONTACT_UNIT_ITEM dup{0, 0, t};
    EXPECT_EQ(ContactsDbInsertUnit(&dup), 0) << "the same text compares equal";

    CONTACT_USER_ITEM c{0, unit, t, t, t, t};
    int id = 0;
    ASSERT_EQ(ContactsDbInsertContact(&c, &id), 1);
    CONTACT_USER_ITEM back;
    ASSERT_EQ(ContactsDbGetContact(id, &back), 0);
    EXPECT_EQ(back.name, t);
    EXPECT_EQ(back.position, t);
    EXPECT_EQ(back.mobile, t);
    EXPECT_EQ(back.phone, t);

    // Nothing ran beyond the statement: both tables are still there and hold one row each.
    std::vector<CONTACT_UNIT_ITEM> units;
    EXPECT_EQ(ContactsDbLoadUnits(&units), 0);
    EXPECT_EQ(units.size(), 1u);
    EXPECT_EQ(ContactNames(unit).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ContactsDbTextTest,
    ::testing::Values(TextCase{"apostrophe", "O'Brien"}, TextCase{"quote_ending_the_literal", "x'); DROP TABLE user; --"},
                      TextCase{"non_ascii", "Zürich Nord – 北区"}, TextCase{"percent_and_blank", "100% d "}),
    zoxtest::CaseName());

TEST_F(ContactsDbTest, UpdateWithParentZeroMakesTheUnitTopLevel)
{
    const int a = AddUnit("A");
    const int b = AddUnit("B", a);
    CONTACT_UNIT_ITEM moved{b, 0, "B2"};
    EXPECT_EQ(ContactsDbUpdateUnit(&moved), 1);
    EXPECT_EQ(UnitNames(0), (std::vector<std::string>{"A", "B2"}));
    CONTACT_UNIT_ITEM read;
    ASSERT_EQ(ContactsDbGetUnit(b, &read), 0);
    EXPECT_EQ(read.parent, 0);
    CONTACT_UNIT_ITEM missing{9999, 0, "Z"};
    EXPECT_EQ(ContactsDbUpdateUnit(&missing), 0);
    CONTACT_UNIT_ITEM unchanged{a, 0, "A"};
    EXPECT_EQ(ContactsDbUpdateUnit(&unchanged), 1) << "an existing row counts even when nothing changed";
}

TEST_F(ContactsDbTest, GetsOfMissingRowsLeaveTheRecord)
{
    CONTACT_USER_ITEM c{5, 6, "keep", "p", "m", "t"};
    EXPECT_EQ(ContactsDbGetContact(12345, &c), 0);
    EXPECT_EQ(c.name, "keep");
    EXPECT_EQ(c.unit, 6);
    CONTACT_UNIT_ITEM u{3, 4, "unit"};
    EXPECT_EQ(ContactsDbGetUnit(12345, &u), 0);
    EXPECT_EQ(u.name, "unit");
}

TEST_F(ContactsDbTest, DeletingAUnitTakesItsWholeBranchWithIt)
{
    const int top = AddUnit("Top");
    const int mid = AddUnit("Mid", top);
    const int low = AddUnit("Low", mid);
    const int other = AddUnit("Other");
    AddContact("t", top);
    AddContact("m", mid);
    AddContact("l", low);
    AddContact("o", other);

    EXPECT_EQ(ContactsDbDeleteUnit(mid), 0);
    EXPECT_TRUE(UnitNames(top).empty());
    EXPECT_TRUE(ContactNames(mid).empty());
    EXPECT_TRUE(ContactNames(low).empty());
    CONTACT_UNIT_ITEM gone{0, 0, "untouched"};
    EXPECT_EQ(ContactsDbGetUnit(low, &gone), 0);
    EXPECT_EQ(gone.name, "untouched") << "the sub-unit row is gone, not only hidden";
    EXPECT_EQ(ContactNames(top), std::vector<std::string>{"t"});
    EXPECT_EQ(ContactNames(other), std::vector<std::string>{"o"});
    // The names are free again under the old parent.
    EXPECT_GT(AddUnit("Mid", top), 0);
}

TEST_F(ContactsDbTest, ClearingAUnitKeepsTheContactsOfItsSubUnits)
{
    const int top = AddUnit("Top");
    const int sub = AddUnit("Sub", top);
    AddContact("a", top);
    AddContact("b", top);
    AddContact("c", sub);
    EXPECT_EQ(ContactsDbDeleteUnitContacts(top), 0);
    EXPECT_TRUE(ContactNames(top).empty());
    EXPECT_EQ(ContactNames(sub), std::vector<std::string>{"c"});
}

TEST_F(ContactsDbTest, UpdateAndDeleteOfOneContact)
{
    const int u = AddUnit("U");
    const int id = AddContact("Old", u);
    AddContact("Other", u);
    CONTACT_USER_ITEM c{id, u, "New", "Chief", "139-0000", "010-1234"};
    EXPECT_EQ(ContactsDbUpdateContact(&c), 1);
    CONTACT_USER_ITEM back;
    ASSERT_EQ(ContactsDbGetContact(id, &back), 0);
    EXPECT_EQ(back.phone, "010-1234");
    EXPECT_EQ(back.position, "Chief");
    EXPECT_EQ(ContactsDbDeleteContact(id), 0);
    EXPECT_EQ(ContactNames(u), std::vector<std::string>{"Other"});
}

TEST_F(ContactsDbTest, AFileWithRefusingKeysKeepsTheBranchWhole)
{
    // A delivered file whose keys refuse deleting a unit that still has sub-units:
    // the deletion fails as a whole, the contacts are not lost half-way.
    ContactsDbCloseForTests();
    std::filesystem::remove(dir / "data/contacts.db");
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open((dir / "data/contacts.db").c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE unit(id INTEGER PRIMARY KEY, name TEXT, parent INTEGER REFERENCES "
                           "unit(id) ON DELETE RESTRICT);"
                           "CREATE TABLE user(id INTEGER PRIMARY KEY, name TEXT, position TEXT, mobile TEXT, "
                           "phone TEXT, unit INTEGER REFERENCES unit(id));"
                           "CREATE TRIGGER keep BEFORE DELETE ON unit WHEN old.name='Locked' "
                           "BEGIN SELECT RAISE(ABORT, 'locked'); END;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    ASSERT_TRUE(ContactsDbOpen());
    const int top = AddUnit("Top");
    AddUnit("Locked", top);
    AddContact("a", top);
    EXPECT_EQ(ContactsDbDeleteUnit(top), -2);
    EXPECT_EQ(ContactNames(top), std::vector<std::string>{"a"});
    EXPECT_EQ(UnitNames(top), std::vector<std::string>{"Locked"});
}

TEST_F(ContactsDbTest, LastInsertIdTakesOnlyTheTwoTables)
{
    const int u = AddUnit("U");
    EXPECT_EQ(ContactsDbLastInsertId("unit"), u);
    EXPECT_EQ(ContactsDbLastInsertId(""), u);
    EXPECT_EQ(ContactsDbLastInsertId("user"), 0) << "no contact row yet";
    EXPECT_EQ(ContactsDbLastInsertId("unit; DROP TABLE unit"), -1);
    EXPECT_EQ(UnitNames(0), std::vector<std::string>{"U"});
}

TEST(ContactsDbClosed, EveryCallWithoutConnectionOrArgumentFails)
{
    ContactsDbCloseForTests();
    std::vector<CONTACT_UNIT_ITEM> units;
    std::vector<CONTACT_USER_ITEM> users;
    CONTACT_UNIT_ITEM u;
    CONTACT_USER_ITEM c;
    EXPECT_EQ(ContactsDbLoadUnits(&units), -1);
    EXPECT_EQ(ContactsDbLoadChildUnits(0, &units), -1);
    EXPECT_EQ(ContactsDbGetUnit(1, &u), -1);
    EXPECT_EQ(ContactsDbInsertUnit(&u), -1);
    EXPECT_EQ(ContactsDbUpdateUnit(&u), -1);
    EXPECT_EQ(ContactsDbDeleteUnit(1), -1);
    EXPECT_EQ(ContactsDbLoadContacts(1, &users), -1);
    EXPECT_EQ(ContactsDbGetContact(1, &c), -1);
    EXPECT_EQ(ContactsDbInsertContact(&c), -1);
    EXPECT_EQ(ContactsDbUpdateContact(&c), -1);
    EXPECT_EQ(ContactsDbDeleteContact(1), -1);
    EXPECT_EQ(ContactsDbDeleteUnitContacts(1), -1);
    EXPECT_EQ(ContactsDbLastInsertId("unit"), -1);
}

TEST_F(ContactsDbTest, NullArgumentsAreRefused)
{
    EXPECT_EQ(ContactsDbLoadUnits(nullptr), -1);
    EXPECT_EQ(ContactsDbGetUnit(1, nullptr), -1);
    EXPECT_EQ(ContactsDbInsertUnit(nullptr), -1);
    EXPECT_EQ(ContactsDbInsertContact(nullptr), -1);
    EXPECT_EQ(ContactsDbLoadContacts(1, nullptr), -1);
}

TEST(ContactsDbOpenFailure, AFolderThatCannotHoldTheFileFailsAndALaterCallRetries)
{
    ContactsDbCloseForTests();
    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd(dir.path());
    EXPECT_FALSE(ContactsDbOpen()) << "no data folder";
    std::filesystem::create_directories(dir / "data");
    EXPECT_TRUE(ContactsDbOpen());
    EXPECT_TRUE(ContactsDbOpen()) << "a second call keeps the connection";
    ContactsDbCloseForTests();
}

TEST(ContactsUnitSubtree, CollectsEveryDescendantAndSurvivesALoop)
{
    const std::vector<CONTACT_UNIT_ITEM> units = {
        {1, 0, "a"}, {2, 1, "b"}, {3, 2, "c"}, {4, 0, "d"}, {5, 3, "e"}, {6, 7, "loop1"}, {7, 6, "loop2"}};
    auto sub = ContactsUnitSubtree(units, 1);
    std::sort(sub.begin(), sub.end());
    EXPECT_EQ(sub, (std::vector<int>{1, 2, 3, 5}));
    auto loop = ContactsUnitSubtree(units, 6);
    std::sort(loop.begin(), loop.end());
    EXPECT_EQ(loop, (std::vector<int>{6, 7}));
}

} // namespace
