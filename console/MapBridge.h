#pragma once
// The map page and the console talk both ways:
//  - the console runs small scripts in the page (select a group or a user, show or
//    clear the current speaker, hide the page's logo);
//  - the page calls window.external.IDocInterface(code, data) with a command code and a
//    comma-separated list of numbers, and the console starts calls for those numbers.
// Everything here is window-free: the map window (console/ui/Mapfrm.*) gives the
// browser behind IMapPage and forwards the page's calls to CMapBridge.
#include <QJsonArray>

#include <string>
#include <vector>

// The operations the page's commands start (the main window's).
class IMapCommandHost {
public:
    virtual ~IMapCommandHost() = default;
    virtual void StartPttCall(const std::string &number) = 0;
    virtual void StartPttGroupCall(const std::vector<std::string> &numbers) = 0;
    virtual void StartUserVideoUpload(const std::string &number) = 0;
    // 0 when the call was started.
    virtual int StartVoiceCall(const std::string &number) = 0;
    virtual void StartVoiceConference(const std::vector<std::string> &numbers) = 0;
    virtual void StartVoiceGroupCall(const std::vector<std::string> &numbers) = 0;
    virtual void StartVideoCall(const std::string &number) = 0;
    virtual void StartVideoGroupCall(const std::vector<std::string> &numbers) = 0;
    virtual void PreviewVideo(int userType, const std::string &number) = 0;
};

// The browser as the bridge sees it.
class IMapPage {
public:
    virtual ~IMapPage() = default;
    // Hands a script to the page; false when it could not be handed over.
    virtual bool RunScript(const std::string &script) = 0;
    virtual void SetBrowserVisible(bool visible) = 0;
};

namespace zox::map {

// Command codes of the page.
enum : int {
    kCmdPtt = 2001,
    kCmdVideoUpload = 2101,
    kCmdVoice = 2201,
    kCmdVoiceAlt = 2202,
    kCmdVoiceGroup = 2203,
    kCmdVideo = 2401,
    kCmdVideoAlt = 2402,
    kCmdPreview = 2501,
};

// The vehicle user type that a preview from the page uses.
constexpr int kPreviewUserType = 1;

// Limits of what the page may pass in one call.
constexpr std::size_t kMaxCodeLength = 16;
constexpr std::size_t kMaxDataLength = 16384;

// Cuts the data at every ",", keeping the pieces as they are (no trimming) and in
// order, dropping empty ones.
std::vector<std::string> SplitNumberList(const std::string &data);

// A command code: an optional sign and 1 to 9 decimal digits, nothing else.
bool ParseCommandCode(const std::string &text, int &code);

// A text (UTF-8) as a JavaScript string literal with its double quotes; quotes,
// backslashes, control characters and the two JavaScript line separators are escaped,
// and bytes that are not UTF-8 become U+FFFD. The result is also a JSON string.
std::string JsStringLiteral(const std::string &utf8);

// The scripts the console runs in the page.
std::string SelectGroupScript(int groupId);
std::string SelectUserScript(const std::string &number);
std::string SetSpeakerScript(const std::string &speaker);
std::string UnsetSpeakerScript();
std::string HideMapLogoScript();

// The group id the page gets for a group tile: a server group's id, else 0.
int PageGroupId(int groupType, int groupId);

// The page's address: the configured one with "?t=" and the time in seconds appended
// as is (also when the address already has a query part).
std::string MapPageAddress(const std::string &serverUrl, long seconds);

// One map window's bridge. The page-ready flag belongs to it: set by a completed
// document, cleared by a failed navigation; scripts run only while it is set.
class CMapBridge {
public:
    // host may be null: the page's commands then do nothing.
    CMapBridge(IMapPage &page, IMapCommandHost *host);

    void OnDocumentComplete();
    void OnNavigateError();
    bool IsPageReady() const { return m_ready; }

    // Runs a script in the page: false unless the page is ready and took it.
    bool ExecScript(const std::string &script);
    bool SelectGroup(int groupId) { return ExecScript(SelectGroupScript(groupId)); }
    bool SelectUser(const std::string &number) { return ExecScript(SelectUserScript(number)); }
    bool SetSpeaker(const std::string &speaker) { return ExecScript(SetSpeakerScript(speaker)); }
    bool UnsetSpeaker() { return ExecScript(UnsetSpeakerScript()); }
    bool HideMapLogo() { return ExecScript(HideMapLogoScript()); }

    // A call of window.external.IDocInterface with its arguments as the page passed
    // them: exactly two strings (code, data) or nothing happens. True when a command
    // was started.
    bool OnPageCall(const QJsonArray &args);
    // The command with its code and data texts.
    bool OnExternalCommand(const std::string &code, const std::string &data);

private:
    IMapPage &m_page;
    IMapCommandHost *m_host;
    bool m_ready = false;
};

} // namespace zox::map
