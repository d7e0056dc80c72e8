#include "ui/windows/DraggableWidget.h"

#include <QApplication>
#include <QMouseEvent>

DraggableWidget::DraggableWidget(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_MouseTracking, true);
}

void DraggableWidget::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    dragging = true;
    pressGlobalPos = event->globalPosition().toPoint();
    pressWindowPos = window()->frameGeometry().topLeft();
}

void DraggableWidget::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !dragging)
        return;
    dragging = false;
    const QPoint moved = event->globalPosition().toPoint() - pressGlobalPos;
    if (moved.manhattanLength() < QApplication::startDragDistance())
        emit clicked(event->position().toPoint());
}

void DraggableWidget::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging)
        return;
    // Offset from the press point applied to the window's place at the press, so
    // rounding never accumulates over a long drag.
    const QPoint cursor = event->globalPosition().toPoint();
    window()->move(cursor - pressGlobalPos + pressWindowPos);
}
