#include "video/UiThread.h"
#include "core/Log.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <mutex>

namespace {
std::mutex g_posterLock;
std::function<void(UiTask)> g_poster;
} // namespace

void SetUiPoster(std::function<void(UiTask)> poster)
{
    std::lock_guard<std::mutex> lk(g_posterLock);
    g_poster = std::move(poster);
}

void PostToUi(UiTask task)
{
    {
        std::lock_guard<std::mutex> lk(g_posterLock);
        if (g_poster) {
            g_poster(std::move(task));
            return;
        }
    }
    QCoreApplication *app = QCoreApplication::instance();
    if (!app) {
        WriteLog("ui-post:: no application object, task dropped.");
        return;
    }
    QMetaObject::invokeMethod(app, std::move(task), Qt::QueuedConnection);
}
