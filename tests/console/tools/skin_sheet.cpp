// Draws docs/skin-sheet.png: every skinned control in every picture state, and user
// and group cells in typical states, grabbed offscreen into one PNG. A program run by
// hand (README: "Pictures"), not a test:
//
//   build/bin/skin_sheet [<file>]      # default: docs/skin-sheet.png
#include "tests/console/ui/UiTestApp.h"

#include "console/MainImageMap.h"
#include "console/SplitScreenCtrlMap.h"
#include "console/UserCellRules.h"
#include "console/ui/SkinImageMap.h"
#include "console/ui/TButtonCtrl.h"
#include "console/ui/TDialBtnCtrl.h"
#include "console/ui/TGroupCellCtrl.h"
#include "console/ui/TMultiImageCtrl.h"
#include "console/ui/TScrollBarCtrl.h"
#include "console/ui/TUserCellCtrl.h"
#include "core/ui/PngResource.h"

#include <QFileInfo>
#include <cstdio>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

using namespace zox::skin;

namespace {

const QColor kSheet(0x1A, 0x20, 0x25);
const QColor kTitleBar(0x00, 0x22, 0x2E);  // main title bar
const QColor kRightTop(0x1B, 0x2A, 0x31);  // video bar
const QColor kListHost(0x26, 0x30, 0x35);  // group and user lists
const QColor kDialog(0x00, 0x2D, 0x3E);    // dialog title
const QColor kDialogBody(0x00, 0x1C, 0x27); // dialog body
const QColor kTile(0x2E, 0x2E, 0x38);      // video tile title bar

// A panel painted in one colour or a vertical gradient.
class Fill : public QWidget {
public:
    Fill(QColor top, QColor bottom = QColor()) : top_(top), bottom_(bottom.isValid() ? bottom : top) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QLinearGradient g(0, 0, 0, height());
        g.setColorAt(0, top_);
        g.setColorAt(1, bottom_);
        p.fillRect(rect(), g);
    }

private:
    QColor top_, bottom_;
};

QLabel *Text(const QString &text, int px, QColor colour, bool bold = false)
{
    auto *l = new QLabel(text);
    QFont f("Tahoma");
    f.setPixelSize(px);
    f.setBold(bold);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colour);
    l->setPalette(pal);
    return l;
}

QWidget *Section(const QString &title, QWidget *body)
{
    auto *w = new QWidget;
    w->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto *v = new QVBoxLayout(w);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(6);
    v->addWidget(Text(title, 13, QColor(0x9F, 0xC4, 0xD4), true));
    v->addWidget(body);
    return w;
}

const char *kStateNames[] = {"disabled", "normal", "focused", "pressed"};

struct MapRow {
    std::string caption;
    PictureNames names;
    QSize size;
    QColor bg;
    const char *overlay = nullptr; // caption over the picture ("Ok", "Cancel")
};

// A grid of map pictures: one row per picture, one column per state.
QWidget *StateGrid(SkinImageMap &map, const std::vector<MapRow> &rows)
{
    auto *w = new Fill(kSheet);
    auto *g = new QGridLayout(w);
    g->setContentsMargins(0, 0, 0, 0);
    g->setHorizontalSpacing(8);
    g->setVerticalSpacing(4);
    for (int s = 0; s < 4; ++s)
        g->addWidget(Text(kStateNames[s], 11, QColor(0x8A, 0x97, 0xA3)), 0, s + 1, Qt::AlignCenter);
    int r = 1;
    for (const MapRow &row : rows) {
        g->addWidget(Text(QString::fromStdString(row.caption), 11, QColor(0xD5, 0xDE, 0xE6)), r, 0, Qt::AlignVCenter | Qt::AlignLeft);
        for (int s = 0; s < 4; ++s) {
            auto *cell = new Fill(row.bg);
            cell->setFixedSize(row.size + QSize(12, 8));
            auto *pic = new QLabel(cell);
            pic->setGeometry(6, 4, row.size.width(), row.size.height());
            pic->setAlignment(Qt::AlignCenter);
            map.Add(pic, row.names);
            if (s == 0)
                pic->setEnabled(false);
            map.SetImageCtrlStatus(pic, s);
            if (row.overlay) {
                auto *cap = Text(row.overlay, 11, Qt::white);
                cap->setParent(cell);
                cap->setAlignment(Qt::AlignCenter);
                cap->setGeometry(pic->geometry());
            }
            g->addWidget(cell, r, s + 1, Qt::AlignCenter);
        }
        ++r;
    }
    return w;
}

PictureNames Row(const MainImageMapRow &row, bool alternate)
{
    PictureNames n;
    for (int s = 0; s < 4; ++s)
        n[s] = alternate ? row.alternateNames[s] : row.names[s];
    return n;
}

PictureNames Stem(const std::string &stem, bool ownDisabled)
{
    return {stem + (ownDisabled ? "_DISABLED" : "_NORMAL"), stem + "_NORMAL", stem + "_FOCUSED", stem + "_PRESSED"};
}

int Key(const void *, const std::string &) { return 0; }

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(ZOX_SOURCE_DIR "/docs/skin-sheet.png");
    UiApp();
    Fill sheet(kSheet);
    sheet.setFont(QFont("Tahoma", 8));
    SkinImageMap map(256, &sheet);
    auto *root = new QVBoxLayout(&sheet);
    root->setContentsMargins(0, 0, 0, 16);
    root->setSpacing(14);

    // Title bar, as the main window shows it.
    {
        auto *bar = new Fill(kTitleBar);
        bar->setFixedHeight(30);
        auto *h = new QHBoxLayout(bar);
        h->setContentsMargins(10, 0, 4, 0);
        h->setSpacing(0);
        h->addWidget(Text("ZoxClient Dispatch Console  —  skin sheet", 14, Qt::white));
        h->addStretch();
        const std::size_t order[] = {kMainImageSetting, kMainImageMin, kMainImageMax, kMainImageExit};
        for (std::size_t i : order) {
            auto *pic = new QLabel;
            pic->setFixedSize(25, 30);
            pic->setAlignment(Qt::AlignCenter);
            map.Add(pic, Row(kMainImageMapRows[i], false));
            h->addWidget(pic);
        }
        root->addWidget(bar);
    }

    auto *body = new QHBoxLayout;
    body->setContentsMargins(16, 0, 16, 0);
    body->setSpacing(28);
    root->addLayout(body);
    auto *left = new QVBoxLayout;
    auto *middle = new QVBoxLayout;
    auto *right = new QVBoxLayout;
    for (QVBoxLayout *c : {left, middle, right}) {
        c->setSpacing(14);
        body->addLayout(c);
    }

    // Map pictures of the main window and the dialogs.
    {
        std::vector<MapRow> rows;
        const char *captions[] = {"Settings",        "Minimise",     "Maximise",   "Close",
                                  "Left column",     "Full screen",  "Slide left", "Slide right",
                                  "Extended display", "Fold panel",  "Camera menu", "Video titles"};
        for (std::size_t i = 0; i < kMainImageMapRowCount; ++i) {
            const bool bottom = i == kMainImageSlideLeft || i == kMainImageSlideRight;
            const bool titleBar = i <= kMainImageExit;
            QSize size = titleBar ? QSize(25, 30) : (bottom ? QSize(45, 54) : (i >= kMainImageSwapWindow && i <= kMainImageCameraMenu ? QSize(26, 25) : QSize(32, 30)));
            QColor bg = titleBar ? kTitleBar : (bottom ? QColor(0x4A, 0x4A, 0x4E) : (i >= kMainImageSwapWindow && i <= kMainImageCameraMenu ? QColor(0x3B, 0x3E, 0x42) : kRightTop));
            rows.push_back({captions[i], Row(kMainImageMapRows[i], false), size, bg});
            if (kMainImageMapRows[i].alternateWhile)
                rows.push_back({std::string(captions[i]) + " (alt)", Row(kMainImageMapRows[i], true), size, bg});
        }
        left->addWidget(Section("Main window pictures", StateGrid(map, rows)));
    }
    {
        std::vector<MapRow> rows = {
            {"Dialog close", Stem("IMG_BTN_CLOSE", false), {30, 30}, kDialog},
            {"OK", Stem("IMG_BTN_GREEN", false), {60, 24}, kDialogBody, "Ok"},
            {"Cancel", Stem("IMG_BTN_GRAY", false), {60, 24}, kDialogBody, "Cancel"},
            {"Contacts", Stem("IMG_WX_BTN_CONTACT", false), {28, 28}, QColor(0x3F, 0x3F, 0x3F)},
            {"Hang up", Stem("IMG_BTN_HUNGUP", false), {48, 48}, QColor(0x3F, 0x3F, 0x3F)},
            {"Call again", Stem("IMG_BTN_CALL", false), {48, 48}, QColor(0x3F, 0x3F, 0x3F)},
            {"Popup to wall", Stem("IMG_EXTEND_WINDOW", true), {30, 30}, kTile},
        };
        middle->addWidget(Section("Dialog pictures", StateGrid(map, rows)));
    }

    // Split layouts: normal, focused, pressed (the current layout).
    {
        auto *bar = new Fill(kRightTop);
        auto *g = new QGridLayout(bar);
        g->setContentsMargins(8, 6, 8, 6);
        g->setSpacing(2);
        for (std::size_t i = 0; i < kSplitScreenPictureCount; ++i) {
            for (int s = 1; s <= 3; ++s) {
                auto *pic = new QLabel;
                pic->setFixedSize(26, 30);
                PictureNames n;
                for (int k = 0; k < 4; ++k)
                    n[k] = kSplitScreenPictures[i].names[k];
                map.Add(pic, n);
                map.SetImageCtrlStatus(pic, s);
                g->addWidget(pic, s - 1, static_cast<int>(i));
            }
        }
        middle->addWidget(Section("Split layouts (normal, focused, current)", bar));
    }

    // Operate bar: quick-action buttons and slide arrows.
    {
        auto *strip = new Fill(QColor(0x62, 0x62, 0x62), QColor(0x24, 0x24, 0x2D));
        strip->setFixedHeight(56);
        auto *h = new QHBoxLayout(strip);
        h->setContentsMargins(10, 10, 10, 10);
        h->setSpacing(10);
        const char *captions[] = {"Voice Call", "Video Call", "PTT Call", "Hangup"};
        const int states[] = {1, 2, 3, 0};
        for (int i = 0; i < 4; ++i) {
            auto *b = new TButtonCtrl(nullptr, captions[i]);
            if (states[i] == 0)
                b->SetEnabled(false);
            else
                b->SetImageStatus(states[i]);
            h->addWidget(b);
        }
        h->addStretch();
        middle->addWidget(Section("Quick-action buttons (normal, focused, pressed, disabled)", strip));
    }

    // Task buttons.
    {
        auto *strip = new Fill(QColor(0x62, 0x62, 0x62), QColor(0x24, 0x24, 0x2D));
        auto *g = new QGridLayout(strip);
        g->setContentsMargins(8, 6, 8, 6);
        g->setSpacing(4);
        struct Task {
            const char *caption;
            const char *fg[4]; // normal, focused, pressed, disabled
        } tasks[] = {
            {"chat", {"IMG_CHAT_OFFLINE_NORMAL", "IMG_CHAT_OFFLINE_NORMAL", "IMG_CHAT_OFFLINE_NORMAL", "IMG_CHAT_OFFLINE_NORMAL"}},
            {"end calls", {"IMG_CALL_END_NORMAL", "IMG_CALL_END_FOCUSED", "IMG_CALL_END_FOCUSED", "IMG_CALL_END_NORMAL"}},
            {"speak", {"IMG_BTN_SPEAK_NORMAL", "IMG_BTN_SPEAK_FOCUSED", "IMG_BTN_SPEAK_FOCUSED", "IMG_BTN_SPEAK_NORMAL"}},
            {"dial pad", {"IMG_BTN_DIAL_NORMAL", "IMG_BTN_DIAL_FOCUSED", "IMG_BTN_DIAL_PRESSED", "IMG_BTN_DIAL_NORMAL"}},
        };
        for (int t = 0; t < 4; ++t) {
            for (int s = 0; s < 4; ++s) {
                auto *b = new TMultiImageCtrl(nullptr);
                b->SetForegroundImage(tasks[t].fg[0], tasks[t].fg[1], tasks[t].fg[2], tasks[t].fg[3]);
                if (s == 0)
                    b->SetEnabled(false);
                b->SetImageStatus(s);
                g->addWidget(b, s, t);
            }
        }
        const char *chats[] = {"IMG_CHAT_OFFLINE_MESSAGE", "IMG_CHAT_ONLINE_NORMAL", "IMG_CHAT_ONLINE_MESSAGE"};
        for (int i = 0; i < 3; ++i) {
            auto *b = new TMultiImageCtrl(nullptr);
            b->SetForegroundImage(chats[i], chats[i], chats[i], chats[i]);
            b->SetImageStatus(1);
            g->addWidget(b, i + 1, 4);
        }
        right->addWidget(Section("Task buttons (rows: disabled, normal, focused, pressed)", strip));
    }

    // Dial pad with one key held.
    {
        auto *pad = new Fill(QColor(0x3F, 0x3F, 0x3F));
        pad->setFixedSize(226, 222);
        auto *edit = new Fill(QColor(0x42, 0x42, 0x42));
        edit->setParent(pad);
        edit->setGeometry(5, 5, 185, 28);
        auto *number = Text("5001", 19, Qt::white);
        number->setParent(edit);
        number->setGeometry(6, 0, 170, 28);
        auto *contact = new QLabel(pad);
        contact->setGeometry(194, 5, 28, 28);
        contact->setAlignment(Qt::AlignCenter);
        map.Add(contact, Stem("IMG_WX_BTN_CONTACT", false));
        auto *flow = new Fill(QColor(0x42, 0x42, 0x42));
        flow->setParent(pad);
        flow->setGeometry(5, 38, 217, 180);
        const char *pics[] = {"IMG_DIAL_PAD_NUM1", "IMG_DIAL_PAD_NUM2", "IMG_DIAL_PAD_NUM3", "IMG_DIAL_PAD_NUM4",
                              "IMG_DIAL_PAD_NUM5", "IMG_DIAL_PAD_NUM6", "IMG_DIAL_PAD_NUM7", "IMG_DIAL_PAD_NUM8",
                              "IMG_DIAL_PAD_NUM9", "IMG_DIAL_PAD_CALL", "IMG_DIAL_PAD_NUM0", "IMG_DIAL_PAD_DEL"};
        for (int k = 0; k < 12; ++k) {
            auto *key = new TDialBtnCtrl(flow, pics[k], std::to_string(k), &Key);
            key->move((k % 3) * 72, (k / 3) * 45);
            if (k == 4)
                key->SetPressedState();
        }
        right->addWidget(Section("Dial pad (5 held)", pad));
    }

    // Scroll bars.
    {
        auto *host = new Fill(kListHost);
        host->setFixedSize(200, 210);
        const int positions[] = {0, 180, 420};
        for (int i = 0; i < 3; ++i) {
            auto *bar = new TScrollBarCtrl(host);
            bar->setGeometry(10 + i * 30, 10, 14, 190);
            bar->SetParams(600, 190, 60, positions[i]);
            if (i == 1) {
                bar->SetImageCtrlStatus(bar->UpArrow(), 2);
                bar->SetImageCtrlStatus(bar->DownArrow(), 3);
            }
        }
        auto *small = new TScrollBarCtrl(host);
        small->setGeometry(110, 10, 14, 190);
        small->SetParams(3000, 190, 60, 1500);
        auto *note = Text("top, middle\n(arrows focused,\npressed), bottom,\nlong list", 11,
                          QColor(0x8A, 0x97, 0xA3));
        note->setParent(host);
        note->setGeometry(132, 10, 68, 120);
        note->setWordWrap(true);
        middle->addWidget(Section("Scroll bars", host));
    }

    // User and group cells.
    {
        auto *host = new Fill(kListHost);
        host->setFont(QFont("Tahoma", 8));
        auto *g = new QGridLayout(host);
        g->setContentsMargins(3, 3, 3, 3);
        g->setSpacing(0);
        struct U {
            int type;
            const char *name, *number;
            unsigned reg;
            std::uint32_t call, vp;
            bool selected;
        } users[] = {
            {0, "North Station", "5001", 1, 0, 0, true},
            {0, "", "5002", 0, 0, 0, false},
            {0, "Patrol 12", "5012", 3, 0, 0, false},
            {0, "Dispatcher12", "5020", 1, 0x00000100, 0, false},
            {0, "Harbour", "5031", 1, 0x00000001, 0, false},
            {0, "Li Wei", "5032", 1, 0x00000002, 0, false},
            {1, "Truck 7", "7007", 1, 0x00030000, 0x10000003, false},
            {1, "Truck 9", "7009", 1, 0x00000003, 0x10000001, false},
            {2, "Gate camera", "17", 1, 0, 0x10000002, false},
            {0, "北京市公安局交通管理局指挥", "5040", 1, 0, 0, false},
        };
        int i = 0;
        for (const U &u : users) {
            auto *cell = new TUserCellCtrl(host, u.type, u.name, u.number, static_cast<std::uint8_t>(u.reg), u.call,
                                           u.vp);
            cell->setFixedSize(kCellWidth, kCellHeight);
            if (u.selected)
                cell->OnClickHandler(nullptr);
            g->addWidget(cell, i / 2, i % 2);
            ++i;
        }
        auto *groups = new Fill(kListHost);
        groups->setFont(QFont("Tahoma", 8));
        auto *gg = new QGridLayout(groups);
        gg->setContentsMargins(2, 3, 3, 3);
        gg->setSpacing(0);
        struct G {
            int type, id;
            const char *name, *number;
        } gs[] = {{0, 0xFFFF, "All user", ""}, {2, 0xFFFE, "Camera", ""}, {1, 12, "Emergency Team East", "9001"},
                  {1, 13, "Harbour PTT", "9002"}};
        int j = 0;
        for (const G &gr : gs) {
            auto *cell = new TGroupCellCtrl(groups, gr.type, gr.id, gr.name, gr.number);
            cell->setFixedSize(kCellWidth, kCellHeight);
            if (j == 2)
                cell->OnClickHandler(nullptr);
            gg->addWidget(cell, j / 2, j % 2);
            ++j;
        }
        left->addWidget(Section("Group cells", groups));
        right->addWidget(Section("User cells", host));
    }

    // Loose pictures: video tools, contacts icons, alert avatar, status, grip.
    {
        auto *strip = new Fill(kTile);
        auto *h = new QHBoxLayout(strip);
        h->setContentsMargins(8, 6, 8, 6);
        h->setSpacing(10);
        const char *names[] = {"IMG_WND_MAX_NORMAL",     "IMG_WND_RESET_NORMAL",     "IMG_BTN_STOP_NORMAL",
                               "IMG_BTN_SHARE_NORMAL",   "IMG_BTN_STRETCH_NORMAL",   "IMG_BTN_STRETCH_ACTIVED",
                               "IMG_BTN_RECORD_STOPPED", "IMG_BTN_RECORD_STARTED",   "IMG_BTN_VOLUME_NORMAL",
                               "IMG_BTN_VOLUME_MUTE_NORMAL", "IMG_DISPATCH_STATUS", "IMG_UNKNOWN_PERSON"};
        for (const char *n : names) {
            auto *pic = new QLabel;
            LoadPngResource(pic, n);
            h->addWidget(pic);
        }
        auto *light = new Fill(QColor(0xE6, 0xE6, 0xE6));
        light->setFixedSize(48, 24);
        for (int k = 0; k < 2; ++k) {
            auto *pic = new QLabel(light);
            LoadPngResource(pic, k ? "IMG_TELEPHONE_16" : "IMG_MOBILE_PHONE_16");
            pic->setGeometry(6 + k * 20, 4, 16, 16);
        }
        h->addWidget(light);
        h->addStretch();
        left->addWidget(Section("Video tile tools, status, contacts and caller pictures", strip));
    }
    for (QVBoxLayout *c : {left, middle, right})
        c->addStretch();

    sheet.adjustSize();
    sheet.show();
    QCoreApplication::processEvents();
    const QImage shot = sheet.grab().toImage();
    if (shot.isNull() || shot.width() < 900 || shot.height() < 500) {
        std::fprintf(stderr, "skin_sheet: the sheet did not render (%dx%d)\n", shot.width(), shot.height());
        return 1;
    }
    if (!shot.save(out, "PNG")) {
        std::fprintf(stderr, "skin_sheet: cannot write %s\n", qPrintable(out));
        return 1;
    }
    std::printf("wrote %s (%dx%d)\n", qPrintable(out), shot.width(), shot.height());
    return 0;
}
