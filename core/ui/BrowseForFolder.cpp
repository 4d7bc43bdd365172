#include "core/ui/BrowseForFolder.h"

#include "core/EditionText.h"

#include <QApplication>
#include <QFileDialog>
#include <QWidget>

std::string BrowseForFolder()
{
    const QString chosen = QFileDialog::getExistingDirectory(
        QApplication::activeWindow(), ZoxQText(EN_ZOX_TEXT::SelectFolder), QString(), QFileDialog::ShowDirsOnly);
    if (chosen.isEmpty())
        return std::string();
    std::string path = chosen.toStdString();
    if (path.back() != '/')
        path.push_back('/');
    return path;
}
