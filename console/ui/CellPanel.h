#pragma once
// The shared face of the user and group cells: a vertical gradient tile that rises
// while the left button is held on it and carries a bold yellow frame while selected.
// A left press and release over the tile is a click (OnClickHandler with the tile as
// sender); what a click does is the cell's own.

#include <QWidget>

class CellPanel : public QWidget {
    Q_OBJECT
public:
    explicit CellPanel(QWidget *owner);

    bool IsSelected() const { return selected_; }
    bool IsRaised() const { return raised_; }
    void SetSelected(bool selected);

    // The tile's own handlers. A null sender is the list clicking the tile.
    virtual void OnClickHandler(QObject *sender) = 0;
    void OnMouseDownHandler(Qt::MouseButton button);
    void OnMouseUpHandler(Qt::MouseButton button);

protected:
    void SetSelectedLook(bool selected);
    void SetRaised(bool raised);
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    // The second press of a double click is no second click.
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool selected_ = false;
    bool raised_ = false;
    bool armed_ = false;
};
