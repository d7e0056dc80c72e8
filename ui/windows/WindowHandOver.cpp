#include "ui/windows/WindowHandOver.h"

#include "library/catalogue/ModCatalogue.h"
#include "ui/windows/MainPanel.h"
#include "ui/windows/MainWindow.h"

// Each hand-over closes one window before showing the other within the same
// slot call, so the event loop never sees a moment without a visible window.

void showPanelAfterConfirm()
{
    directoryWindow->close();
    mainPanel->showRecords(sharedCatalogue->records());
    mainPanel->show();
}

void backToDirectoryWindow()
{
    mainPanel->close();
    directoryWindow->show();
}

void passLanguageToDirectoryWindow()
{
    directoryWindow->applyLanguage();
}
