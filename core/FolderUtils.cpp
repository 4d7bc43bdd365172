#include "core/FolderUtils.h"

#include <QStandardPaths>
#include <QDir>
#include <sys/stat.h>

namespace {

bool isSeparator(char c) { return c == '/' || c == '\\'; }

bool folderExists(const std::string &path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

bool CreateDirectories(const std::string &path)
{
    if (path.size() < 2)
        return false;
    // The parent ends at the last separator before the final character, so that a
    // trailing separator of the path itself is skipped.
    std::size_t cut = std::string::npos;
    for (std::size_t i = path.size() - 1; i-- > 0;) {
        if (isSeparator(path[i])) {
            cut = i;
            break;
        }
    }
    if (cut == std::string::npos)
        return false;
    std::string parent = path.substr(0, cut + 1);
    if (parent.size() > 1 && !folderExists(parent)) {
        if (!CreateDirectories(parent))
            return false;
    }
    std::string target = path;
    while (target.size() > 1 && isSeparator(target.back()))
        target.pop_back();
    return ::mkdir(target.c_str(), 0755) == 0;
}

std::string GetPublicVideosFolder()
{
    QString movies = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    if (!movies.isEmpty())
        return QDir::cleanPath(movies).toStdString();
    // No home folder known: a shared folder under /var/tmp that every user can reach.
    std::string fallback = "/var/tmp/ZoxClient/Videos";
    if (!folderExists(fallback))
        CreateDirectories(fallback);
    return fallback;
}
