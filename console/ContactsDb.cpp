#include "console/ContactsDb.h"

#include "core/TextConv.h"

#include <sqlite3.h>

#include <map>
#include <set>

namespace {

sqlite3 *g_contactsDb = nullptr;

constexpr const char *kContactsFile = "data/contacts.db";
// A text column longer than this is cut (at a character boundary) when read.
constexpr int kMaxTextBytes = 4096;

// The tables of a new file. Deleting a unit takes its sub-units and their contacts
// with it.
constexpr const char *kSchema =
    "CREATE TABLE IF NOT EXISTS unit("
    "id INTEGER PRIMARY KEY,"
    "name TEXT NOT NULL,"
    "parent INTEGER REFERENCES unit(id) ON DELETE CASCADE);"
    "CREATE TABLE IF NOT EXISTS user("
    "id INTEGER PRIMARY KEY,"
    "name TEXT NOT NULL,"
    "position TEXT,"
    "mobile TEXT,"
    "phone TEXT,"
    "unit INTEGER REFERENCES unit(id) ON DELETE CASCADE);";

// One prepared statement, finalised when it goes out of scope.
class Statement {
public:
    explicit Statement(const char *sql)
    {
        if (sqlite3_prepare_v2(g_contactsDb, sql, -1, &m_stmt, nullptr) != SQLITE_OK) {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
        }
    }
    ~Statement() { sqlite3_finalize(m_stmt); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool ok() const { return m_stmt != nullptr; }
    bool bind(int index, const std::string &text)
    {
        return sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT) ==
               SQLITE_OK;
    }
    bool bind(int index, int value) { return sqlite3_bind_int(m_stmt, index, value) == SQLITE_OK; }
    int step() { return sqlite3_step(m_stmt); }
    int intAt(int column) const { return sqlite3_column_int(m_stmt, column); }
    std::string textAt(int column) const
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
        if (!p)
            return {};
        int n = sqlite3_column_bytes(m_stmt, column);
        if (n > kMaxTextBytes)
            n = kMaxTextBytes;
        return ToValidUtf8(std::string_view(p, static_cast<std::size_t>(n)));
    }

private:
    sqlite3_stmt *m_stmt = nullptr;
};

// Runs a statement without a result set; true when it completed.
bool RunStatement(Statement &st)
{
    if (!st.ok())
        return false;
    const int rc = st.step();
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

bool Exec(const char *sql)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(g_contactsDb, sql, nullptr, nullptr, &error);
    sqlite3_free(error);
    return rc == SQLITE_OK;
}

CONTACT_UNIT_ITEM ReadUnit(const Statement &st)
{
    CONTACT_UNIT_ITEM u;
    u.id = st.intAt(0);
    u.name = st.textAt(1);
    u.parent = st.intAt(2);
    return u;
}

CONTACT_USER_ITEM ReadContact(const Statement &st)
{
    CONTACT_USER_ITEM c;
    c.id = st.intAt(0);
    c.name = st.textAt(1);
    c.position = st.textAt(2);
    c.mobile = st.textAt(3);
    c.phone = st.textAt(4);
    c.unit = st.intAt(5);
    return c;
}

template <typename Item, typename Reader>
int LoadRows(Statement &st, std::vector<Item> *out, Reader read)
{
    if (!st.ok())
        return -2;
    int rc;
    while ((rc = st.step()) == SQLITE_ROW)
        out->push_back(read(st));
    return rc == SQLITE_DONE ? 0 : -2;
}

// Rows whose owner column holds ownerId, or is NULL for an owner below 1 (the top level).
template <typename Item, typename Reader>
int LoadRowsOf(const std::string &select, const char *ownerColumn, int ownerId, std::vector<Item> *out, Reader read)
{
    if (ownerId < 1) {
        Statement st((select + " WHERE " + ownerColumn + " is NULL").c_str());
        return LoadRows(st, out, read);
    }
    Statement st((select + " WHERE " + ownerColumn + "=?1").c_str());
    if (st.ok() && !st.bind(1, ownerId))
        return -2;
    return LoadRows(st, out, read);
}

// The row with the id; a missing row leaves the record as it is.
template <typename Item, typename Reader>
int GetRowById(const std::string &select, int id, Item *out, Reader read)
{
    Statement st((select + " WHERE id=?1").c_str());
    if (!st.ok() || !st.bind(1, id))
        return -2;
    const int rc = st.step();
    if (rc == SQLITE_ROW)
        *out = read(st);
    else if (rc != SQLITE_DONE)
        return -2;
    return 0;
}

} // namespace

bool ContactsDbOpen()
{
    if (!g_contactsDb) {
        sqlite3 *db = nullptr;
        const int rc = sqlite3_open_v2(kContactsFile, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close(db);
            return false;
        }
        g_contactsDb = db;
        // A new (empty) file gets its tables; a delivered file keeps its own.
        if (!Exec(kSchema)) {
            sqlite3_close(g_contactsDb);
            g_contactsDb = nullptr;
            return false;
        }
    }
    Exec("PRAGMA foreign_keys = ON;");
    return true;
}

void ContactsDbCloseForTests()
{
    if (g_contactsDb)
        sqlite3_close(g_contactsDb);
    g_contactsDb = nullptr;
}

int ContactsDbLoadUnits(std::vector<CONTACT_UNIT_ITEM> *units)
{
    if (!g_contactsDb || !units)
        return -1;
    Statement st("SELECT id,name,parent FROM unit");
    return LoadRows(st, units, ReadUnit);
}

int ContactsDbLoadChildUnits(int parentId, std::vector<CONTACT_UNIT_ITEM> *units)
{
    if (!g_contactsDb || !units)
        return -1;
    return LoadRowsOf("SELECT id,name,parent FROM unit", "parent", parentId, units, ReadUnit);
}

int ContactsDbGetUnit(int unitId, CONTACT_UNIT_ITEM *unit)
{
    if (!g_contactsDb || !unit)
        return -1;
    return GetRowById("SELECT id,name,parent FROM unit", unitId, unit, ReadUnit);
}

int ContactsDbInsertUnit(const CONTACT_UNIT_ITEM *unit, CONTACT_UNIT_ITEM *newItem)
{
    if (!g_contactsDb || !unit)
        return -1;
    const bool underParent = unit->parent > 0;
    Statement st(underParent ? "INSERT INTO unit(name,parent) SELECT ?1,?2 "
                               "WHERE NOT EXISTS(SELECT * FROM unit WHERE name=?1 AND parent=?2)"
                             : "INSERT INTO unit(name) SELECT ?1 "
                               "WHERE NOT EXISTS(SELECT * FROM unit WHERE name=?1 AND parent is NULL)");
    if (!st.ok() || !st.bind(1, unit->name) || (underParent && !st.bind(2, unit->parent)) || !RunStatement(st))
        return -1;
    const int added = sqlite3_changes(g_contactsDb);
    if (added > 0 && newItem)
        newItem->id = ContactsDbLastInsertId("unit");
    return added;
}

int ContactsDbUpdateUnit(const CONTACT_UNIT_ITEM *unit)
{
    if (!g_contactsDb || !unit)
        return -1;
    const bool underParent = unit->parent > 0;
    Statement st(underParent ? "UPDATE unit SET name=?1,parent=?2 WHERE id=?3"
                             : "UPDATE unit SET name=?1,parent=NULL WHERE id=?3");
    if (!st.ok() || !st.bind(1, unit->name) || (underParent && !st.bind(2, unit->parent)) || !st.bind(3, unit->id) ||
        !RunStatement(st))
        return -1;
    return sqlite3_changes(g_contactsDb);
}

int ContactsDbDeleteUnit(int unitId)
{
    if (!g_contactsDb)
        return -1;
    // The whole branch goes: the contacts of every unit in it, then the units. A file
    // whose keys refuse the deletion keeps the branch as it was.
    if (!Exec("SAVEPOINT delete_unit;"))
        return -2;
    bool ok = true;
    static const char *const kSteps[] = {
        "WITH RECURSIVE branch(id) AS (SELECT ?1 UNION SELECT unit.id FROM unit JOIN branch ON unit.parent=branch.id) "
        "DELETE FROM user WHERE unit IN branch",
        "WITH RECURSIVE branch(id) AS (SELECT ?1 UNION SELECT unit.id FROM unit JOIN branch ON unit.parent=branch.id) "
        "DELETE FROM unit WHERE id IN branch",
    };
    for (const char *sql : kSteps) {
        Statement st(sql);
        if (!st.ok() || !st.bind(1, unitId) || !RunStatement(st)) {
            ok = false;
            break;
        }
    }
    if (!ok) {
        Exec("ROLLBACK TO delete_unit;");
        Exec("RELEASE delete_unit;");
        return -2;
    }
    return Exec("RELEASE delete_unit;") ? 0 : -2;
}

int ContactsDbLoadContacts(int unitId, std::vector<CONTACT_USER_ITEM> *contacts)
{
    if (!g_contactsDb || !contacts)
        return -1;
    return LoadRowsOf("SELECT id,name,position,mobile,phone,unit FROM user", "unit", unitId, contacts, ReadContact);
}

int ContactsDbGetContact(int contactId, CONTACT_USER_ITEM *contact)
{
    if (!g_contactsDb || !contact)
        return -1;
    return GetRowById("SELECT id,name,position,mobile,phone,unit FROM user", contactId, contact, ReadContact);
}

int ContactsDbInsertContact(const CONTACT_USER_ITEM *contact, int *newId)
{
    if (!g_contactsDb || !contact)
        return -1;
    Statement st("INSERT INTO user(name,position,mobile,phone,unit) SELECT ?1,?2,?3,?4,?5 "
                 "WHERE NOT EXISTS(SELECT * FROM user WHERE name=?1 AND unit=?5)");
    if (!st.ok() || !st.bind(1, contact->name) || !st.bind(2, contact->position) || !st.bind(3, contact->mobile) ||
        !st.bind(4, contact->phone) || !st.bind(5, contact->unit) || !RunStatement(st))
        return -1;
    const int added = sqlite3_changes(g_contactsDb);
    if (added > 0 && newId)
        *newId = ContactsDbLastInsertId("user");
    return added;
}

int ContactsDbUpdateContact(const CONTACT_USER_ITEM *contact)
{
    if (!g_contactsDb || !contact)
        return -1;
    Statement st("UPDATE user SET name=?1,position=?2,mobile=?3,phone=?4,unit=?5 WHERE id=?6");
    if (!st.ok() || !st.bind(1, contact->name) || !st.bind(2, contact->position) || !st.bind(3, contact->mobile) ||
        !st.bind(4, contact->phone) || !st.bind(5, contact->unit) || !st.bind(6, contact->id) || !RunStatement(st))
        return -1;
    return sqlite3_changes(g_contactsDb);
}

namespace {
int DeleteById(const char *sql, int id)
{
    if (!g_contactsDb)
        return -1;
    Statement st(sql);
    if (!st.ok() || !st.bind(1, id) || !RunStatement(st))
        return -2;
    return 0;
}
} // namespace

int ContactsDbDeleteContact(int contactId) { return DeleteById("DELETE FROM user WHERE id=?1", contactId); }

int ContactsDbDeleteUnitContacts(int unitId) { return DeleteById("DELETE FROM user WHERE unit=?1", unitId); }

int ContactsDbLastInsertId(const std::string &table)
{
    if (!g_contactsDb)
        return -1;
    const char *sql = nullptr;
    if (table.empty())
        sql = "SELECT last_insert_rowid()";
    else if (table == "unit")
        sql = "SELECT last_insert_rowid() FROM unit";
    else if (table == "user")
        sql = "SELECT last_insert_rowid() FROM user";
    else
        return -1;
    Statement st(sql);
    if (!st.ok())
        return -2;
    const int rc = st.step();
    if (rc == SQLITE_ROW)
        return st.intAt(0);
    return rc == SQLITE_DONE ? 0 : -2;
}

std::vector<int> ContactsUnitSubtree(const std::vector<CONTACT_UNIT_ITEM> &units, int unitId)
{
    std::multimap<int, int> children;
    for (const auto &u : units)
        children.emplace(u.parent, u.id);
    std::vector<int> out;
    std::set<int> seen;
    std::vector<int> todo{unitId};
    while (!todo.empty()) {
        const int id = todo.back();
        todo.pop_back();
        if (!seen.insert(id).second)
            continue;
        out.push_back(id);
        auto [b, e] = children.equal_range(id);
        for (auto it = b; it != e; ++it)
            todo.push_back(it->second);
    }
    return out;
}
