#pragma once

#include <QPoint>
#include <QWidget>

// An invisible strip that moves its top-level window while the left button is
// held on it; a frameless window has no title bar to do that. A press and
// release that hardly moved is a click, which the strip passes on.
class DraggableWidget : public QWidget
{
    Q_OBJECT

public:
    explicit DraggableWidget(QWidget *parent = nullptr);

signals:
    // A left click at the position, in the strip's coordinates.
    void clicked(QPoint position);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    bool dragging = false;
    QPoint pressGlobalPos{0, 0};
    QPoint pressWindowPos{0, 0};
};
