#pragma once

#include "library/import/ImportProgress.h"

#include <QElapsedTimer>
#include <QPointer>

#include <memory>

class ImportProgressWindow;
class QWidget;

// One import started from the main panel (a menu entry or a drop, however
// many items), seen from the interface. It runs on the GUI thread: an import
// that ends within about a second looks as it always did; a longer one opens
// the progress window over the panel and keeps the program responsive by
// handling events between files, while the window's modality keeps the panel
// itself from starting anything else.
class ImportSession : public ImportProgress
{
public:
    explicit ImportSession(QWidget *panel);
    ~ImportSession() override;
    ImportSession(const ImportSession &) = delete;
    ImportSession &operator=(const ImportSession &) = delete;

    void progressed(const ImportStatus &status) override;
    bool cancelRequested() override;

    // Stops the import at the next file (the panel is closing).
    void cancel();

    // How long an import runs before the window opens; tests shorten it.
    static void setWindowDelay(int milliseconds);

private:
    void keepResponsive();

    QPointer<QWidget> panel;
    QElapsedTimer started;
    QElapsedTimer sinceEvents;
    std::unique_ptr<ImportProgressWindow> window;
    ImportStatus status;
    bool cancelled = false;
};
