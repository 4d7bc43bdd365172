#pragma once
// The map window: the GIS map page in an embedded browser, filling the main window's
// map panel. The console drives the page with small scripts; the page calls
// window.external.IDocInterface(code, data), which reaches the page host below over a
// web channel and starts the console's operations (console/MapBridge.h).
// User-interface thread only.
#include "console/MapBridge.h"

#include <QJsonArray>
#include <QObject>
#include <QWidget>

#include <string>

class QWebChannel;
class QWebEngineView;
class TSkinPanel;

// The object behind window.external: the page's calls arrive here with their
// arguments as the page passed them.
class CMapPageHost : public QObject {
    Q_OBJECT
public:
    explicit CMapPageHost(zox::map::CMapBridge &bridge, QObject *parent = nullptr)
        : QObject(parent), m_bridge(bridge)
    {
    }
    Q_INVOKABLE void IDocCall(const QJsonArray &args);

private:
    zox::map::CMapBridge &m_bridge;
};

class TMapForm : public QWidget, private IMapPage {
    Q_OBJECT
public:
    // The page's address is serverUrl with "?t=" and the time appended; the page's
    // commands go to host (may be null).
    TMapForm(QWidget *parent, IMapCommandHost *host, const std::string &serverUrl);
    ~TMapForm() override;

    // The page's functions; each runs one script, false when it was not run.
    bool SelectGroup(int groupId) { return m_bridge.SelectGroup(groupId); }
    bool SelectUser(const std::string &number) { return m_bridge.SelectUser(number); }
    bool SetSpeaker(const std::string &speaker) { return m_bridge.SetSpeaker(speaker); }
    bool UnsetSpeaker() { return m_bridge.UnsetSpeaker(); }
    bool HideMapLogo() { return m_bridge.HideMapLogo(); }
    bool ExecScript(const std::string &script) { return m_bridge.ExecScript(script); }

    bool IsPageReady() const { return m_bridge.IsPageReady(); }
    const std::string &PageAddress() const { return m_address; }
    zox::map::CMapBridge &Bridge() { return m_bridge; }

    TSkinPanel *c_pPanelClient = nullptr;
    QWebEngineView *c_pWebBrowser = nullptr;

signals:
    // A document completed (true) or a navigation failed (false), after the window
    // has applied it.
    void PageLoadFinished(bool ok);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    // IMapPage
    bool RunScript(const std::string &script) override;
    void SetBrowserVisible(bool visible) override;

    void OnPanelClientResize();
    void OnLoadFinished(bool ok);
    bool InstallPageHost();

    zox::map::CMapBridge m_bridge;
    CMapPageHost *m_pPageHost = nullptr;
    QWebChannel *m_pChannel = nullptr;
    std::string m_address;
};
