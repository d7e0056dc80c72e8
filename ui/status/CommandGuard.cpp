#include "ui/status/CommandGuard.h"

#include "ui/texts/CurrentLanguage.h"
#include "library/import/ModArchive.h"
#include "ui/texts/QtPathText.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QStatusBar>

#include <exception>
#include <filesystem>

namespace {

// Holds the wait cursor for its lifetime, also when the call throws.
class WaitCursorScope
{
public:
    WaitCursorScope()
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~WaitCursorScope()
    {
        QGuiApplication::restoreOverrideCursor();
    }
    WaitCursorScope(const WaitCursorScope &) = delete;
    WaitCursorScope &operator=(const WaitCursorScope &) = delete;
};

QString pathsOf(const std::filesystem::filesystem_error &error)
{
    QString paths = qStringFromPath(error.path1());
    if (!error.path2().empty())
        paths += QStringLiteral(" \u2192 ") + qStringFromPath(error.path2());
    return paths;
}

void report(QStatusBar *statusBar, FailedCommand command, const QString &path,
            const QString &reason)
{
    if (statusBar)
        statusBar->showMessage(failureMessage(command, currentLanguage, path, reason));
}

} // namespace

bool runGuarded(QStatusBar *statusBar, FailedCommand command, const std::function<void()> &call)
{
    try {
        {
            WaitCursorScope waitCursor;
            call();
        }
        if (statusBar)
            statusBar->clearMessage();
        return true;
    } catch (const ArchiveError &error) {
        report(statusBar, command, qStringFromPath(error.archive()),
               archiveProblemText(error.problem(), currentLanguage));
    } catch (const std::filesystem::filesystem_error &error) {
        const QString reason =
            error.code() ? reasonText(error.code()) : QString::fromLocal8Bit(error.what());
        report(statusBar, command, pathsOf(error), reason);
    } catch (const std::exception &error) {
        report(statusBar, command, QString(), QString::fromLocal8Bit(error.what()));
    } catch (...) {
        report(statusBar, command, QString(), unknownReason(currentLanguage));
    }
    return false;
}

QString reasonText(std::error_code code)
{
    return QString::fromLocal8Bit(code.message());
}

void showFailure(QStatusBar *statusBar, FailedCommand command, const QString &path,
                 std::error_code code)
{
    report(statusBar, command, path, reasonText(code));
}

QStatusBar *statusBarOf(const QWidget *widget)
{
    const auto *window = widget ? qobject_cast<const QMainWindow *>(widget->window()) : nullptr;
    return window ? window->findChild<QStatusBar *>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}
