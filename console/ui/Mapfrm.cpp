#include "console/ui/Mapfrm.h"

#include "console/ui/SkinPanel.h"
#include "core/Log.h"

#include <QEvent>
#include <QFile>
#include <QUrl>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineView>

#include <ctime>
#include <unistd.h>

namespace {

constexpr unsigned kPanelColour = 3485734; // VCL colour value
constexpr const char *kHostName = "zoxMapHost";

// Defines window.external.IDocInterface in every document of the main frame before the
// page's own scripts run. Calls made before the channel is up wait in a queue; the
// arguments travel as the page passed them, and the console checks them.
constexpr const char *kExternalShim = R"JS(
(function () {
    var queue = [];
    var host = null;
    function deliver(args) { host.IDocCall(args); }
    window.external = {
        IDocInterface: function () {
            var args = Array.prototype.slice.call(arguments);
            if (host) deliver(args); else queue.push(args);
        }
    };
    new QWebChannel(qt.webChannelTransport, function (channel) {
        host = channel.objects.zoxMapHost;
        queue.splice(0).forEach(deliver);
    });
})();
)JS";

// Chromium keeps its sandbox only for a normal user; as root it refuses to start a
// page without this.
void AllowEngineAsRoot()
{
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace

void CMapPageHost::IDocCall(const QJsonArray &args) { m_bridge.OnPageCall(args); }

TMapForm::TMapForm(QWidget *parent, IMapCommandHost *host, const std::string &serverUrl)
    : QWidget(parent), m_bridge(*this, host)
{
    setObjectName("TMapForm");
    setWindowFlag(Qt::FramelessWindowHint);
    c_pPanelClient = new TSkinPanel(this, VclColour(kPanelColour));
    c_pPanelClient->setObjectName("c_pPanelClient");
    c_pPanelClient->installEventFilter(this);

    AllowEngineAsRoot();
    c_pWebBrowser = new QWebEngineView(c_pPanelClient);
    c_pWebBrowser->setObjectName("c_pWebBrowser");
    c_pWebBrowser->setContextMenuPolicy(Qt::NoContextMenu); // the page gets no context menu
    OnPanelClientResize();

    m_address = zox::map::MapPageAddress(serverUrl, static_cast<long>(std::time(nullptr)));
    const QUrl url(QString::fromStdString(m_address));
    if (!url.isValid() || url.isRelative()) {
        WriteLog("map: page address [%s] cannot be opened", m_address.c_str());
        m_bridge.OnNavigateError();
        return;
    }
    if (!InstallPageHost())
        WriteLog("map: page host unavailable, the page's commands are ignored");
    connect(c_pWebBrowser, &QWebEngineView::loadFinished, this, &TMapForm::OnLoadFinished);
    // A page whose renderer died takes no scripts: treated like a failed navigation.
    connect(c_pWebBrowser->page(), &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                WriteLog("map: page renderer ended (status %d, code %d)", static_cast<int>(status), exitCode);
                m_bridge.OnNavigateError();
                emit PageLoadFinished(false);
            });
    // The load runs on; the document's completion or failure arrives as an event.
    c_pWebBrowser->load(url);
}

TMapForm::~TMapForm()
{
    // The page goes before the channel it uses.
    delete c_pWebBrowser;
    c_pWebBrowser = nullptr;
}

bool TMapForm::InstallPageHost()
{
    QFile channelJs(":/qtwebchannel/qwebchannel.js");
    if (!channelJs.open(QIODevice::ReadOnly))
        return false;
    m_pPageHost = new CMapPageHost(m_bridge, this);
    m_pChannel = new QWebChannel(this);
    m_pChannel->registerObject(kHostName, m_pPageHost);
    QWebEnginePage *page = c_pWebBrowser->page();
    page->setWebChannel(m_pChannel);
    QWebEngineScript script;
    script.setName("zox-external");
    script.setSourceCode(QString::fromUtf8(channelJs.readAll()) + QString::fromUtf8(kExternalShim));
    script.setInjectionPoint(QWebEngineScript::DocumentCreation);
    script.setWorldId(QWebEngineScript::MainWorld);
    script.setRunsOnSubFrames(false);
    page->scripts().insert(script);
    return true;
}

void TMapForm::OnLoadFinished(bool ok)
{
    if (ok) {
        m_bridge.OnDocumentComplete();
    } else {
        WriteLog("map: page [%s] failed to load", m_address.c_str());
        m_bridge.OnNavigateError();
    }
    emit PageLoadFinished(ok);
}

bool TMapForm::RunScript(const std::string &script)
{
    if (!c_pWebBrowser)
        return false;
    c_pWebBrowser->page()->runJavaScript(QString::fromUtf8(script.data(), static_cast<qsizetype>(script.size())));
    return true;
}

void TMapForm::SetBrowserVisible(bool visible)
{
    if (c_pWebBrowser)
        c_pWebBrowser->setVisible(visible);
}

void TMapForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    c_pPanelClient->setGeometry(rect());
}

bool TMapForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == c_pPanelClient && event->type() == QEvent::Resize)
        OnPanelClientResize();
    return QWidget::eventFilter(watched, event);
}

void TMapForm::OnPanelClientResize()
{
    // The browser's own frame lies outside the panel on the left and top.
    if (c_pWebBrowser)
        c_pWebBrowser->setGeometry(-2, -2, c_pPanelClient->width() + 2, c_pPanelClient->height() + 2);
}
