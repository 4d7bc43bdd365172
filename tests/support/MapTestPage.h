#pragma once
// A local map page for the map window's tests: it keeps every script call the console
// makes in window.received, and calls the console once while it is still loading.
// Window tests only (needs the web engine).
#include "tests/support/TempDir.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zoxtest {

// The page calls IDocInterface('2001', '100') from its own head script.
inline constexpr const char *kMapTestPage = R"HTML(<!doctype html>
<html><head><meta charset="utf-8"><title>Map</title>
<style>
  html, body { margin: 0; height: 100%; background: #dfe8d8; font: 13px sans-serif; overflow: hidden; }
  #logo { position: absolute; right: 8px; bottom: 6px; color: #4a6a3a; font-weight: bold; }
  #speaker { position: absolute; left: 8px; top: 6px; padding: 2px 6px; background: #fff8c0; display: none; }
</style>
<script>
window.received = [];
function selectGroup(id) { received.push(['selectGroup', id]); }
function selectUser(n) { received.push(['selectUser', n]); }
function setSpeeker(s) {
    received.push(['setSpeeker', s]);
    var e = document.getElementById('speaker');
    if (e) { e.textContent = 'Speaker: ' + s; e.style.display = 'block'; }
}
function unsetSpeeker() { received.push(['unsetSpeeker']); }
function HideMapLogo() { received.push(['HideMapLogo']); document.getElementById('logo').style.display = 'none'; }
window.external.IDocInterface('2001', '100');
</script></head>
<body>
<svg width="100%" height="100%" viewBox="0 0 400 400" preserveAspectRatio="xMidYMid slice">
  <rect width="400" height="400" fill="#dfe8d8"/>
  <path d="M0 140 C120 120 220 180 400 150" stroke="#9ec3e6" stroke-width="26" fill="none"/>
  <g stroke="#ffffff" stroke-width="9" fill="none">
    <path d="M40 0 L70 400"/><path d="M0 260 L400 230"/><path d="M210 0 L250 400"/><path d="M0 60 L400 90"/>
  </g>
  <g stroke="#f3d27a" stroke-width="5" fill="none"><path d="M330 0 L300 400"/><path d="M0 330 L400 350"/></g>
  <g fill="#d2453b"><circle cx="120" cy="210" r="7"/><circle cx="262" cy="300" r="7"/><circle cx="300" cy="70" r="7"/></g>
  <g font-size="11" fill="#333"><text x="130" y="205">Car 14</text><text x="272" y="296">Medic 21</text>
  <text x="310" y="66">Boat 3</text></g>
</svg>
<div id="speaker"></div><div id="logo">GIS</div>
</body></html>
)HTML";

// Writes the page into dir and gives its file address.
inline std::string WriteMapTestPage(const TempDir &dir)
{
    dir.write("map/index.html", kMapTestPage);
    return QUrl::fromLocalFile(QString::fromStdString((dir / "map/index.html").string())).toString().toStdString();
}

// Runs the window events until cond holds or ms have passed; whether it holds.
inline bool RunUntil(const std::function<bool()> &cond, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (!cond() && t.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return cond();
}

// Runs a script in the page and waits for its result.
inline std::optional<QVariant> EvalInPage(QWebEnginePage *page, const QString &script, int ms = 10000)
{
    // The answer may come after the wait gave up: it owns its slot.
    auto result = std::make_shared<std::optional<QVariant>>();
    page->runJavaScript(script, [result](const QVariant &v) { *result = v; });
    RunUntil([&] { return result->has_value(); }, ms);
    return *result;
}

// The script calls the page received so far, as JSON.
inline QJsonArray ReceivedByPage(QWebEnginePage *page)
{
    const std::optional<QVariant> v = EvalInPage(page, "JSON.stringify(window.received)");
    if (!v)
        return {};
    return QJsonDocument::fromJson(v->toString().toUtf8()).array();
}

} // namespace zoxtest
