#include "core/Log.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::mutex g_logLock;
FILE *g_logFile = nullptr;         // guarded by g_logLock
uint64_t g_writtenBytes = 0;       // guarded by g_logLock
std::string g_logFolder;           // folder of the open file, guarded by g_logLock

std::string logFolderNow()
{
    std::error_code ec;
    return (fs::current_path(ec) / "log").string();
}

// Moves log.txt to log_bak.txt, replacing the backup; failures are ignored.
void backupCurrent(const std::string &folder)
{
    std::string current = folder + "/log.txt";
    std::string backup = folder + "/log_bak.txt";
    std::error_code ec;
    if (!fs::exists(current, ec))
        return;
    fs::copy_file(current, backup, fs::copy_options::overwrite_existing, ec);
    fs::remove(current, ec);
}

// The file starts empty (created or truncated), so its count starts at 0 too; a
// count carried over from an earlier file would rotate the new one early.
void openLocked(const std::string &path)
{
    g_logFile = std::fopen(path.c_str(), "w");
    g_writtenBytes = 0;
    g_logFolder = fs::path(path).parent_path().string();
}

// Steps 3 to 6 of a line: returns -3 when the text is too long, else writes it.
int writeLine(const char *format, va_list args)
{
    char text[kLogMaxText + 1];
    int n = std::vsnprintf(text, sizeof text, format, args);
    if (n < 0 || static_cast<std::size_t>(n) > kLogMaxText)
        return -3;

    std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    char line[kLogMaxLine + 64];
    int t = std::snprintf(line, sizeof line, "%d/%02d/%02d %02d:%02d:%02d>>", tm.tm_year + 1900, tm.tm_mon + 1,
                          tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    std::size_t len = static_cast<std::size_t>(t);
    std::size_t textLen = static_cast<std::size_t>(n);
    bool endsWithLf = textLen > 0 && text[textLen - 1] == '\n';
    if (endsWithLf)
        --textLen; // the line feed is added below, so that a cut line keeps it
    std::size_t room = kLogMaxLine - 1 - len;
    if (textLen > room)
        textLen = room;
    std::memcpy(line + len, text, textLen);
    len += textLen;
    line[len++] = '\n';

    std::lock_guard<std::mutex> lk(g_logLock);
    if (!g_logFile)
        return -1;
    std::fwrite(line, 1, len, g_logFile);
    std::fflush(g_logFile);
    g_writtenBytes += len;
    RotateLogFile();
    return 0;
}

int writeChecked(const char *format, va_list args)
{
    {
        std::lock_guard<std::mutex> lk(g_logLock);
        if (!g_logFile)
            return -1;
    }
    if (!format)
        return -2;
    if (::strnlen(format, kLogMaxText) >= kLogMaxText)
        return -2;
    return writeLine(format, args);
}

} // namespace

int WriteLogV(const char *format, va_list args)
{
    writeChecked(format, args);
    return 0;
}

int WriteLog(const char *format, ...)
{
    va_list args;
    va_start(args, format);
    WriteLogV(format, args);
    va_end(args);
    return 0;
}

int WriteMediaLogV(const void *, const char *format, va_list args)
{
    return writeChecked(format, args);
}

int WriteMediaLog(const void *context, const char *format, ...)
{
    va_list args;
    va_start(args, format);
    int r = WriteMediaLogV(context, format, args);
    va_end(args);
    return r;
}

void OpenLogFile(const std::string &path)
{
    std::lock_guard<std::mutex> lk(g_logLock);
    if (g_logFile) {
        std::fclose(g_logFile);
        g_logFile = nullptr;
    }
    openLocked(path);
}

void RotateLogFile()
{
    // Called with g_logLock held, right after a line was counted.
    if (g_writtenBytes <= kLogRotateThreshold)
        return;
    if (g_logFile) {
        std::fclose(g_logFile);
        g_logFile = nullptr;
    }
    g_writtenBytes = 0;
    std::string folder = g_logFolder.empty() ? logFolderNow() : g_logFolder;
    backupCurrent(folder);
    openLocked(folder + "/log.txt");
}

void CloseLogFile()
{
    std::lock_guard<std::mutex> lk(g_logLock);
    if (g_logFile) {
        std::fclose(g_logFile);
        g_logFile = nullptr;
    }
}

void OpenLogAtStart(const char *versionText)
{
    std::string folder = logFolderNow();
    ::mkdir(folder.c_str(), 0755);
    backupCurrent(folder);
    OpenLogFile(folder + "/log.txt");
    WriteLog("version: %s", versionText);
}

bool IsLogOpen()
{
    std::lock_guard<std::mutex> lk(g_logLock);
    return g_logFile != nullptr;
}

uint64_t GetLogWrittenBytes()
{
    std::lock_guard<std::mutex> lk(g_logLock);
    return g_writtenBytes;
}
