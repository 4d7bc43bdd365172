// The title bar's setting picture opens the settings dialog; OK applies the new title
// and department at once, Cancel keeps them. The contacts book is one window for the
// program and goes with the exit.
#include "MainFormFixture.h"

#include "console/ui/Configdlg.h"
#include "console/ui/Contactfrm.h"
#include "console/ContactsDb.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPointer>

#include <filesystem>

namespace {

class MainSettings : public MainFormFixture {
protected:
    void SetUp() override
    {
        Build(false);
        ShowForm();
    }
    // Clicks the setting picture; the dialog that opens gets the edit and the answer.
    void OpenSettings(const QString &title, bool ok)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto *dlg = qobject_cast<TConfigDlgForm *>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            seen = true;
            dlg->c_pEditAppTitle->setText(title);
            dlg->c_pEditDepartment->setText(title + " unit");
            ok ? dlg->OnImageOkClick() : dlg->OnImageCancelClick();
        });
        QLabel *picture = form->c_pImageSetting;
        const QPointF c(picture->width() / 2.0, picture->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, c, picture->mapToGlobal(c), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(picture, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, c, picture->mapToGlobal(c), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QCoreApplication::sendEvent(picture, &release);
        EXPECT_TRUE(seen) << "the setting picture opened no settings dialog";
    }
};

TEST_F(MainSettings, OkAppliesTheTitleAndDepartmentCancelKeepsThem)
{
    OpenSettings("Harbour Desk", false);
    EXPECT_EQ(form->c_pLabelTitle->text(), "ZoxClient Dispatch Console");
    OpenSettings("Harbour Desk", true);
    EXPECT_EQ(form->c_pLabelTitle->text(), "Harbour Desk");
    EXPECT_EQ(form->c_pLabelGroupUnit->text(), "Harbour Desk unit");
    EXPECT_NE(dir->read("data/zoxcfg.ini").find("Title=Harbour Desk"), std::string::npos);
}

TEST_F(MainSettings, TheContactsBookIsOneWindowThatGoesWithTheExit)
{
    std::filesystem::create_directories(dir->path() / "data");
    form->ShowContactForm();
    QPointer<TContactForm> book = form->ContactForm();
    ASSERT_FALSE(book.isNull());
    EXPECT_TRUE(book->isVisible());
    book->OnImageCloseClick();
    form->ShowContactForm();
    EXPECT_EQ(form->ContactForm(), book.data());
    EXPECT_TRUE(book->isVisible());
    form->OnImageExitClick();
    EXPECT_TRUE(book.isNull());
    EXPECT_EQ(form->ContactForm(), nullptr);
    ContactsDbCloseForTests();
}

} // namespace
