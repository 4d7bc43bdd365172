#include "console/ui/FontSetup.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace zox::skin {

void InstallFontSubstitutions()
{
    struct Pair {
        const char *face;
        const char *substitute;
    };
    static const Pair kPairs[] = {
        {"Tahoma", "DejaVu Sans"},
        {"Arial", "Liberation Sans"},
        {"微软雅黑", "Noto Sans CJK SC"},
        {"宋体", "Noto Serif CJK SC"},
    };
    for (const Pair &p : kPairs) {
        const QString face = QString::fromUtf8(p.face);
        const QString sub = QString::fromUtf8(p.substitute);
        if (!QFont::substitutes(face).contains(sub))
            QFont::insertSubstitution(face, sub);
    }
}

} // namespace zox::skin
