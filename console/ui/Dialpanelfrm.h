#pragma once
// The dial pad, docked into the main window's prompt panel: a number edit (at most 15
// characters), twelve dial keys and the contacts picture. It never starts a call
// itself: the call key (or Enter) posts WM_DIALPAD_DIAL to its owner, which reads the
// number with GetNumber.
#include <QWidget>

#include <functional>
#include <string>

class QFrame;
class QLabel;
class QLineEdit;
class SkinImageMap;

class TDialPanelForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kMaxDigits = 15;

    // owner: the window that receives the posted messages.
    explicit TDialPanelForm(QObject *owner, QWidget *parent = nullptr);

    void ShowInPanel(QWidget *panel);
    void HideFromPanel();
    bool IsShownInPanel() const { return m_shownInPanel; }
    std::string GetNumber() const;

    // Opens the contacts book (its database and window) and says whether it opened;
    // without one the book counts as not opening.
    void SetContactsOpener(std::function<bool()> open) { m_openContacts = std::move(open); }
    // Shows a message text (ShowMsgTip unless replaced).
    void SetMessageSink(std::function<void(const std::string &)> sink) { m_message = std::move(sink); }

    // Key functions (the key's owner and its text).
    static int AppendDigit(const void *owner, const std::string &key);
    static int Dial(const void *owner, const std::string &key);
    static int DeleteDigit(const void *owner, const std::string &key);

    void OnImageContactClick();

    QFrame *c_pPanelCenter = nullptr;
    QLineEdit *c_pEditNumber = nullptr;
    QLabel *c_pImageContact = nullptr;
    QWidget *c_pFlowPanel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateDialKeys();
    void Message(const std::string &text);

    QObject *m_owner;
    SkinImageMap *m_pImageMap = nullptr;
    bool m_shownInPanel = false;
    std::function<bool()> m_openContacts;
    std::function<void(const std::string &)> m_message;
};
