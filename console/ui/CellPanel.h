#pragma once
// The shared face of the user and group cells: a vertical gradient tile that rises
// while the left button is held on it and carries a bold yellow frame while selected.

#include <QWidget>

class CellPanel : public QWidget {
    Q_OBJECT
public:
    explicit CellPanel(QWidget *owner);

    bool IsSelected() const { return selected_; }
    bool IsRaised() const { return raised_; }

protected:
    void SetSelectedLook(bool selected);
    void SetRaised(bool raised);
    void paintEvent(QPaintEvent *event) override;

private:
    bool selected_ = false;
    bool raised_ = false;
};
