#pragma once
// The frame shared by the console's small borderless boxes (the message tip and the
// confirmation): a 300 x 150 window with a title panel that drags it, a middle panel
// for the text and a bottom panel for the picture buttons. Picture buttons follow the
// pointer through the form's image map (disabled, normal, focused, pressed); Enter
// answers 1 (OK); Esc does nothing; the close picture answers 2.
#include <QDialog>
#include <QPoint>
#include <array>
#include <functional>
#include <string>

class QLabel;
class QFrame;
class SkinImageMap;

class TSkinDialog : public QDialog {
    Q_OBJECT
public:
    // Modal results of the boxes.
    static constexpr int kResultOk = 1;
    static constexpr int kResultClose = 2;

    // The picture states of a map entry.
    enum { kStateDisabled = 0, kStateNormal = 1, kStateFocused = 2, kStatePressed = 3 };

    void SetImageCtrlStatus(QLabel *control, int state);
    int GetImageCtrlStatus(QLabel *control) const;

    QLabel *c_pImageClose = nullptr;
    QLabel *c_pImageOk = nullptr;
    QLabel *c_pLabelOK = nullptr;
    QLabel *c_pLabelTitle = nullptr;
    QLabel *c_pLabelMsg = nullptr;
    QFrame *c_pPanelTitle = nullptr;
    QFrame *c_pPanelMiddle = nullptr;
    QFrame *c_pPanelBottom = nullptr;

protected:
    TSkinDialog(QWidget *owner, const QString &title, int titleWidth, bool boldTitle, const QString &closeHint);

    // A picture 60 x 24 with a caption label over it, in the bottom panel.
    QLabel *AddBottomButton(int x, int y, const std::array<std::string, 4> &names, const QString &caption,
                            QLabel **captionLabel, std::function<void()> onClick);

    void OnImageCloseClick();
    void OnImageOkClick();

    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    SkinImageMap *m_pImageMap = nullptr;
    bool m_dragging = false;
    QPoint m_dragOffset;
};
