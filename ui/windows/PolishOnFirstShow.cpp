#include "ui/windows/PolishOnFirstShow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

PolishOnFirstShow::PolishOnFirstShow(QWidget *window) : QObject(window), window(window)
{
    window->installEventFilter(this);
}

void PolishOnFirstShow::dropQueuedPolish()
{
    QCoreApplication::removePostedEvents(window, QEvent::PolishRequest);
    const QList<QWidget *> widgets = window->findChildren<QWidget *>();
    for (QWidget *widget : widgets)
        QCoreApplication::removePostedEvents(widget, QEvent::PolishRequest);
}

bool PolishOnFirstShow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != window)
        return false;
    // A main window answers a style change by asking the style for its metrics,
    // which resolves the whole sheet; unpolished and unseen, that can wait.
    if (event->type() == QEvent::StyleChange && !window->testAttribute(Qt::WA_WState_Polished)) {
        styleChangeHeld = true;
        return true;
    }
    if (event->type() == QEvent::Show) {
        window->removeEventFilter(this);
        if (styleChangeHeld) {
            QEvent styleChange(QEvent::StyleChange);
            QCoreApplication::sendEvent(window, &styleChange);
        }
        deleteLater();
    }
    return false;
}
