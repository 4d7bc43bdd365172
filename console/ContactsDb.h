#pragma once
// The dispatcher's private contacts book: a tree of units, each holding contacts, in
// the SQLite file data/contacts.db under the working folder. One connection for the
// process, opened by the first ContactsDbOpen that succeeds and kept until the end.
// User-interface thread only. Texts are UTF-8 on both sides; every value reaches the
// database as a bound statement parameter.
#include <string>
#include <vector>

struct CONTACT_UNIT_ITEM {
    int id = 0;
    int parent = 0; // 0: a top-level unit
    std::string name;
};

struct CONTACT_USER_ITEM {
    int id = 0;
    int unit = 0;
    std::string name;
    std::string position;
    std::string mobile;
    std::string phone;
};

// Opens data/contacts.db when no connection is held (creating the two tables in a new
// file) and switches foreign keys on. False when the file cannot be opened.
bool ContactsDbOpen();

// Result codes: 0 success; -1 no connection, a missing argument, or a failed insert or
// update; -2 a read that could not be prepared or a deletion that failed.
int ContactsDbLoadUnits(std::vector<CONTACT_UNIT_ITEM> *units);
// The units under the parent; the top-level units for a parent below 1.
int ContactsDbLoadChildUnits(int parentId, std::vector<CONTACT_UNIT_ITEM> *units);
// Fills the record from the unit's row; a missing row leaves it as it was (0).
int ContactsDbGetUnit(int unitId, CONTACT_UNIT_ITEM *unit);
// 1 when added, 0 when a unit of that name already hangs under the same parent, -1 on
// failure. The new id goes into newItem's id when given.
int ContactsDbInsertUnit(const CONTACT_UNIT_ITEM *unit, CONTACT_UNIT_ITEM *newItem = nullptr);
// The number of rows changed (0 when no unit has that id), -1 on failure.
int ContactsDbUpdateUnit(const CONTACT_UNIT_ITEM *unit);
// Deletes the unit together with its sub-units (at every depth) and all their
// contacts, in one transaction.
int ContactsDbDeleteUnit(int unitId);

int ContactsDbLoadContacts(int unitId, std::vector<CONTACT_USER_ITEM> *contacts);
int ContactsDbGetContact(int contactId, CONTACT_USER_ITEM *contact);
// 1 when added, 0 when the unit already holds a contact of that name, -1 on failure.
int ContactsDbInsertContact(const CONTACT_USER_ITEM *contact, int *newId = nullptr);
int ContactsDbUpdateContact(const CONTACT_USER_ITEM *contact);
int ContactsDbDeleteContact(int contactId);
// Deletes the contacts held directly by the unit (not those of its sub-units).
int ContactsDbDeleteUnitContacts(int unitId);

// The id of the last inserted row, read through "unit", "user" or no table; 0 when
// the query yields no row. Any other table name is refused (-1).
int ContactsDbLastInsertId(const std::string &table);

// Closes the connection. The program never calls it; tests do, between their files.
void ContactsDbCloseForTests();

// The ids of the unit and of every unit below it, taken from a full unit list (a
// loop in the list ends the walk instead of running forever).
std::vector<int> ContactsUnitSubtree(const std::vector<CONTACT_UNIT_ITEM> &units, int unitId);
