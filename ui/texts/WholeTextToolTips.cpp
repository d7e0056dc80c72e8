#include "ui/texts/WholeTextToolTips.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>

WholeTextToolTips::WholeTextToolTips(QObject *parent) : QObject(parent) {}

void WholeTextToolTips::watch(QWidget *widget)
{
    m_widgets.append(widget);
    widget->installEventFilter(this);
}

void WholeTextToolTips::watchThrough(QWidget *cover)
{
    cover->installEventFilter(this);
}

bool WholeTextToolTips::isCutOff(const QWidget *widget)
{
    if (const auto *label = qobject_cast<const QLabel *>(widget))
        return !label->text().isEmpty() && label->sizeHint().width() > label->width();
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget)) {
        // The style draws the text centred over the whole button and clips it at the edges.
        const QString text = button->text();
        return !text.isEmpty() &&
               button->fontMetrics().horizontalAdvance(text) > button->contentsRect().width();
    }
    return false;
}

QString WholeTextToolTips::tipFor(const QWidget *widget)
{
    QString tip;
    if (isCutOff(widget)) {
        if (const auto *label = qobject_cast<const QLabel *>(widget))
            tip = label->text();
        else if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
            tip = button->text();
    }
    const QString own = widget->toolTip();
    if (!own.isEmpty())
        tip = tip.isEmpty() ? own : tip + QLatin1Char('\n') + own;
    return tip;
}

bool WholeTextToolTips::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return false;
    auto *receiver = qobject_cast<QWidget *>(watched);
    const auto &help = static_cast<const QHelpEvent &>(*event);
    QWidget *target = m_widgets.contains(receiver) ? receiver : watchedAt(help);
    if (!receiver || !target)
        return false;
    const QString tip = tipFor(target);
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    // The tip goes when the cursor leaves the target's area of the receiver.
    const QRect area(target->mapTo(receiver->window(), QPoint(0, 0)) -
                         receiver->mapTo(receiver->window(), QPoint(0, 0)),
                     target->size());
    QToolTip::showText(help.globalPos(), tip, receiver, area);
    return true;
}

// The watched widget under the cursor; a cover stands over several.
QWidget *WholeTextToolTips::watchedAt(const QHelpEvent &event) const
{
    for (const QPointer<QWidget> &widget : m_widgets)
        if (widget && widget->isVisible() &&
            widget->rect().contains(widget->mapFromGlobal(event.globalPos())))
            return widget;
    return nullptr;
}
