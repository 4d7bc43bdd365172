// Program entry of the dispatcher's console.
#include "core/Edition.h"
#include "core/Log.h"
#include "core/SystemConfig.h"
#include "console/ui/FontSetup.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    zox::skin::InstallFontSubstitutions();
    try {
        if (!g_pSystemConfig)
            g_pSystemConfig = new CSystemConfig();
    } catch (const std::exception &e) {
        QMessageBox::critical(nullptr, "ZoxClient", QString::fromUtf8(e.what()));
        return 0;
    }
    if (g_pSystemConfig->IsWriteLogFile()) {
        OpenLogAtStart(zox::edition::kVersionText);
        for (const std::string &note : g_pSystemConfig->GetLoadNotes())
            WriteLog("%s", note.c_str());
    }
    int rc = 0;
    delete g_pSystemConfig;
    g_pSystemConfig = nullptr;
    CloseLogFile();
    return rc;
}
