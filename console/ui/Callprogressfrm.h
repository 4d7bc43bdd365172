#pragma once
// The call progress panel, docked into the main window's prompt panel while an
// outgoing call is set up: the number, a progress text, a close picture and one round
// button that hangs up (mode 0) or calls again (mode 1). It only posts messages to its
// owner: WM_CALLPROGRESS_CLOSE, WM_CALLPROGRESS_HANGUP, WM_CALLPROGRESS_REDIAL.
#include <QWidget>

#include <string>

class QFrame;
class QLabel;
class SkinImageMap;

class TCallProgressForm : public QWidget {
    Q_OBJECT
public:
    explicit TCallProgressForm(QObject *owner, QWidget *parent = nullptr);

    void SetNumber(const std::string &number);
    std::string GetNumber() const;
    void SetStatusText(const std::string &text);
    // 0 hang-up, 1 call-again; both pictures show their normal state again.
    void SetButtonMode(int mode);
    int GetButtonMode() const { return m_buttonMode; }
    void ShowInPanel(QWidget *panel);
    void HideFromPanel();
    bool IsShownInPanel() const { return m_shownInPanel; }

    void OnImageCloseClick();
    void OnImageButtonClick();

    QFrame *c_pPanelTitle = nullptr;
    QLabel *c_pImageClose = nullptr;
    QFrame *c_pPanelCenter = nullptr;
    QLabel *c_pLabelNumber = nullptr;
    QLabel *c_pLabelStatus = nullptr;
    QLabel *c_pImageButton = nullptr;
    SkinImageMap *ImageMap() const { return m_pImageMap; }

private:
    QObject *m_owner;
    SkinImageMap *m_pImageMap = nullptr;
    bool m_shownInPanel = false;
    int m_buttonMode = 0;
};
