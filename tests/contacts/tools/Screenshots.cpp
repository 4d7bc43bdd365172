// Draws the contacts book and the settings dialog offscreen from a sample book and a
// sample configuration, and writes the pictures into the given folder (docs/).
//   contacts_screenshots <folder>
#include "console/ContactsDb.h"
#include "console/ui/Configdlg.h"
#include "console/ui/Contactfrm.h"
#include "console/ui/FontSetup.h"
#include "core/SystemConfig.h"
#include "tests/support/TempDir.h"
#include "tests/support/UiApp.h"

#include <QComboBox>
#include <QTabWidget>
#include <QTreeWidget>

#include <cstdio>
#include <filesystem>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path out = std::filesystem::absolute(argv[1]);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication &app = zoxtest::uiApp();
    (void)app;
    zox::skin::InstallFontSubstitutions();

    zoxtest::TempDir dir;
    zoxtest::ScopedCwd cwd(dir.path());
    std::filesystem::create_directories(dir / "data");
    std::filesystem::create_directories(dir / "videos");
    dir.write("data/zoxcfg.ini", "[General]\nTitle=Harbour Dispatch\nDepartment=Night shift\n"
                                 "[Video]\nRecordPath=" + (dir / "videos").string() +
                                     "\nCameraId=0\nResolution=12\nFPS=30\nCameraPreview=1\n");
    g_pSystemConfig = new CSystemConfig();
    if (!ContactsDbOpen())
        return 1;

    struct Unit {
        const char *name;
        int parent; // index into ids, -1 for top level
    };
    const Unit units[] = {{"Harbour authority", -1}, {"Pilots", 0}, {"Tugs", 0}, {"City services", -1},
                          {"Fire brigade", 3}, {"Ambulance", 3}};
    int ids[6] = {};
    for (int i = 0; i < 6; ++i) {
        CONTACT_UNIT_ITEM u{0, units[i].parent < 0 ? 0 : ids[units[i].parent], units[i].name}, added;
        ContactsDbInsertUnit(&u, &added);
        ids[i] = added.id;
    }
    const CONTACT_USER_ITEM people[] = {
        {0, ids[0], "Mara Jensen", "Harbour master", "139-1000-2000", "0571-8800-100"},
        {0, ids[0], "Tom O'Neil", "Deputy", "139-1000-2001", ""},
        {0, ids[1], "Ines Alves", "Duty pilot", "139-2200-3300", "0571-8800-210"},
        {0, ids[1], "Lukas Brand", "Pilot", "", "0571-8800-211"},
        {0, ids[2], "Sam Okoro", "Tug master", "139-4400-5500", "0571-8800-300"},
    };
    for (const auto &p : people)
        ContactsDbInsertContact(&p);

    TContactForm book(nullptr);
    book.show();
    book.c_pTreeView->setCurrentItem(book.c_pTreeView->topLevelItem(0));
    book.c_pListView->setCurrentItem(book.c_pListView->topLevelItem(2));
    QApplication::processEvents();
    const bool bookSaved = book.grab().save(QString::fromStdString((out / "contacts-book.png").string()));

    TConfigDlgForm dlg(nullptr, [] {
        return std::vector<VideoCaptureDevice>{
            {"Integrated Camera", true,
             {{"video/x-raw/YUY2", 640, 480, 30, 1}, {"image/jpeg", 1280, 720, 30, 1}, {"image/jpeg", 1280, 720, 15, 1}}},
            {"USB Video Device", true, {{"video/x-raw/YUY2", 320, 240, 30, 1}}}};
    });
    dlg.c_pPageControl->setCurrentIndex(1);
    dlg.show();
    QApplication::processEvents();
    const bool dlgSaved = dlg.grab().save(QString::fromStdString((out / "settings-dialog.png").string()));

    ContactsDbCloseForTests();
    delete g_pSystemConfig;
    g_pSystemConfig = nullptr;
    std::printf("contacts-book.png %s, settings-dialog.png %s\n", bookSaved ? "written" : "FAILED",
                dlgSaved ? "written" : "FAILED");
    return bookSaved && dlgSaved ? 0 : 1;
}
