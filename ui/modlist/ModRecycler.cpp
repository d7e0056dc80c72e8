#include "ui/modlist/ModRecycler.h"

#include "library/catalogue/ModRecord.h"
#include "library/removal/FolderSize.h"
#include "ui/modlist/TrashMove.h"
#include "ui/modlist/VezModItemWidget.h"
#include "ui/status/CommandGuard.h"
#include "ui/status/Confirmation.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"

#include <QDir>
#include <QLocale>
#include <QStatusBar>
#include <QThread>

#include <utility>

namespace {

QLocale localeOf(UiLanguage language)
{
    switch (language) {
    case UiLanguage::Chinese:
        return QLocale(QLocale::Chinese, QLocale::China);
    case UiLanguage::Russian:
        return QLocale(QLocale::Russian, QLocale::Russia);
    case UiLanguage::English:
        break;
    }
    return QLocale(QLocale::English, QLocale::UnitedStates);
}

} // namespace

ModRecycler::ModRecycler(QWidget *window, std::function<bool()> afterMove)
    : QObject(window), window(window), afterMove(std::move(afterMove))
{
}

ModRecycler::~ModRecycler()
{
    if (measuring) {
        stopMeasuring->store(true);
        measuring->wait();
    }
}

bool ModRecycler::isMeasuring() const
{
    return measuring != nullptr;
}

void ModRecycler::start(const ModRecord &record)
{
    if (measuring)
        return;
    // The record may be gone by the time the size is known: keep what is needed.
    folder = record.modFolder();
    modName = VezModItemWidget::rowName(record);
    if (QStatusBar *statusBar = statusBarOf(window))
        statusBar->showMessage(textIn(UiTexts::measuringSize, currentLanguage).arg(modName));
    auto size = std::make_shared<std::uint64_t>(0);
    stopMeasuring = std::make_shared<std::atomic<bool>>(false);
    measuring = QThread::create([measured = folder, size, stop = stopMeasuring] {
        *size = folderSize(measured, stop.get());
    });
    connect(measuring, &QThread::finished, this, [this, size] {
        measuring->deleteLater();
        measuring = nullptr;
        askAndMove(*size);
    });
    measuring->start();
}

void ModRecycler::askAndMove(std::uint64_t size)
{
    const UiLanguage language = currentLanguage;
    QStatusBar *statusBar = statusBarOf(window);
    if (statusBar)
        statusBar->clearMessage();
    const QString folderText = QDir::toNativeSeparators(qStringFromPath(folder));
    const QString question = textIn(UiTexts::recycleQuestion, language)
                                 .arg(modName, folderText,
                                      localeOf(language).formattedDataSize(
                                          static_cast<qint64>(size), 1));
    if (!askToConfirm(window, textIn(UiTexts::recycleTitle, language), question,
                      textIn(UiTexts::recycleConfirm, language),
                      textIn(UiTexts::pushButton_Cancel, language))) {
        emit finished(false);
        return;
    }
    const QString reason = moveFolderToRecycleBin(folder);
    if (!reason.isEmpty()) {
        if (statusBar)
            statusBar->showMessage(textIn(UiTexts::recycleRefused, language).arg(modName, reason));
        emit finished(false);
        return;
    }
    // A failed rebuild keeps its own message.
    if (afterMove() && statusBar)
        statusBar->showMessage(textIn(UiTexts::movedToRecycleBin, language).arg(modName));
    emit finished(true);
}
