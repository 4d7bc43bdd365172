#include "core/ZoxDataModule.h"

#include "core/Log.h"
#include "core/NetTcpServiceForm.h"
#include "core/net/NetFacade.h"

#include <soci/soci.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <stdexcept>

namespace {

using soci::indicator;

// Bulk inserts send at most this many rows per statement; a larger list is written
// in one transaction, so that it is still stored or refused as a whole.
constexpr std::size_t kBulkRows = 4096;
// MariaDB accepts at most 65535 placeholders in one statement.
constexpr std::size_t kMaxInList = 60000;

constexpr long long kU8 = 0xFF;
constexpr long long kU32 = 0xFFFFFFFFLL;

// The statement with its placeholders named :p1, :p2, ... in order (the statements
// of this unit hold no question mark in any other place); SOCI reports the errors of
// statements with named placeholders properly.
std::string Named(const std::string &sql)
{
    std::string out;
    out.reserve(sql.size() + 16);
    int n = 0;
    for (char ch : sql) {
        if (ch == '?')
            out += ":p" + std::to_string(++n);
        else
            out += ch;
    }
    return out;
}

std::string UserColumns(const char *prefix)
{
    static const char *const names[] = {"userNumber", "displayName", "dispatcher", "isMobile",
                                        "regState",   "callState",   "vpState",    "dcFlag",
                                        "priority",   "callRef",     "userType"};
    std::string cols;
    for (const char *n : names) {
        if (!cols.empty())
            cols += ", ";
        cols += prefix;
        cols += n;
    }
    return cols;
}

// A column value that must fit its record field; NULL reads as 0.
long long Fit(long long value, indicator ind, long long lo, long long hi, const char *column)
{
    if (ind == soci::i_null)
        return 0;
    if (value < lo || value > hi)
        throw std::out_of_range(std::string("value of column ") + column + " out of range");
    return value;
}

std::string Text(const std::string &value, indicator ind)
{
    return ind == soci::i_null ? std::string() : value;
}

// Runs a prepared statement with its bindings and calls onRow for every row fetched.
// Returns the number of rows.
template <class Bind, class OnRow>
std::size_t ForEachRow(soci::session &s, const std::string &sql, Bind &&bind, OnRow &&onRow)
{
    soci::statement st(s);
    st.alloc();
    st.prepare(Named(sql));
    bind(st);
    st.define_and_bind();
    std::size_t rows = 0;
    bool got = st.execute(true);
    while (got) {
        onRow();
        ++rows;
        got = st.fetch();
    }
    return rows;
}

// The columns of one user row.
struct UserRow {
    std::string userNumber, displayName, callRef;
    long long dispatcher = 0, isMobile = 0, regState = 0, callState = 0, vpState = 0, dcFlag = 0,
              priority = 0, userType = 0;
    indicator ind[11] = {};

    void Into(soci::statement &st, bool withType)
    {
        st.exchange(soci::into(userNumber, ind[0]));
        st.exchange(soci::into(displayName, ind[1]));
        st.exchange(soci::into(dispatcher, ind[2]));
        st.exchange(soci::into(isMobile, ind[3]));
        st.exchange(soci::into(regState, ind[4]));
        st.exchange(soci::into(callState, ind[5]));
        st.exchange(soci::into(vpState, ind[6]));
        st.exchange(soci::into(dcFlag, ind[7]));
        st.exchange(soci::into(priority, ind[8]));
        st.exchange(soci::into(callRef, ind[9]));
        if (withType)
            st.exchange(soci::into(userType, ind[10]));
    }

    ST_ZOX_SYSTEM_USER Take(bool withType) const
    {
        ST_ZOX_SYSTEM_USER u;
        u.userNumber = Text(userNumber, ind[0]);
        u.displayName = Text(displayName, ind[1]);
        u.dispatcher = static_cast<uint8_t>(Fit(dispatcher, ind[2], 0, kU8, "dispatcher"));
        u.isMobile = static_cast<uint8_t>(Fit(isMobile, ind[3], 0, kU8, "isMobile"));
        u.regState = static_cast<uint8_t>(Fit(regState, ind[4], 0, kU8, "regState"));
        u.callState = static_cast<uint32_t>(Fit(callState, ind[5], 0, kU32, "callState"));
        u.vpState = static_cast<uint32_t>(Fit(vpState, ind[6], 0, kU32, "vpState"));
        u.dcFlag = static_cast<uint8_t>(Fit(dcFlag, ind[7], 0, kU8, "dcFlag"));
        u.priority = static_cast<uint8_t>(Fit(priority, ind[8], 0, kU8, "priority"));
        u.callRef = Text(callRef, ind[9]);
        u.userType = withType ? static_cast<uint8_t>(Fit(userType, ind[10], 0, kU8, "userType")) : 0;
        return u;
    }
};

struct CameraRow {
    long long cid = 0, port = 0, transport = 0, auth = 0, status = 0, enabled = 0, dispatcher = 0;
    std::string cname, ip, username, password, main_url, sub_url, remark;
    indicator ind[14] = {};

    static const char *Columns()
    {
        return "cid, cname, ip, port, transport, auth, username, password, main_url, sub_url, remark, "
               "status, enabled, dispatcher";
    }

    void Into(soci::statement &st)
    {
        st.exchange(soci::into(cid, ind[0]));
        st.exchange(soci::into(cname, ind[1]));
        st.exchange(soci::into(ip, ind[2]));
        st.exchange(soci::into(port, ind[3]));
        st.exchange(soci::into(transport, ind[4]));
        st.exchange(soci::into(auth, ind[5]));
        st.exchange(soci::into(username, ind[6]));
        st.exchange(soci::into(password, ind[7]));
        st.exchange(soci::into(main_url, ind[8]));
        st.exchange(soci::into(sub_url, ind[9]));
        st.exchange(soci::into(remark, ind[10]));
        st.exchange(soci::into(status, ind[11]));
        st.exchange(soci::into(enabled, ind[12]));
        st.exchange(soci::into(dispatcher, ind[13]));
    }

    ST_ZOX_RTSP_CAMERA Take() const
    {
        ST_ZOX_RTSP_CAMERA c;
        c.cid = static_cast<uint32_t>(Fit(cid, ind[0], 0, kU32, "cid"));
        c.cname = Text(cname, ind[1]);
        c.ip = Text(ip, ind[2]);
        c.port = static_cast<int>(Fit(port, ind[3], INT_MIN, INT_MAX, "port"));
        c.transport = static_cast<int>(Fit(transport, ind[4], INT_MIN, INT_MAX, "transport"));
        c.auth = static_cast<int>(Fit(auth, ind[5], INT_MIN, INT_MAX, "auth"));
        c.username = Text(username, ind[6]);
        c.password = Text(password, ind[7]);
        c.main_url = Text(main_url, ind[8]);
        c.sub_url = Text(sub_url, ind[9]);
        c.remark = Text(remark, ind[10]);
        c.status = static_cast<int>(Fit(status, ind[11], INT_MIN, INT_MAX, "status"));
        c.enabled = static_cast<int>(Fit(enabled, ind[12], INT_MIN, INT_MAX, "enabled"));
        c.dispatcher = static_cast<int>(Fit(dispatcher, ind[13], INT_MIN, INT_MAX, "dispatcher"));
        return c;
    }
};

// A camera id given as text: 1 to 10 decimal digits of an unsigned 32-bit number.
bool ParseCameraId(const std::string &text, long long &cid)
{
    if (text.empty() || text.size() > 10)
        return false;
    long long v = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9')
            return false;
        v = v * 10 + (ch - '0');
    }
    if (v > kU32)
        return false;
    cid = v;
    return true;
}

int CountResult(long long n)
{
    return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

} // namespace

// Runs one operation on the query's connection: the function's result, or -1 when
// there is no working connection or the statement (or reading its rows) failed.
template <class Fn>
static int RunOnQuery(TZoxQuery &query, const char *operation, Fn &&fn)
{
    TNetTcpServiceForm *connection = query.Connection();
    if (!connection)
        return -1;
    soci::session *s = connection->AcquireSession();
    if (!s)
        return -1;
    try {
        if (query.BeforeStatement())
            query.BeforeStatement()(*s);
        return fn(*s);
    } catch (const std::exception &e) {
        connection->StatementFailed(operation, e);
        return -1;
    }
}

namespace {

// Statements that run many times (the login's inserts, the state notices' updates)
// are prepared once per connection and run again with new values.
enum PreparedKey { kPreparedUsers = 1, kPreparedMembers, kPreparedGroup, kPreparedUserState, kPreparedStates };

// The kept user states are written by one statement per chunk of this many rows (a
// chunk of fewer rows takes the next smaller size, several times); each size is
// prepared once per connection.
constexpr std::size_t kStateChunkSizes[] = {256, 64, 16, 4, 1};

template <class T>
T &PreparedOf(TZoxQuery &query, soci::session &s, int key)
{
    TNetTcpServiceForm &connection = *query.Connection();
    if (T *kept = connection.Prepared<T>(key))
        return *kept;
    auto made = std::make_unique<T>(s);
    T &ref = *made;
    connection.KeepPrepared(key, std::move(made));
    return ref;
}

struct PreparedUsers : TZoxPreparedStatement {
    std::vector<std::string> number, name, callRef;
    std::vector<long long> dispatcher, isMobile, regState, callState, vpState, dcFlag, priority;
    soci::statement st;

    explicit PreparedUsers(soci::session &s)
        : number(1), name(1), callRef(1), dispatcher(1), isMobile(1), regState(1), callState(1), vpState(1),
          dcFlag(1), priority(1),
          st((s.prepare << Named("INSERT INTO zox_system_user(userNumber, displayName, dispatcher, isMobile, "
                                 "regState, callState, vpState, dcFlag, priority, callRef) "
                                 "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) ON DUPLICATE KEY UPDATE "
                                 "displayName=VALUES(displayName), dispatcher=VALUES(dispatcher), "
                                 "isMobile=VALUES(isMobile), regState=VALUES(regState), "
                                 "callState=VALUES(callState), vpState=VALUES(vpState), dcFlag=VALUES(dcFlag), "
                                 "priority=VALUES(priority), callRef=VALUES(callRef)"),
              soci::use(number), soci::use(name), soci::use(dispatcher), soci::use(isMobile), soci::use(regState),
              soci::use(callState), soci::use(vpState), soci::use(dcFlag), soci::use(priority), soci::use(callRef)))
    {
    }

    void Resize(std::size_t n)
    {
        for (auto *v : {&number, &name, &callRef})
            v->resize(n);
        for (auto *v : {&dispatcher, &isMobile, &regState, &callState, &vpState, &dcFlag, &priority})
            v->resize(n);
    }
};

struct PreparedMembers : TZoxPreparedStatement {
    std::vector<long long> groupId;
    std::vector<std::string> number;
    soci::statement st;

    explicit PreparedMembers(soci::session &s)
        : groupId(1), number(1),
          st((s.prepare << Named("INSERT INTO zox_system_group_member(groupId, userNumber) VALUES (?, ?) "
                                 "ON DUPLICATE KEY UPDATE userNumber=VALUES(userNumber)"),
              soci::use(groupId), soci::use(number)))
    {
    }
};

struct PreparedGroup : TZoxPreparedStatement {
    long long groupId = 0;
    std::string name, number;
    soci::statement st;

    explicit PreparedGroup(soci::session &s)
        : st((s.prepare << Named("INSERT INTO zox_system_group(groupId, groupName, groupNumber) VALUES(?, ?, ?) "
                                 "ON DUPLICATE KEY UPDATE groupName=VALUES(groupName), "
                                 "groupNumber=VALUES(groupNumber)"),
              soci::use(groupId), soci::use(name), soci::use(number)))
    {
    }
};

struct PreparedUserState : TZoxPreparedStatement {
    long long regState = 0, callState = 0, vpState = 0, dcFlag = 0;
    std::string callRef, number;
    soci::statement st;

    explicit PreparedUserState(soci::session &s)
        : st((s.prepare << Named("UPDATE zox_system_user SET regState=?, callState=?, vpState=?, dcFlag=?, "
                                 "callRef=? WHERE userNumber=?"),
              soci::use(regState), soci::use(callState), soci::use(vpState), soci::use(dcFlag), soci::use(callRef),
              soci::use(number)))
    {
    }
};

// The states of `rows` users in one statement. Only rows of users that exist are
// written: the module writes states only for users whose rows it read or inserted,
// and forgets them with the rows (DeleteSystemUsers).
struct PreparedStates : TZoxPreparedStatement {
    std::size_t rows;
    std::vector<std::string> number, callRef;
    std::vector<long long> regState, callState, vpState, dcFlag;
    soci::statement st;

    static std::string Sql(std::size_t rows)
    {
        std::string sql = "INSERT INTO zox_system_user(userNumber, regState, callState, vpState, dcFlag, callRef) "
                          "VALUES ";
        for (std::size_t i = 0; i < rows; ++i)
            sql += i ? ", (?, ?, ?, ?, ?, ?)" : "(?, ?, ?, ?, ?, ?)";
        sql += " ON DUPLICATE KEY UPDATE regState=VALUES(regState), callState=VALUES(callState), "
               "vpState=VALUES(vpState), dcFlag=VALUES(dcFlag), callRef=VALUES(callRef)";
        return Named(sql);
    }

    PreparedStates(soci::session &s, std::size_t n)
        : rows(n), number(n), callRef(n), regState(n), callState(n), vpState(n), dcFlag(n), st(s)
    {
        st.alloc();
        st.prepare(Sql(n));
        for (std::size_t i = 0; i < n; ++i) {
            st.exchange(soci::use(number[i]));
            st.exchange(soci::use(regState[i]));
            st.exchange(soci::use(callState[i]));
            st.exchange(soci::use(vpState[i]));
            st.exchange(soci::use(dcFlag[i]));
            st.exchange(soci::use(callRef[i]));
        }
        st.define_and_bind();
    }

    void Set(std::size_t i, const ST_ZOX_SYSTEM_USER &u)
    {
        number[i] = u.userNumber;
        regState[i] = u.regState;
        callState[i] = u.callState;
        vpState[i] = u.vpState;
        dcFlag[i] = u.dcFlag;
        callRef[i] = u.callRef;
    }
};

} // namespace

namespace {

// Runs a statement that reads nothing.
int Execute(TZoxQuery &query, const char *operation, const char *sql)
{
    return RunOnQuery(query, operation, [&](soci::session &s) {
        s << Named(sql);
        return 0;
    });
}

// Reads a list: `bind` binds the columns and values, `take` makes the record of the
// row just fetched. The output is emptied first and filled only when every row was read.
template <class T, class Bind, class Take>
int ReadList(TZoxQuery &query, const char *operation, const std::string &sql, std::vector<T> &out, Bind &&bind,
             Take &&take)
{
    out.clear();
    std::vector<T> rows;
    int rc = RunOnQuery(query, operation, [&](soci::session &s) {
        ForEachRow(s, sql, bind, [&] { rows.push_back(take()); });
        return 0;
    });
    if (rc == 0)
        out = std::move(rows);
    return rc;
}

// Reads the first row: `bind` binds the columns and values, `take` reads the row.
// 0 when there was a row, -2 when there was none, -1 on failure.
template <class Bind, class Take>
int ReadFirstRow(TZoxQuery &query, const char *operation, const std::string &sql, Bind &&bind, Take &&take)
{
    return RunOnQuery(query, operation, [&](soci::session &s) {
        std::size_t rows = 0;
        ForEachRow(s, sql, bind, [&] {
            if (rows++ == 0)
                take();
        });
        return rows == 0 ? -2 : 0;
    });
}

// Reads one text column of the first row selected by one text key into `value`
// (NULL reads as empty); `value` is left unchanged unless the result is 0.
int ReadText(TZoxQuery &query, const char *operation, const char *sql, const std::string &key, std::string &value)
{
    std::string column, bound = key, found;
    indicator ind = soci::i_ok;
    int rc = ReadFirstRow(
        query, operation, sql,
        [&](soci::statement &st) {
            st.exchange(soci::into(column, ind));
            st.exchange(soci::use(bound));
        },
        [&] { found = Text(column, ind); });
    if (rc == 0)
        value = std::move(found);
    return rc;
}

// Reads a list of users; `bind` adds the statement's values after the columns.
template <class Bind>
int ReadUsers(TZoxQuery &query, const char *operation, const std::string &sql, bool withType,
              std::vector<ST_ZOX_SYSTEM_USER> &users, Bind &&bind)
{
    UserRow row;
    return ReadList(
        query, operation, sql, users,
        [&](soci::statement &st) {
            row.Into(st, withType);
            bind(st);
        },
        [&] { return row.Take(withType); });
}

template <class Bind>
int ReadCount(TZoxQuery &query, const char *operation, const std::string &sql, Bind &&bind)
{
    return RunOnQuery(query, operation, [&](soci::session &s) {
        long long num = 0;
        indicator ind = soci::i_ok;
        std::size_t rows = ForEachRow(
            s, sql,
            [&](soci::statement &st) {
                st.exchange(soci::into(num, ind));
                bind(st);
            },
            [] {});
        if (rows == 0 || ind == soci::i_null || num < 0)
            throw std::runtime_error("count without a value");
        return CountResult(num);
    });
}

const auto kNoValues = [](soci::statement &) {};

const char *const kAvailable = " AND u.priority<>4 AND u.regState<>0 AND u.regState<>3 AND u.callState=0";

} // namespace

TZoxDataModule::TZoxDataModule()
{
    DataModuleCreate(nullptr);
}

TZoxDataModule::TZoxDataModule(TNetTcpServiceForm *connection)
{
    DataModuleCreate(connection);
}

void TZoxDataModule::DataModuleCreate(TNetTcpServiceForm *connection)
{
    // The result is kept; every statement of an unattached query fails with -1.
    m_attachResult = connection ? connection->AttachQuery(&c_pAdoQuery) : NetAttachQuery(&c_pAdoQuery);
    c_pAdoQuery.SetBeforeStatement([this](soci::session &s) { WriteKeptStates(s); });
}

// ---------------------------------------------------------------------------------
// User states written behind

void TZoxDataModule::WriteKeptStates(soci::session &s)
{
    if (m_keptStates.empty())
        return;
    const std::size_t count = m_keptStates.size();
    try {
        soci::transaction tr(s);
        auto it = m_keptStates.begin();
        std::size_t left = count;
        int sizeIndex = 0;
        while (left > 0) {
            while (kStateChunkSizes[sizeIndex] > left)
                ++sizeIndex;
            const std::size_t n = kStateChunkSizes[sizeIndex];
            TNetTcpServiceForm &connection = *c_pAdoQuery.Connection();
            PreparedStates *p = connection.Prepared<PreparedStates>(kPreparedStates + sizeIndex);
            if (!p) {
                auto made = std::make_unique<PreparedStates>(s, n);
                p = made.get();
                connection.KeepPrepared(kPreparedStates + sizeIndex, std::move(made));
            }
            for (std::size_t i = 0; i < n; ++i, ++it)
                p->Set(i, it->second);
            p->st.execute(true);
            left -= n;
        }
        tr.commit();
    } catch (const std::exception &e) {
        // Still connected: the database refuses these values, and would refuse them
        // at every later attempt; they are dropped (and logged), never retried forever.
        bool linkUp = false;
        try {
            int one = 0;
            s << "SELECT 1", soci::into(one);
            linkUp = one == 1;
        } catch (const std::exception &) {
        }
        if (!linkUp) {
            m_keptAfterFailure = true;
            m_stateLog.Note("kept", "zoxdb: %zu user states kept until the database is back.", count);
            throw;
        }
        // The server's reason, without the long statement and its values.
        std::string reason = e.what();
        const std::size_t statement = reason.find(" while executing");
        if (statement != std::string::npos)
            reason.erase(statement);
        if (reason.size() > 300)
            reason.erase(300);
        WriteLog("zoxdb: %zu user states refused by the database and dropped: %s", count, reason.c_str());
        m_keptStates.clear();
        m_rowsKnown = false;
        return;
    }
    m_keptStates.clear();
    if (m_keptAfterFailure) {
        m_keptAfterFailure = false;
        WriteLog("zoxdb: %zu user states kept while the database was away are written.", count);
    }
}

int TZoxDataModule::LoadUserRows()
{
    std::vector<ST_ZOX_SYSTEM_USER> rows;
    const int rc = ReadUsers(c_pAdoQuery, "LoadUserRows", "SELECT " + UserColumns("") + " FROM zox_system_user",
                             true, rows, kNoValues);
    if (rc != 0)
        return rc;
    m_userRows.clear();
    m_userRows.reserve(rows.size());
    for (ST_ZOX_SYSTEM_USER &row : rows) {
        std::string key = row.userNumber;
        m_userRows.insert_or_assign(std::move(key), std::move(row));
    }
    m_rowsKnown = true;
    return 0;
}

int TZoxDataModule::GetUserRow(const std::string &number, ST_ZOX_SYSTEM_USER &user)
{
    if (!m_rowsKnown && LoadUserRows() != 0)
        return -1;
    auto it = m_userRows.find(number);
    if (it == m_userRows.end())
        return -2;
    user = it->second;
    user.userNumber = number;
    return 0;
}

void TZoxDataModule::QueueUserState(const ST_ZOX_SYSTEM_USER &user)
{
    auto row = m_userRows.find(user.userNumber);
    if (row != m_userRows.end()) {
        row->second.regState = user.regState;
        row->second.callState = user.callState;
        row->second.vpState = user.vpState;
        row->second.dcFlag = user.dcFlag;
        row->second.callRef = user.callRef;
    }
    m_keptStates.insert_or_assign(user.userNumber, user);
}

int TZoxDataModule::FlushUserStates()
{
    if (m_keptStates.empty())
        return 0;
    // Any statement writes them first; this one has nothing else to do.
    RunOnQuery(c_pAdoQuery, "FlushUserStates", [](soci::session &) { return 0; });
    return m_keptStates.empty() ? 0 : -1;
}

// ---------------------------------------------------------------------------------
// Lines, users, groups and members

int TZoxDataModule::ClearAll()
{
    DeleteSystemLines();
    DeleteSystemUsers();
    DeleteSystemGroups();
    DeleteGroupMembers();
    ResetCameraStatus();
    return 0;
}

int TZoxDataModule::DeleteSystemLines()
{
    return Execute(c_pAdoQuery, "DeleteSystemLines", "DELETE FROM zox_system_line");
}

int TZoxDataModule::GetSystemLines(std::vector<ST_ZOX_SYSTEM_LINE> &lines)
{
    std::string name, nick;
    long long softPhone = 0, videoOnly = 0;
    indicator ind[4] = {};
    return ReadList(
        c_pAdoQuery, "GetSystemLines",
        "SELECT lineName, nickName, softPhone, videoOnly FROM zox_system_line ORDER BY lineName", lines,
        [&](soci::statement &st) {
            st.exchange(soci::into(name, ind[0]));
            st.exchange(soci::into(nick, ind[1]));
            st.exchange(soci::into(softPhone, ind[2]));
            st.exchange(soci::into(videoOnly, ind[3]));
        },
        [&] {
            ST_ZOX_SYSTEM_LINE line;
            line.lineName = Text(name, ind[0]);
            line.nickName = Text(nick, ind[1]);
            line.softPhone = static_cast<uint8_t>(Fit(softPhone, ind[2], 0, kU8, "softPhone"));
            line.videoOnly = static_cast<uint8_t>(Fit(videoOnly, ind[3], 0, kU8, "videoOnly"));
            return line;
        });
}

int TZoxDataModule::InsertSystemLine(const ST_ZOX_SYSTEM_LINE &line)
{
    return RunOnQuery(c_pAdoQuery, "InsertSystemLine", [&](soci::session &s) {
        long long softPhone = line.softPhone, videoOnly = line.videoOnly;
        s << Named("INSERT INTO zox_system_line(lineName, nickName, softPhone, videoOnly) VALUES(?, ?, ?, ?)"),
            soci::use(line.lineName), soci::use(line.nickName), soci::use(softPhone), soci::use(videoOnly);
        return 0;
    });
}

int TZoxDataModule::DeleteSystemUsers()
{
    // The kept states belong to the rows deleted here: never written over new ones.
    m_keptStates.clear();
    m_keptAfterFailure = false;
    m_userRows.clear();
    const int rc = Execute(c_pAdoQuery, "DeleteSystemUsers", "DELETE FROM zox_system_user");
    m_rowsKnown = rc == 0;
    return rc;
}

int TZoxDataModule::GetSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return ReadUsers(c_pAdoQuery, "GetSystemUsers",
                     "SELECT " + UserColumns("") + " FROM zox_system_user WHERE priority <> 4 ORDER BY userNumber",
                     true, users, kNoValues);
}

int TZoxDataModule::GetAvailableUsers(std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return ReadUsers(c_pAdoQuery, "GetAvailableUsers",
                     "SELECT " + UserColumns("") +
                         " FROM zox_system_user WHERE priority<> 4 AND regState<>0 AND regState<>3 AND callState=0"
                         " ORDER BY userNumber",
                     true, users, kNoValues);
}

int TZoxDataModule::CountAvailableUsers()
{
    return ReadCount(c_pAdoQuery, "CountAvailableUsers",
                     "SELECT COUNT(*) AS num FROM zox_system_user WHERE priority<> 4 AND regState<>0 AND regState<>3"
                     " AND callState=0",
                     kNoValues);
}

int TZoxDataModule::GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user)
{
    ST_ZOX_SYSTEM_USER found;
    UserRow row;
    std::string key = number;
    int rc = ReadFirstRow(
        c_pAdoQuery, "GetSystemUser", "SELECT " + UserColumns("") + " FROM zox_system_user WHERE userNumber=?",
        [&](soci::statement &st) {
            row.Into(st, true);
            st.exchange(soci::use(key));
        },
        [&] { found = row.Take(true); });
    if (rc == 0) {
        found.userNumber = number;
        user = std::move(found);
    }
    return rc;
}

int TZoxDataModule::GetDisplayName(const std::string &number, std::string &displayName)
{
    std::string found;
    int rc = ReadText(c_pAdoQuery, "GetDisplayName", "SELECT displayName FROM zox_system_user WHERE userNumber=?",
                      number, found);
    if (rc == 0)
        displayName = found.empty() ? number : found;
    return rc;
}

int TZoxDataModule::GetUsersByCallRef(const std::string &callRef, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    std::string key = callRef;
    std::string cols = UserColumns("");
    cols.erase(cols.rfind(", userType"));
    return ReadUsers(c_pAdoQuery, "GetUsersByCallRef",
                     "SELECT " + cols + " FROM zox_system_user WHERE callRef=? AND callState <> 0 ORDER BY userNumber",
                     false, users, [&](soci::statement &st) { st.exchange(soci::use(key)); });
}

int TZoxDataModule::GetBusyCallRefs(std::vector<std::string> &callRefs)
{
    std::string ref;
    indicator ind = soci::i_ok;
    return ReadList(
        c_pAdoQuery, "GetBusyCallRefs",
        "SELECT DISTINCT callRef FROM zox_system_user WHERE callState <> 0 AND callRef <> '' ORDER BY callRef", callRefs,
        [&](soci::statement &st) { st.exchange(soci::into(ref, ind)); }, [&] { return Text(ref, ind); });
}

int TZoxDataModule::UpdateUserState(const ST_ZOX_SYSTEM_USER &user)
{
    return RunOnQuery(c_pAdoQuery, "UpdateUserState", [&](soci::session &s) {
        auto &p = PreparedOf<PreparedUserState>(c_pAdoQuery, s, kPreparedUserState);
        p.regState = user.regState;
        p.callState = user.callState;
        p.vpState = user.vpState;
        p.dcFlag = user.dcFlag;
        p.callRef = user.callRef;
        p.number = user.userNumber;
        p.st.execute(true);
        auto row = m_userRows.find(user.userNumber);
        if (row != m_userRows.end()) {
            row->second.regState = user.regState;
            row->second.callState = user.callState;
            row->second.vpState = user.vpState;
            row->second.dcFlag = user.dcFlag;
            row->second.callRef = user.callRef;
        }
        return 0;
    });
}

namespace {

// Runs `insertChunk(first, count)` over the rows in chunks of kBulkRows; more than one
// chunk runs in a transaction.
template <class Fn>
void BulkInsert(soci::session &s, std::size_t rows, Fn &&insertChunk)
{
    if (rows <= kBulkRows) {
        insertChunk(0, rows);
        return;
    }
    soci::transaction tr(s);
    for (std::size_t first = 0; first < rows; first += kBulkRows)
        insertChunk(first, std::min(kBulkRows, rows - first));
    tr.commit();
}

} // namespace

int TZoxDataModule::InsertSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> users)
{
    // The statement needs at least one row; an empty list is refused like a
    // statement without values.
    if (users.empty())
        return -1;
    // The rows in memory take the new users (a new row's userType is the table's 0).
    std::vector<ST_ZOX_SYSTEM_USER> added;
    if (m_rowsKnown)
        added = users;
    int rc = RunOnQuery(c_pAdoQuery, "InsertSystemUsers", [&](soci::session &s) {
        auto &p = PreparedOf<PreparedUsers>(c_pAdoQuery, s, kPreparedUsers);
        BulkInsert(s, users.size(), [&](std::size_t first, std::size_t count) {
            p.Resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                ST_ZOX_SYSTEM_USER &u = users[first + i];
                p.number[i] = std::move(u.userNumber);
                p.name[i] = std::move(u.displayName);
                p.callRef[i] = std::move(u.callRef);
                p.dispatcher[i] = u.dispatcher;
                p.isMobile[i] = u.isMobile;
                p.regState[i] = u.regState;
                p.callState[i] = u.callState;
                p.vpState[i] = u.vpState;
                p.dcFlag[i] = u.dcFlag;
                p.priority[i] = u.priority;
            }
            p.st.execute(true);
        });
        return 0;
    });
    users.clear();
    users.shrink_to_fit();
    if (rc != 0) {
        m_rowsKnown = false; // read again when next needed
    } else {
        for (ST_ZOX_SYSTEM_USER &u : added) {
            auto row = m_userRows.find(u.userNumber);
            u.userType = row == m_userRows.end() ? 0 : row->second.userType;
            std::string key = u.userNumber;
            m_userRows.insert_or_assign(std::move(key), std::move(u));
        }
    }
    return rc;
}

int TZoxDataModule::DeleteSystemGroups()
{
    return Execute(c_pAdoQuery, "DeleteSystemGroups", "DELETE FROM zox_system_group");
}

namespace {

struct GroupRow {
    long long groupId = 0;
    std::string groupName, groupNumber;
    indicator ind[3] = {};

    void Into(soci::statement &st)
    {
        st.exchange(soci::into(groupId, ind[0]));
        st.exchange(soci::into(groupName, ind[1]));
        st.exchange(soci::into(groupNumber, ind[2]));
    }

    ST_ZOX_SYSTEM_GROUP Take() const
    {
        ST_ZOX_SYSTEM_GROUP g;
        g.groupId = static_cast<uint32_t>(Fit(groupId, ind[0], 0, kU32, "groupId"));
        g.groupName = Text(groupName, ind[1]);
        g.groupNumber = Text(groupNumber, ind[2]);
        return g;
    }
};

} // namespace

int TZoxDataModule::GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &groups)
{
    GroupRow row;
    return ReadList(
        c_pAdoQuery, "GetSystemGroups", "SELECT groupId, groupName, groupNumber FROM zox_system_group ORDER BY groupId",
        groups, [&](soci::statement &st) { row.Into(st); }, [&] { return row.Take(); });
}

int TZoxDataModule::GetSystemGroup(uint32_t groupId, ST_ZOX_SYSTEM_GROUP &group)
{
    ST_ZOX_SYSTEM_GROUP found;
    GroupRow row;
    long long key = groupId;
    int rc = ReadFirstRow(
        c_pAdoQuery, "GetSystemGroup", "SELECT groupId, groupName, groupNumber FROM zox_system_group WHERE groupId=?",
        [&](soci::statement &st) {
            row.Into(st);
            st.exchange(soci::use(key));
        },
        [&] { found = row.Take(); });
    if (rc == 0) {
        found.groupId = groupId;
        group = std::move(found);
    }
    return rc;
}

int TZoxDataModule::InsertSystemGroup(const ST_ZOX_SYSTEM_GROUP &group)
{
    return RunOnQuery(c_pAdoQuery, "InsertSystemGroup", [&](soci::session &s) {
        auto &p = PreparedOf<PreparedGroup>(c_pAdoQuery, s, kPreparedGroup);
        p.groupId = group.groupId;
        p.name = group.groupName;
        p.number = group.groupNumber;
        p.st.execute(true);
        return 0;
    });
}

int TZoxDataModule::DeleteGroupMembers()
{
    return Execute(c_pAdoQuery, "DeleteGroupMembers", "DELETE FROM zox_system_group_member");
}

int TZoxDataModule::DeleteGroupMembersOf(const std::vector<std::string> &numbers)
{
    if (numbers.empty())
        return 0;
    return RunOnQuery(c_pAdoQuery, "DeleteGroupMembersOf", [&](soci::session &s) {
        for (std::size_t first = 0; first < numbers.size(); first += kBulkRows) {
            const auto from = numbers.begin() + std::ptrdiff_t(first);
            std::vector<std::string> chunk(from, from + std::ptrdiff_t(std::min(kBulkRows, numbers.size() - first)));
            s << Named("DELETE FROM zox_system_group_member WHERE userNumber=?"), soci::use(chunk);
        }
        return 0;
    });
}

int TZoxDataModule::InsertGroupMembers(std::vector<ST_ZOX_GROUP_MEMBER> members)
{
    // As for the users: no rows, no statement.
    if (members.empty())
        return -1;
    int rc = RunOnQuery(c_pAdoQuery, "InsertGroupMembers", [&](soci::session &s) {
        auto &p = PreparedOf<PreparedMembers>(c_pAdoQuery, s, kPreparedMembers);
        BulkInsert(s, members.size(), [&](std::size_t first, std::size_t count) {
            p.groupId.resize(count);
            p.number.resize(count);
            for (std::size_t i = 0; i < count; ++i) {
                p.groupId[i] = members[first + i].groupId;
                p.number[i] = std::move(members[first + i].userNumber);
            }
            p.st.execute(true);
        });
        return 0;
    });
    members.clear();
    members.shrink_to_fit();
    return rc;
}

int TZoxDataModule::GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    long long key = groupId;
    return ReadUsers(c_pAdoQuery, "GetGroupMembers",
                     "SELECT " + UserColumns("u.") +
                         " FROM zox_system_group_member g JOIN zox_system_user u USING(userNumber)"
                         " WHERE g.groupId=? AND u.priority <> 4 ORDER BY userNumber",
                     true, users, [&](soci::statement &st) { st.exchange(soci::use(key)); });
}

int TZoxDataModule::GetGroupAvailableMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    long long key = groupId;
    return ReadUsers(c_pAdoQuery, "GetGroupAvailableMembers",
                     "SELECT " + UserColumns("u.") +
                         " FROM zox_system_group_member g JOIN zox_system_user u USING(userNumber)"
                         " WHERE g.groupId=?" +
                         kAvailable + " ORDER BY userNumber",
                     true, users, [&](soci::statement &st) { st.exchange(soci::use(key)); });
}

int TZoxDataModule::CountGroupAvailableMembers(uint32_t groupId)
{
    long long key = groupId;
    return ReadCount(c_pAdoQuery, "CountGroupAvailableMembers",
                     std::string("SELECT COUNT(*) AS num FROM zox_system_group_member g JOIN zox_system_user u "
                                 "USING(userNumber) WHERE g.groupId=?") +
                         kAvailable,
                     [&](soci::statement &st) { st.exchange(soci::use(key)); });
}

int TZoxDataModule::CountGroupAvailableMembersByType(uint32_t groupId, int userType)
{
    long long key = groupId, type = userType;
    return ReadCount(c_pAdoQuery, "CountGroupAvailableMembersByType",
                     std::string("SELECT COUNT(*) AS num FROM zox_system_group_member g JOIN zox_system_user u "
                                 "USING(userNumber) WHERE g.groupId=?") +
                         kAvailable + " AND u.userType=?",
                     [&](soci::statement &st) {
                         st.exchange(soci::use(key));
                         st.exchange(soci::use(type));
                     });
}

int TZoxDataModule::CountGroupMembersByType(uint32_t groupId, int userType)
{
    long long key = groupId, type = userType;
    return ReadCount(c_pAdoQuery, "CountGroupMembersByType",
                     "SELECT COUNT(*) AS num FROM zox_system_group_member g JOIN zox_system_user u USING(userNumber)"
                     " WHERE g.groupId=? AND u.priority <> 4 AND u.userType=?",
                     [&](soci::statement &st) {
                         st.exchange(soci::use(key));
                         st.exchange(soci::use(type));
                     });
}

// ---------------------------------------------------------------------------------
// Cameras and chat counts

int TZoxDataModule::GetRtspCameras(std::vector<ST_ZOX_RTSP_CAMERA> &cameras)
{
    CameraRow row;
    return ReadList(
        c_pAdoQuery, "GetRtspCameras",
        std::string("SELECT ") + CameraRow::Columns() + " FROM zox_rtsp_camera ORDER BY cid", cameras,
        [&](soci::statement &st) { row.Into(st); }, [&] { return row.Take(); });
}

int TZoxDataModule::GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera)
{
    long long key = 0;
    if (!ParseCameraId(cid, key)) {
        WriteLog("zoxdb: GetRtspCamera: invalid camera id.");
        return -1;
    }
    ST_ZOX_RTSP_CAMERA found;
    CameraRow row;
    int rc = ReadFirstRow(
        c_pAdoQuery, "GetRtspCamera",
        std::string("SELECT ") + CameraRow::Columns() + " FROM zox_rtsp_camera WHERE cid=?",
        [&](soci::statement &st) {
            row.Into(st);
            st.exchange(soci::use(key));
        },
        [&] { found = row.Take(); });
    if (rc == 0)
        camera = std::move(found);
    return rc;
}

int TZoxDataModule::InsertRtspCamera(const ST_ZOX_RTSP_CAMERA &camera)
{
    return RunOnQuery(c_pAdoQuery, "InsertRtspCamera", [&](soci::session &s) {
        long long port = camera.port, transport = camera.transport, auth = camera.auth, status = camera.status,
                  enabled = camera.enabled, dispatcher = camera.dispatcher;
        s << Named("INSERT INTO zox_rtsp_camera(cname, ip, port, transport, auth, username, password, main_url, status, "
             "enabled, dispatcher) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            soci::use(camera.cname), soci::use(camera.ip), soci::use(port), soci::use(transport), soci::use(auth),
            soci::use(camera.username), soci::use(camera.password), soci::use(camera.main_url), soci::use(status),
            soci::use(enabled), soci::use(dispatcher);
        return 0;
    });
}

int TZoxDataModule::UpdateRtspCamera(const ST_ZOX_RTSP_CAMERA &camera)
{
    return RunOnQuery(c_pAdoQuery, "UpdateRtspCamera", [&](soci::session &s) {
        long long port = camera.port, transport = camera.transport, auth = camera.auth, enabled = camera.enabled,
                  dispatcher = camera.dispatcher, cid = camera.cid;
        s << Named("UPDATE zox_rtsp_camera SET cname=?, ip=?, port=?, transport=?, auth=?, username=?, password=?, "
             "main_url=?, enabled=?, dispatcher=? WHERE cid=?"),
            soci::use(camera.cname), soci::use(camera.ip), soci::use(port), soci::use(transport), soci::use(auth),
            soci::use(camera.username), soci::use(camera.password), soci::use(camera.main_url), soci::use(enabled),
            soci::use(dispatcher), soci::use(cid);
        return 0;
    });
}

int TZoxDataModule::DeleteRtspCamera(const std::string &cid)
{
    long long key = 0;
    if (!ParseCameraId(cid, key)) {
        WriteLog("zoxdb: DeleteRtspCamera: invalid camera id.");
        return -1;
    }
    return RunOnQuery(c_pAdoQuery, "DeleteRtspCamera", [&](soci::session &s) {
        s << Named("DELETE FROM zox_rtsp_camera WHERE cid=?"), soci::use(key);
        return 0;
    });
}

int TZoxDataModule::UpdateCameraStatus(const std::string &cid, int status)
{
    long long key = 0, value = status;
    if (!ParseCameraId(cid, key)) {
        WriteLog("zoxdb: UpdateCameraStatus: invalid camera id.");
        return -1;
    }
    return RunOnQuery(c_pAdoQuery, "UpdateCameraStatus", [&](soci::session &s) {
        s << Named("UPDATE zox_rtsp_camera SET status=? WHERE cid=?"), soci::use(value), soci::use(key);
        return 0;
    });
}

int TZoxDataModule::ResetCameraStatus()
{
    return Execute(c_pAdoQuery, "ResetCameraStatus", "UPDATE zox_rtsp_camera SET status=0");
}

bool TZoxDataModule::CountWxNewMessages()
{
    return ReadCount(c_pAdoQuery, "CountWxNewMessages", "SELECT COUNT(*) AS num FROM wx_newmsg", kNoValues) > 0;
}

bool TZoxDataModule::CountWxUnreadMessages()
{
    return ReadCount(c_pAdoQuery, "CountWxUnreadMessages", "SELECT COUNT(*) AS num FROM wx_message WHERE isread=0",
                     kNoValues) > 0;
}

// ---------------------------------------------------------------------------------
// CMS and UAP platform data

int TZoxDataModule::ClearCmsCompanies()
{
    return Execute(c_pAdoQuery, "ClearCmsCompanies", "DELETE FROM cms_company");
}

int TZoxDataModule::InsertCmsCompany(int id, int pid, const std::string &name)
{
    return RunOnQuery(c_pAdoQuery, "InsertCmsCompany", [&](soci::session &s) {
        long long vid = id, vpid = pid;
        s << Named("INSERT INTO cms_company(id, pid, name, child) VALUES(?, ?, ?, 0)"), soci::use(vid), soci::use(vpid),
            soci::use(name);
        return 0;
    });
}

int TZoxDataModule::UpdateCmsCompanyChild(int id, int child)
{
    return RunOnQuery(c_pAdoQuery, "UpdateCmsCompanyChild", [&](soci::session &s) {
        long long vid = id, vchild = child;
        s << Named("UPDATE cms_company SET child=? WHERE id=?"), soci::use(vchild), soci::use(vid);
        return 0;
    });
}

int TZoxDataModule::GetCmsCompanies(int pid, std::vector<ST_ZOX_CMS_COMPANY> &companies)
{
    long long id = 0, parent = 0, child = 0, key = pid;
    std::string name;
    indicator ind[4] = {};
    return ReadList(
        c_pAdoQuery, "GetCmsCompanies", "SELECT id, pid, name, child FROM cms_company WHERE pid=?", companies,
        [&](soci::statement &st) {
            st.exchange(soci::into(id, ind[0]));
            st.exchange(soci::into(parent, ind[1]));
            st.exchange(soci::into(name, ind[2]));
            st.exchange(soci::into(child, ind[3]));
            st.exchange(soci::use(key));
        },
        [&] {
            ST_ZOX_CMS_COMPANY c;
            c.id = static_cast<int>(Fit(id, ind[0], INT_MIN, INT_MAX, "id"));
            c.pid = static_cast<int>(Fit(parent, ind[1], INT_MIN, INT_MAX, "pid"));
            c.name = Text(name, ind[2]);
            c.child = static_cast<int>(Fit(child, ind[3], INT_MIN, INT_MAX, "child"));
            return c;
        });
}

int TZoxDataModule::CollectCompanySubtree(int id, std::set<int> &ids)
{
    // Walked without recursion, each company at most once: a loop in the parent
    // links ends, and a deep tree needs no deep stack.
    std::set<int> walked;
    std::vector<int> pending{id};
    while (!pending.empty()) {
        int company = pending.back();
        pending.pop_back();
        if (!walked.insert(company).second)
            continue;
        std::vector<ST_ZOX_CMS_COMPANY> children;
        if (GetCmsCompanies(company, children) == 0) {
            for (auto it = children.rbegin(); it != children.rend(); ++it) {
                ids.insert(it->id);
                if (it->child > 0)
                    pending.push_back(it->id);
            }
        }
    }
    ids.insert(1);
    return 0;
}

int TZoxDataModule::ClearCmsVehicles()
{
    return Execute(c_pAdoQuery, "ClearCmsVehicles", "DELETE FROM cms_vehicle");
}

int TZoxDataModule::InsertCmsVehicle(int id, const std::string &num, int cid, const std::string &did, int cc,
                                     const std::string &chs)
{
    return RunOnQuery(c_pAdoQuery, "InsertCmsVehicle", [&](soci::session &s) {
        long long vid = id, vcid = cid, vcc = cc;
        s << Named("INSERT INTO cms_vehicle(id, num, cid, did, cc, chs) VALUES(?, ?, ?, ?, ?, ?)"), soci::use(vid),
            soci::use(num), soci::use(vcid), soci::use(did), soci::use(vcc), soci::use(chs);
        return 0;
    });
}

int TZoxDataModule::UpdateCmsVehicleStatus(const std::string &did, int status)
{
    return RunOnQuery(c_pAdoQuery, "UpdateCmsVehicleStatus", [&](soci::session &s) {
        long long value = status;
        s << Named("UPDATE cms_vehicle SET status=? WHERE did=?"), soci::use(value), soci::use(did);
        return 0;
    });
}

int TZoxDataModule::SyncUserStateFromVehicles()
{
    const int rc = Execute(c_pAdoQuery, "SyncUserStateFromVehicles",
                           "UPDATE zox_system_user u, cms_vehicle v SET u.regState=v.status WHERE u.userNumber=v.num");
    if (rc == 0)
        m_rowsKnown = false; // read again when next needed
    return rc;
}

int TZoxDataModule::SetVehicleUserType(int userType)
{
    return RunOnQuery(c_pAdoQuery, "SetVehicleUserType", [&](soci::session &s) {
        long long value = userType;
        s << Named("UPDATE zox_system_user u, cms_vehicle v SET u.userType=? WHERE u.userNumber=v.num"), soci::use(value);
        m_rowsKnown = false; // read again when next needed
        return 0;
    });
}

int TZoxDataModule::GetCompanyUsers(int companyId, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    std::set<int> subtree;
    CollectCompanySubtree(companyId, subtree);
    std::vector<long long> ids;
    ids.reserve(subtree.size() + 1);
    ids.push_back(companyId);
    ids.insert(ids.end(), subtree.begin(), subtree.end());
    if (ids.size() > kMaxInList) {
        users.clear();
        WriteLog("zoxdb: GetCompanyUsers: %zu companies are too many.", ids.size());
        return -1;
    }
    std::string sql = "SELECT " + UserColumns("u.") +
                      " FROM zox_system_user u JOIN cms_vehicle v ON v.num=u.userNumber WHERE v.cid IN (?";
    for (std::size_t i = 1; i < ids.size(); ++i)
        sql += ",?";
    sql += ") AND u.priority <> 4 ORDER BY u.userNumber";
    return ReadUsers(c_pAdoQuery, "GetCompanyUsers", sql, true, users, [&](soci::statement &st) {
        for (long long &v : ids)
            st.exchange(soci::use(v));
    });
}

int TZoxDataModule::GetVehicleDid(const std::string &num, std::string &did)
{
    return ReadText(c_pAdoQuery, "GetVehicleDid", "SELECT did FROM cms_vehicle WHERE num=?", num, did);
}

int TZoxDataModule::ClearUapVoipUsers()
{
    return Execute(c_pAdoQuery, "ClearUapVoipUsers", "DELETE FROM uap_voip_user");
}

int TZoxDataModule::InsertUapVoipUser(const ST_ZOX_UAP_VOIPUSER &user)
{
    return RunOnQuery(c_pAdoQuery, "InsertUapVoipUser", [&](soci::session &s) {
        s << Named("INSERT INTO uap_voip_user(voip_num, org_name, org_path, user_name, police_num, mobile, user_type, avatar)"
             " SELECT ?, ?, ?, ?, ?, ?, ?, ? FROM DUAL"
             " WHERE NOT EXISTS (SELECT voip_num FROM uap_voip_user WHERE voip_num=?)"),
            soci::use(user.VoipNum), soci::use(user.OrgName), soci::use(user.OrgFullName), soci::use(user.RealName),
            soci::use(user.PoliceNum), soci::use(user.Mobile), soci::use(user.UserTypeName), soci::use(user.Avatar),
            soci::use(user.VoipNum);
        return 0;
    });
}

int TZoxDataModule::GetUapVoipUser(const std::string &number, ST_ZOX_UAP_VOIPUSER &user)
{
    ST_ZOX_UAP_VOIPUSER found;
    std::string col[7], key = number;
    indicator ind[7] = {};
    int rc = ReadFirstRow(
        c_pAdoQuery, "GetUapVoipUser",
        "SELECT org_name, org_path, user_name, police_num, mobile, user_type, avatar FROM uap_voip_user "
        "WHERE voip_num=?",
        [&](soci::statement &st) {
            for (int i = 0; i < 7; ++i)
                st.exchange(soci::into(col[i], ind[i]));
            st.exchange(soci::use(key));
        },
        [&] {
            found.OrgName = Text(col[0], ind[0]);
            found.OrgFullName = Text(col[1], ind[1]);
            found.RealName = Text(col[2], ind[2]);
            found.PoliceNum = Text(col[3], ind[3]);
            found.Mobile = Text(col[4], ind[4]);
            found.UserTypeName = Text(col[5], ind[5]);
            found.Avatar = Text(col[6], ind[6]);
        });
    if (rc == 0) {
        found.VoipNum = number;
        user = std::move(found);
    }
    return rc;
}

int TZoxDataModule::SyncDisplayNamesFromUap()
{
    const int rc = Execute(c_pAdoQuery, "SyncDisplayNamesFromUap",
                           "UPDATE zox_system_user u, uap_voip_user v SET u.displayName=v.user_name  WHERE "
                           "u.userNumber=v.voip_num AND v.user_name<>''");
    if (rc == 0)
        m_rowsKnown = false; // read again when next needed
    return rc;
}

// ---------------------------------------------------------------------------------
// Reads of the user list's shown rows

namespace {
// "?,?,...,?" for n values.
std::string Placeholders(std::size_t n)
{
    std::string out;
    out.reserve(n * 2);
    for (std::size_t i = 0; i < n; ++i)
        out += i ? ",?" : "?";
    return out;
}
} // namespace

int TZoxDataModule::GetUserStates(const std::vector<std::string> &numbers, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    users.clear();
    if (numbers.empty())
        return 0;
    if (numbers.size() > kMaxInList) {
        WriteLog("zoxdb: GetUserStates: %zu numbers are too many.", numbers.size());
        return -1;
    }
    std::vector<std::string> keys = numbers;
    std::string number;
    long long reg = 0, call = 0, vp = 0;
    indicator ind[4] = {};
    return ReadList(
        c_pAdoQuery, "GetUserStates",
        "SELECT userNumber, regState, callState, vpState FROM zox_system_user WHERE userNumber IN (" +
            Placeholders(keys.size()) + ")",
        users,
        [&](soci::statement &st) {
            st.exchange(soci::into(number, ind[0]));
            st.exchange(soci::into(reg, ind[1]));
            st.exchange(soci::into(call, ind[2]));
            st.exchange(soci::into(vp, ind[3]));
            for (std::string &k : keys)
                st.exchange(soci::use(k));
        },
        [&] {
            ST_ZOX_SYSTEM_USER u;
            u.userNumber = Text(number, ind[0]);
            u.regState = static_cast<uint8_t>(Fit(reg, ind[1], 0, kU8, "regState"));
            u.callState = static_cast<uint32_t>(Fit(call, ind[2], 0, kU32, "callState"));
            u.vpState = static_cast<uint32_t>(Fit(vp, ind[3], 0, kU32, "vpState"));
            return u;
        });
}

int TZoxDataModule::GetUapVoipUsers(const std::vector<std::string> &numbers, std::vector<ST_ZOX_UAP_VOIPUSER> &users)
{
    users.clear();
    if (numbers.empty())
        return 0;
    if (numbers.size() > kMaxInList) {
        WriteLog("zoxdb: GetUapVoipUsers: %zu numbers are too many.", numbers.size());
        return -1;
    }
    std::vector<std::string> keys = numbers;
    std::string col[8];
    indicator ind[8] = {};
    return ReadList(
        c_pAdoQuery, "GetUapVoipUsers",
        "SELECT voip_num, org_name, org_path, user_name, police_num, mobile, user_type, avatar FROM uap_voip_user "
        "WHERE voip_num IN (" +
            Placeholders(keys.size()) + ")",
        users,
        [&](soci::statement &st) {
            for (int i = 0; i < 8; ++i)
                st.exchange(soci::into(col[i], ind[i]));
            for (std::string &k : keys)
                st.exchange(soci::use(k));
        },
        [&] {
            ST_ZOX_UAP_VOIPUSER u;
            u.VoipNum = Text(col[0], ind[0]);
            u.OrgName = Text(col[1], ind[1]);
            u.OrgFullName = Text(col[2], ind[2]);
            u.RealName = Text(col[3], ind[3]);
            u.PoliceNum = Text(col[4], ind[4]);
            u.Mobile = Text(col[5], ind[5]);
            u.UserTypeName = Text(col[6], ind[6]);
            u.Avatar = Text(col[7], ind[7]);
            return u;
        });
}

namespace {
// Rows fetched at once by the block readers.
constexpr std::size_t kFetchBlock = 1024;

// Reads the tile columns of users (number, name, reg, call, vp, type, in this order
// in the statement) in blocks; `bind` adds the statement's values.
template <class Bind>
int ReadShownUsers(TZoxQuery &query, const char *operation, const std::string &sql,
                   std::vector<ST_ZOX_SYSTEM_USER> &users, Bind &&bind)
{
    users.clear();
    std::vector<ST_ZOX_SYSTEM_USER> rows;
    const int rc = RunOnQuery(query, operation, [&](soci::session &s) {
        std::vector<std::string> number(kFetchBlock), name(kFetchBlock);
        std::vector<long long> reg(kFetchBlock), call(kFetchBlock), vp(kFetchBlock), type(kFetchBlock);
        std::vector<indicator> ind[6];
        for (auto &i : ind)
            i.resize(kFetchBlock);
        soci::statement st(s);
        st.alloc();
        st.prepare(Named(sql));
        st.exchange(soci::into(number, ind[0]));
        st.exchange(soci::into(name, ind[1]));
        st.exchange(soci::into(reg, ind[2]));
        st.exchange(soci::into(call, ind[3]));
        st.exchange(soci::into(vp, ind[4]));
        st.exchange(soci::into(type, ind[5]));
        bind(st);
        st.define_and_bind();
        bool got = st.execute(true);
        while (got) {
            for (std::size_t i = 0; i < number.size(); ++i) {
                ST_ZOX_SYSTEM_USER u;
                u.userNumber = Text(number[i], ind[0][i]);
                u.displayName = Text(name[i], ind[1][i]);
                u.regState = static_cast<uint8_t>(Fit(reg[i], ind[2][i], 0, kU8, "regState"));
                u.callState = static_cast<uint32_t>(Fit(call[i], ind[3][i], 0, kU32, "callState"));
                u.vpState = static_cast<uint32_t>(Fit(vp[i], ind[4][i], 0, kU32, "vpState"));
                u.userType = static_cast<uint8_t>(Fit(type[i], ind[5][i], 0, kU8, "userType"));
                rows.push_back(std::move(u));
            }
            if (number.size() < kFetchBlock)
                break;
            for (auto *v : {&number, &name})
                v->resize(kFetchBlock);
            for (auto *v : {&reg, &call, &vp, &type})
                v->resize(kFetchBlock);
            for (auto &i : ind)
                i.resize(kFetchBlock);
            got = st.fetch();
        }
        return 0;
    });
    if (rc == 0)
        users = std::move(rows);
    return rc;
}
} // namespace

int TZoxDataModule::GetShownUsers(std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    return ReadShownUsers(c_pAdoQuery, "GetShownUsers",
                          "SELECT userNumber, displayName, regState, callState, vpState, userType FROM zox_system_user"
                          " WHERE priority <> 4 ORDER BY userNumber",
                          users, kNoValues);
}

int TZoxDataModule::GetShownMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users)
{
    long long key = groupId;
    return ReadShownUsers(c_pAdoQuery, "GetShownMembers",
                          "SELECT u.userNumber, u.displayName, u.regState, u.callState, u.vpState, u.userType"
                          " FROM zox_system_group_member g JOIN zox_system_user u USING(userNumber)"
                          " WHERE g.groupId=? AND u.priority <> 4 ORDER BY userNumber",
                          users, [&](soci::statement &st) { st.exchange(soci::use(key)); });
}
