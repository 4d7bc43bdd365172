// Every picture the console asks for exists in the program, fits the place it is shown
// in, and its state pictures are visibly different.
#include "UiTestApp.h"

#include "console/MainImageMap.h"
#include "console/PictureState.h"
#include "console/SplitScreenCtrlMap.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <map>
#include <set>
#include <string>

namespace {

std::set<std::string> Resources()
{
    std::set<std::string> names;
    for (const QString &f : QDir(":/img").entryList(QDir::Files)) {
        if (f.endsWith(".png"))
            names.insert(f.chopped(4).toStdString());
    }
    return names;
}

// Picture names written as complete literals anywhere in the program's sources.
std::map<std::string, std::string> NamesInSources()
{
    std::map<std::string, std::string> found; // name -> first file
    const QRegularExpression re(QStringLiteral("\"(IMG_[A-Z0-9_]+)\""));
    const QString root = QStringLiteral(ZOX_SOURCE_DIR);
    const char *dirs[] = {"core", "console", "dispatch", "video", "platforms", "edition_cn", "host", "medialib"};
    QStringList files = {root + "/main.cpp"};
    for (const char *d : dirs) {
        QDirIterator it(root + "/" + d, {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
    }
    for (const QString &path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromUtf8(f.readAll());
        for (auto m = re.globalMatch(text); m.hasNext();) {
            const std::string name = m.next().captured(1).toStdString();
            found.emplace(name, path.mid(root.size() + 1).toStdString());
        }
    }
    return found;
}

} // namespace

TEST(SkinResources, EveryNameTheCodeAsksForExists)
{
    UiApp();
    const std::set<std::string> have = Resources();
    ASSERT_GT(have.size(), 100u);
    const auto wanted = NamesInSources();
    ASSERT_GT(wanted.size(), 60u); // the controls' own tables are among them
    // A literal is a picture, or the stem of pictures that the code completes with a
    // state or a digit ("IMG_SPLIT_SCREEN_ONE" + "_NORMAL").
    auto known = [&](const std::string &name) {
        auto it = have.lower_bound(name);
        return it != have.end() && it->compare(0, name.size(), name) == 0;
    };
    for (const auto &[name, file] : wanted)
        EXPECT_TRUE(known(name)) << name << " (asked for in " << file << ") is not a picture of the program";
    // The tables the windows bind, also when composed elsewhere.
    for (const MainImageMapRow &row : kMainImageMapRows) {
        for (int s = 0; s < zox::skin::kPictureStateCount; ++s) {
            EXPECT_TRUE(have.count(row.names[s])) << row.names[s];
            if (row.alternateNames[s]) {
                EXPECT_TRUE(have.count(row.alternateNames[s])) << row.alternateNames[s];
            }
        }
    }
    for (const SplitScreenPicture &row : kSplitScreenPictures)
        for (const char *n : row.names)
            EXPECT_TRUE(have.count(n)) << n;
    for (int d = 0; d <= 9; ++d)
        EXPECT_TRUE(have.count("IMG_DIAL_PAD_NUM" + std::to_string(d)));
}

TEST(SkinResources, PicturesFitWhereTheyAreShown)
{
    UiApp();
    // Longest matching prefix wins; every picture must match a row.
    const std::map<std::string, QSize> fits = {
        {"IMG_BTN_SETTING_", {25, 30}},    {"IMG_BTN_MIN_", {25, 30}},         {"IMG_BTN_MAX_", {25, 30}},
        {"IMG_BTN_MID_", {25, 30}},        {"IMG_BTN_CLOSE_", {24, 24}},       {"IMG_BTN_LEFT_", {32, 30}},
        {"IMG_BTN_FULL_SCREEN_", {32, 30}}, {"IMG_BTN_RESET_SCREEN_", {32, 30}}, {"IMG_WINDOW_", {32, 30}},
        {"IMG_SPLIT_SCREEN_", {26, 30}},   {"IMG_BTN_CAMERA_", {26, 25}},      {"IMG_BTN_FOLD_", {26, 25}},
        {"IMG_BTN_OPEN_", {26, 25}},       {"IMG_EXTEND_WINDOW_", {26, 25}},   {"IMG_TASK_ARROW_", {45, 54}},
        {"IMG_BTN_ARROW_", {45, 54}},      {"IMG_TASK_OPERATE_", {90, 36}},    {"IMG_BTN_OPERATE_", {90, 36}},
        {"IMG_PANEL_BG_", {64, 64}},       {"IMG_CHAT_", {64, 64}},            {"IMG_CALL_END_", {64, 64}},
        {"IMG_BTN_SPEAK_", {64, 64}},      {"IMG_BTN_DIAL_", {64, 64}},        {"IMG_SCROLL_ARROW_", {12, 12}},
        {"IMG_PRESENCE_", {24, 21}},       {"IMG_PHONE_CALL_", {24, 21}},      {"IMG_AUDIO_DISPATCH", {24, 21}},
        {"IMG_VIDEO_", {24, 21}},          {"IMG_USER_ICON_", {50, 60}},       {"IMG_GROUP_ICON_", {50, 60}},
        {"IMG_DIAL_PAD_", {72, 45}},       {"IMG_WX_BTN_CONTACT_", {28, 28}},  {"IMG_BTN_GREEN_", {60, 24}},
        {"IMG_BTN_GRAY_", {60, 24}},       {"IMG_BTN_HUNGUP_", {48, 48}},      {"IMG_BTN_CALL_", {48, 48}},
        {"IMG_UNKNOWN_PERSON", {60, 60}},  {"IMG_MOBILE_PHONE_16", {16, 16}},  {"IMG_TELEPHONE_16", {16, 16}},
        {"IMG_WND_", {20, 28}},            {"IMG_BTN_STOP_", {20, 28}},        {"IMG_BTN_SHARE_", {20, 28}},
        {"IMG_BTN_STRETCH_", {20, 28}},    {"IMG_BTN_RECORD_", {20, 28}},      {"IMG_BTN_VOLUME_", {20, 28}},
        {"IMG_DISPATCH_STATUS", {32, 24}}, {"IMG_RESIZE_GRIP", {10, 10}},      {"IMG_SPLASH", {482, 100}},
    };
    for (const std::string &name : Resources()) {
        std::string best;
        for (const auto &[prefix, size] : fits) {
            if (name.rfind(prefix, 0) == 0 && prefix.size() > best.size())
                best = prefix;
        }
        ASSERT_FALSE(best.empty()) << name << " has no place it is known to fit";
        const QImage img(zox::skin::SkinPicturePath(name));
        ASSERT_FALSE(img.isNull()) << name;
        const QSize max = fits.at(best);
        EXPECT_LE(img.width(), max.width()) << name;
        EXPECT_LE(img.height(), max.height()) << name;
        EXPECT_TRUE(img.hasAlphaChannel() || name == "IMG_SPLASH") << name;
    }
}

TEST(SkinResources, StatePicturesDifferVisibly)
{
    UiApp();
    const char *suffixes[] = {"_DISABLED", "_NORMAL", "_FOCUSED", "_PRESSED"};
    std::map<std::string, std::vector<std::string>> stems;
    for (const std::string &name : Resources()) {
        for (const char *s : suffixes) {
            const std::string suf = s;
            if (name.size() > suf.size() && name.compare(name.size() - suf.size(), suf.size(), suf) == 0)
                stems[name.substr(0, name.size() - suf.size())].push_back(name);
        }
    }
    int compared = 0;
    for (const auto &[stem, names] : stems) {
        for (std::size_t i = 0; i < names.size(); ++i) {
            for (std::size_t j = i + 1; j < names.size(); ++j) {
                const QImage a = QImage(zox::skin::SkinPicturePath(names[i])).convertToFormat(QImage::Format_ARGB32);
                const QImage b = QImage(zox::skin::SkinPicturePath(names[j])).convertToFormat(QImage::Format_ARGB32);
                ASSERT_EQ(a.size(), b.size()) << names[i] << " " << names[j];
                // Count clearly different pixels.
                int differing = 0;
                for (int y = 0; y < a.height(); ++y) {
                    for (int x = 0; x < a.width(); ++x) {
                        const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
                        const int d = std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                                      std::abs(qBlue(p) - qBlue(q)) + std::abs(qAlpha(p) - qAlpha(q));
                        differing += d > 60;
                    }
                }
                EXPECT_GE(differing, 6) << names[i] << " and " << names[j] << " look the same";
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 100);
}
