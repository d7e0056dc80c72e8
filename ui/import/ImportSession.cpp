#include "ui/import/ImportSession.h"

#include "ui/import/ImportProgressWindow.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>

namespace {

int &windowDelay()
{
    static int milliseconds = 1000;
    return milliseconds;
}

// Events are handled this often at most: often enough to repaint and move the
// window smoothly, rarely enough to cost nothing against the copying.
constexpr qint64 kEventInterval = 30;

} // namespace

ImportSession::ImportSession(QWidget *panel) : panel(panel)
{
    started.start();
    sinceEvents.start();
}

ImportSession::~ImportSession() = default;

void ImportSession::progressed(const ImportStatus &newStatus)
{
    status = newStatus;
    keepResponsive();
}

bool ImportSession::cancelRequested()
{
    keepResponsive();
    return cancelled || (window && window->cancelRequested());
}

void ImportSession::cancel()
{
    cancelled = true;
}

void ImportSession::setWindowDelay(int milliseconds)
{
    windowDelay() = milliseconds;
}

void ImportSession::keepResponsive()
{
    if (!window) {
        if (started.elapsed() < windowDelay() || !panel || !panel->isVisible())
            return;
        window = std::make_unique<ImportProgressWindow>(panel);
        // The wait cursor of the command would hide that Cancel can be pressed.
        if (QGuiApplication::overrideCursor())
            QGuiApplication::changeOverrideCursor(Qt::ArrowCursor);
        window->show();
    } else if (sinceEvents.elapsed() < kEventInterval) {
        return;
    }
    sinceEvents.restart();
    window->showStatus(status);
    QCoreApplication::processEvents();
}
