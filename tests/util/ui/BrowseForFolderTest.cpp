// The folder picker: its title, and the chosen folder with a trailing "/".
#include "core/ui/BrowseForFolder.h"
#include "tests/support/TempDir.h"

#include "tests/support/UiApp.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QTimer>

#include <functional>

namespace {

// Runs the picker and acts on its dialog once it shows; bounded in time.
std::string pick(const std::function<void(QFileDialog *)> &act, QString *title = nullptr)
{
    zoxtest::uiApp();
    int tries = 0;
    auto *poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
        auto *dlg = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (dlg) {
            poll->stop();
            if (title)
                *title = dlg->windowTitle();
            act(dlg);
        } else if (++tries > 500) {
            poll->stop();
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        }
    });
    poll->start();
    const std::string chosen = BrowseForFolder();
    delete poll;
    return chosen;
}
} // namespace

TEST(BrowseForFolder, ChosenFolderGetsTrailingSlash)
{
    zoxtest::TempDir tmp;
    const QString rec = QString::fromStdString((tmp.path() / "Rec").string());
    QDir().mkpath(rec);
    QString title;
    const std::string chosen = pick(
        [&](QFileDialog *d) {
            // The folder shown, nothing typed: the folder itself is chosen (a typed
            // name would depend on how far the dialog has read the folders).
            d->setDirectory(rec);
            d->selectFile(QString());
            static_cast<QDialog *>(d)->accept();
        },
        &title);
    EXPECT_EQ(title, "Select folder...");
    EXPECT_EQ(chosen, rec.toStdString() + "/");
}

TEST(BrowseForFolder, RootKeepsOneSlash)
{
    const std::string chosen = pick([](QFileDialog *d) {
        d->setDirectory("/");
        d->selectFile("/");
        static_cast<QDialog *>(d)->accept();
    });
    EXPECT_EQ(chosen, "/");
}

TEST(BrowseForFolder, CancelGivesEmpty)
{
    EXPECT_EQ(pick([](QFileDialog *d) { d->reject(); }), "");
}
