// Draws every picture of the console's skin into <out>/img/<NAME>.png and writes
// <out>/skin.qrc, which the build compiles into the program under :/img/<NAME>.png.
#include "Skin.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out + "/img");

    skin::Catalogue cat;
    skin::AddTitleButtons(cat);
    skin::AddBarToggles(cat);
    skin::AddSplitLayouts(cat);
    skin::AddOperateBar(cat);
    skin::AddTaskButtons(cat);
    skin::AddScrollArrows(cat);
    skin::AddCellIcons(cat);
    skin::AddDialogButtons(cat);
    skin::AddDialPad(cat);
    skin::AddVideoTools(cat);
    skin::AddFormArt(cat);

    QFile qrc(out + "/skin.qrc.tmp");
    if (!qrc.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "skin: cannot write %s\n", qPrintable(qrc.fileName()));
        return 1;
    }
    QTextStream qs(&qrc);
    qs << "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/img\">\n";
    for (const auto &[name, image] : cat.Pictures()) {
        const QString file = "img/" + name + ".png";
        if (!image.save(out + "/" + file, "PNG")) {
            std::fprintf(stderr, "skin: cannot write %s\n", qPrintable(file));
            return 1;
        }
        qs << "    <file alias=\"" << name << ".png\">" << file << "</file>\n";
    }
    qs << "  </qresource>\n</RCC>\n";
    qs.flush();
    qrc.close();
    // Replace the list only once every picture is written.
    QFile::remove(out + "/skin.qrc");
    if (!QFile::rename(out + "/skin.qrc.tmp", out + "/skin.qrc")) {
        std::fprintf(stderr, "skin: cannot finish skin.qrc\n");
        return 1;
    }
    std::printf("skin: %zu pictures\n", cat.Pictures().size());
    return 0;
}
