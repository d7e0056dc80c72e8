#pragma once

#include "ui/texts/UiTexts.h"

#include <functional>
#include <system_error>

class QStatusBar;
class QWidget;

// Runs one library or settings call on behalf of a slot: the wait cursor shows
// while it runs, and whatever it throws becomes one short message in the status
// bar, in the current language, instead of reaching Qt's event loop (which would
// end the program). A call that returns clears an earlier message. True when the
// call returned normally. The status bar may be null: the failure is then only
// swallowed.
bool runGuarded(QStatusBar *statusBar, FailedCommand command, const std::function<void()> &call);

// The system's reason for the code, as interface text.
QString reasonText(std::error_code code);

// Shows a failure that was reported rather than thrown, in the same form.
void showFailure(QStatusBar *statusBar, FailedCommand command, const QString &path,
                 std::error_code code);

// The status bar of the main window that holds the widget, without creating one;
// null when there is none.
QStatusBar *statusBarOf(const QWidget *widget);
