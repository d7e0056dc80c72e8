#pragma once

#include <QObject>

class QEvent;
class QWidget;

// Holds a hidden window's style-sheet work back until the window is first
// shown. Qt otherwise resolves the window's sheet, reading every image it
// names, once while the window is built and again in the event loop's first
// pass, long before anyone sees the window.
class PolishOnFirstShow : public QObject
{
public:
    // Install before the window's style sheet is set.
    explicit PolishOnFirstShow(QWidget *window);

    // Drops the polish requests Qt queued for the window and every widget in
    // it; showing the window polishes them all in one go.
    void dropQueuedPolish();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *window;
    bool styleChangeHeld = false;
};
