#pragma once
// The one QApplication of a window test process, created on first use.
#include <QApplication>

namespace zoxtest {

inline QApplication &uiApp()
{
    static int argc = 1;
    static char name[] = "zox_ui_tests";
    static char *argv[] = {name, nullptr};
    if (auto *existing = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return *existing;
    static QApplication app(argc, argv);
    return app;
}

} // namespace zoxtest
