#pragma once

#include <QPoint>
#include <QWidget>

// An invisible strip that moves its top-level window while the left button is
// held on it; a frameless window has no title bar to do that.
class DraggableWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DraggableWidget(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    bool dragging = false;
    QPoint pressGlobalPos{0, 0};
    QPoint pressWindowPos{0, 0};
};
