#pragma once
// The one QApplication of a window test process, created on first use and kept
// until the process ends.
#include <QApplication>

namespace zoxtest {

inline QApplication &uiApp()
{
    static int argc = 1;
    static char name[] = "zox_ui_tests";
    static char *argv[] = {name, nullptr};
    if (auto *existing = qobject_cast<QApplication *>(QCoreApplication::instance()))
        return *existing;
    // Never destroyed: a QApplication torn down by the exit handlers after QTest made
    // its pointing device crashes in Qt 6.4.
    return *new QApplication(argc, argv);
}

} // namespace zoxtest
