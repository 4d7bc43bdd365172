#pragma once
// The console's one access path to the server-data cache. Every operation runs one
// statement (values bound, never pasted into the text) on the module's query, on the
// user-interface thread.
//
// Results: writes 0, or -1 when the statement failed. List readers empty the output,
// then append one record per row: 0 (also for no rows) or -1 (output left empty).
// One-row readers: 0 with the record filled, -2 when there is no row, -1 on failure
// (the record is then left unchanged). Counts: the count, or -1. A row whose columns
// do not fit their record fields counts as a failure.
#include "core/ZoxCacheRecords.h"
#include "core/ZoxQuery.h"

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/RateLimitedLog.h"

class TNetTcpServiceForm;

class TZoxDataModule {
public:
    // Attaches the query to the network layer's cache connection (NetAttachQuery).
    TZoxDataModule();
    // Attaches the query to the given connection.
    explicit TZoxDataModule(TNetTcpServiceForm *connection);
    TZoxDataModule(const TZoxDataModule &) = delete;
    TZoxDataModule &operator=(const TZoxDataModule &) = delete;

    int AttachResult() const { return m_attachResult; }

    // Lines, users, groups and members.
    int ClearAll();
    int DeleteSystemLines();
    int GetSystemLines(std::vector<ST_ZOX_SYSTEM_LINE> &lines);
    int InsertSystemLine(const ST_ZOX_SYSTEM_LINE &line);
    int DeleteSystemUsers();
    int GetSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> &users);
    int GetAvailableUsers(std::vector<ST_ZOX_SYSTEM_USER> &users);
    int CountAvailableUsers();
    int GetSystemUser(const std::string &number, ST_ZOX_SYSTEM_USER &user);
    int GetDisplayName(const std::string &number, std::string &displayName);
    int GetUsersByCallRef(const std::string &callRef, std::vector<ST_ZOX_SYSTEM_USER> &users);
    // The distinct call references that users in a call (callState not 0) carry.
    int GetBusyCallRefs(std::vector<std::string> &callRefs);
    int UpdateUserState(const ST_ZOX_SYSTEM_USER &user);
    // The login's writes of the server's lists (a page of users, a page of members, one
    // group) replace a row of the same key (user number; group id; group and user), so
    // a row that the server lists twice is stored once, as its later entry says. A
    // user's userType is kept.
    int InsertSystemUsers(std::vector<ST_ZOX_SYSTEM_USER> users);
    int DeleteSystemGroups();
    int GetSystemGroups(std::vector<ST_ZOX_SYSTEM_GROUP> &groups);
    int GetSystemGroup(uint32_t groupId, ST_ZOX_SYSTEM_GROUP &group);
    int InsertSystemGroup(const ST_ZOX_SYSTEM_GROUP &group);
    int DeleteGroupMembers();
    int InsertGroupMembers(std::vector<ST_ZOX_GROUP_MEMBER> members);
    // Drops every membership of the given users (a user listed again brings its
    // memberships anew). 0 also for no users.
    int DeleteGroupMembersOf(const std::vector<std::string> &numbers);
    int GetGroupMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users);
    int GetGroupAvailableMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users);
    int CountGroupAvailableMembers(uint32_t groupId);
    int CountGroupAvailableMembersByType(uint32_t groupId, int userType);
    int CountGroupMembersByType(uint32_t groupId, int userType);

    // The user states of the server's state notices, written behind.
    //
    // The module keeps the rows of zox_system_user in memory (read once with one
    // statement when needed, then kept current by the module's own writes of that
    // table), so that a notice is compared without a statement, and keeps each changed
    // state (the latest per user) until it is written. Every statement of the module
    // first writes the kept states, in one transaction: readers always see the latest
    // states. When the database is away they stay kept, and are written by the first
    // statement after the reconnect.
    //
    // The user's row as the cache holds it, kept states included: 0 found, -2 no such
    // user, -1 the rows could not be read.
    int GetUserRow(const std::string &number, ST_ZOX_SYSTEM_USER &user);
    // Keeps the user's state (regState, callState, vpState, dcFlag, callRef) to be written;
    // a later state of the same user replaces an earlier one still kept.
    void QueueUserState(const ST_ZOX_SYSTEM_USER &user);
    // Writes the kept states now: 0 when none is left, -1 when they stay kept (the
    // database is away).
    int FlushUserStates();
    std::size_t KeptUserStates() const { return m_keptStates.size(); }

    // Cameras (the id as text: decimal digits of an unsigned 32-bit number; any other
    // text fails with -1) and chat counts.
    int GetRtspCameras(std::vector<ST_ZOX_RTSP_CAMERA> &cameras);
    int GetRtspCamera(const std::string &cid, ST_ZOX_RTSP_CAMERA &camera);
    int InsertRtspCamera(const ST_ZOX_RTSP_CAMERA &camera);
    int UpdateRtspCamera(const ST_ZOX_RTSP_CAMERA &camera);
    int DeleteRtspCamera(const std::string &cid);
    int UpdateCameraStatus(const std::string &cid, int status);
    int ResetCameraStatus();
    bool CountWxNewMessages();
    bool CountWxUnreadMessages();

    // CMS and UAP platform data.
    int ClearCmsCompanies();
    int InsertCmsCompany(int id, int pid, const std::string &name);
    int UpdateCmsCompanyChild(int id, int child);
    int GetCmsCompanies(int pid, std::vector<ST_ZOX_CMS_COMPANY> &companies);
    // Adds the ids of every company below `id` and 1 to `ids`; a loop of parent links
    // ends at a company already walked. Always 0.
    int CollectCompanySubtree(int id, std::set<int> &ids);
    int ClearCmsVehicles();
    int InsertCmsVehicle(int id, const std::string &num, int cid, const std::string &did, int cc,
                         const std::string &chs);
    int UpdateCmsVehicleStatus(const std::string &did, int status);
    int SyncUserStateFromVehicles();
    int SetVehicleUserType(int userType);
    int GetCompanyUsers(int companyId, std::vector<ST_ZOX_SYSTEM_USER> &users);
    int GetVehicleDid(const std::string &num, std::string &did);
    int ClearUapVoipUsers();
    // A row whose voip_num exists is left as it is.
    int InsertUapVoipUser(const ST_ZOX_UAP_VOIPUSER &user);
    int GetUapVoipUser(const std::string &number, ST_ZOX_UAP_VOIPUSER &user);
    int SyncDisplayNamesFromUap();

    // Reads for the user list's shown rows: the state columns of the users with these
    // numbers (userNumber, regState, callState, vpState; other fields left as they
    // start), and the platform rows of these numbers; each in one statement. At most
    // 60000 numbers (more fail with -1); no numbers give no rows and 0.
    int GetUserStates(const std::vector<std::string> &numbers, std::vector<ST_ZOX_SYSTEM_USER> &users);
    int GetUapVoipUsers(const std::vector<std::string> &numbers, std::vector<ST_ZOX_UAP_VOIPUSER> &users);
    // The columns a user tile shows (userNumber, displayName, regState, callState,
    // vpState, userType; other fields left as they start) of every listed user, or of
    // a group's listed members, ordered by number and fetched in blocks of rows.
    int GetShownUsers(std::vector<ST_ZOX_SYSTEM_USER> &users);
    int GetShownMembers(uint32_t groupId, std::vector<ST_ZOX_SYSTEM_USER> &users);

private:
    void DataModuleCreate(TNetTcpServiceForm *connection);
    // The hook before every statement: writes the kept states in one transaction.
    void WriteKeptStates(soci::session &s);
    // Reads every row of zox_system_user into the rows in memory.
    int LoadUserRows();

    TZoxQuery c_pAdoQuery;
    int m_attachResult = -1;
    // The rows of zox_system_user in memory (valid only while m_rowsKnown).
    std::unordered_map<std::string, ST_ZOX_SYSTEM_USER> m_userRows;
    bool m_rowsKnown = false;
    // States not yet written, by user number.
    std::map<std::string, ST_ZOX_SYSTEM_USER> m_keptStates;
    bool m_keptAfterFailure = false;
    CRateLimitedLog m_stateLog;
};
