#include "ui/modlist/VezModItemWidget.h"

#include "ui/texts/CurrentLanguage.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/switching/ModInstall.h"
#include "library/catalogue/ModRecord.h"
#include "library/history/RecordedSwitching.h"
#include "ui/history/SessionJournal.h"
#include "ui/status/CommandGuard.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"
#include "ui/texts/WholeTextToolTips.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QUrl>

#include <initializer_list>
#include <string>
#include <system_error>

namespace {

const QString &whiteText()
{
    static const QString sheet = QStringLiteral("color:white");
    return sheet;
}

const QString &enabledStateSheet()
{
    static const QString sheet = QStringLiteral("color: rgb(245,158,15); font-weight: bold;");
    return sheet;
}

const QString &disabledStateSheet()
{
    static const QString sheet = QStringLiteral("color: rgb(128,128,128); font-weight: bold;");
    return sheet;
}

const QString &buttonSheet()
{
    static const QString sheet =
        QStringLiteral("background-color:rgb(245,158,15);font-weight: bold;");
    return sheet;
}

QString fromUtf8(const std::string &bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

const QString &duplicateIdSheet()
{
    static const QString sheet = QStringLiteral("color: rgb(255,96,96); font-weight: bold;");
    return sheet;
}

QLabel *makeLabel(const QString &text, int width, const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(objectName);
    label->setFixedWidth(width);
    label->setStyleSheet(whiteText());
    return label;
}

} // namespace

VezModItemWidget::VezModItemWidget(ModRecord &record, QWidget *parent)
    : QWidget(parent),
      selfIdLabel(makeLabel(fromUtf8(record.self_ID), 120, QStringLiteral("selfIdLabel"), this)),
      nameLabel(makeLabel(rowName(record), 120, QStringLiteral("nameLabel"), this)),
      stateLabel(new QLabel), developerLabel(makeLabel(fromUtf8(record.developerName), 100,
                                                       QStringLiteral("developerLabel"), this)),
      versionLabel(makeLabel(fromUtf8(record.version), 80, QStringLiteral("versionLabel"), this)),
      installButton(new QPushButton(this)), openButton(new QPushButton(this)), record(&record)
{
    stateLabel->setObjectName(QStringLiteral("stateLabel"));
    installButton->setObjectName(QStringLiteral("installButton"));
    openButton->setObjectName(QStringLiteral("openButton"));

    openButton->setFixedWidth(50);
    openButton->setText(setUpText(UiTexts::openButton));
    openButton->setStyleSheet(buttonSheet());
    openButton->setFixedHeight(30);

    installButton->setStyleSheet(buttonSheet());
    installButton->setFixedHeight(30);
    showState();
    updateLanguage();

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(selfIdLabel);
    layout->addWidget(nameLabel);
    layout->addWidget(developerLabel);
    layout->addWidget(versionLabel);
    layout->addWidget(stateLabel);
    layout->addWidget(installButton);
    layout->addWidget(openButton);

    // Fixed widths cut long names and some languages' texts short.
    auto *toolTips = new WholeTextToolTips(this);
    const std::initializer_list<QWidget *> mayBeCutOff{selfIdLabel,  nameLabel,  developerLabel,
                                                       versionLabel, stateLabel, openButton};
    for (QWidget *widget : mayBeCutOff)
        toolTips->watch(widget);

    connect(installButton, &QPushButton::clicked, this, &VezModItemWidget::onInstallButtonClicked);
    connect(openButton, &QPushButton::clicked, this, &VezModItemWidget::openInURLButtonClicked);
}

void VezModItemWidget::refresh()
{
    selfIdLabel->setText(fromUtf8(record->self_ID));
    nameLabel->setText(rowName(*record));
    developerLabel->setText(fromUtf8(record->developerName));
    versionLabel->setText(fromUtf8(record->version));
    showState();
    updateLanguage();
}

void VezModItemWidget::showRecord(ModRecord &other)
{
    record = &other;
    if (!duplicateFolders.isEmpty()) {
        duplicateFolders.clear();
        selfIdLabel->setStyleSheet(whiteText());
        selfIdLabel->setToolTip(QString());
    }
    showNote(QString());
    refresh();
}

void VezModItemWidget::updateLanguage()
{
    const bool enabled = record->installState;
    applyLanguageText(installButton,
                      enabled ? UiTexts::installButtonEnabled : UiTexts::installButtonDisabled,
                      currentLanguage);
    applyLanguageText(stateLabel,
                      enabled ? UiTexts::stateLabelEnabled : UiTexts::stateLabelDisabled,
                      currentLanguage);
    applyLanguageText(openButton, UiTexts::openButton, currentLanguage);
    showDuplicateNote();
}

void VezModItemWidget::markDuplicate(const QStringList &otherModFolders)
{
    duplicateFolders = otherModFolders;
    selfIdLabel->setStyleSheet(duplicateIdSheet());
    showDuplicateNote();
}

void VezModItemWidget::showNote(const QString &note)
{
    if (note.isEmpty()) {
        if (noteMark) {
            noteMark->hide();
            noteMark->setToolTip(QString());
        }
        return;
    }
    if (!noteMark) {
        noteMark = new QLabel(QStringLiteral("\u270E"), this);
        noteMark->setObjectName(QStringLiteral("noteMark"));
        // The tip takes its looks from the mark's sheet.
        noteMark->setStyleSheet(QStringLiteral(
            "QLabel{color: rgb(245,158,15); font-size: 12px;}"
            "QToolTip{color: white; background-color: rgb(39,39,39); border: 1px solid rgb(245,158,15);}"));
        noteMark->setAlignment(Qt::AlignCenter);
    }
    // Outside the layout, in its left margin: the columns keep their places. Set
    // with every note, as a row widget may come to show a record of another height.
    const int left = layout() ? layout()->contentsMargins().left() : 9;
    noteMark->setGeometry(0, 0, qMax(left, 8), qMax(sizeHint().height(), height()));
    // A short note on one line; a long one as rich text, which wraps.
    noteMark->setToolTip((note.size() <= 80 ? QStringLiteral("<p style='white-space:pre'>")
                                            : QStringLiteral("<p>")) +
                         note.toHtmlEscaped() + QStringLiteral("</p>"));
    noteMark->show();
}

QString VezModItemWidget::rowName(const ModRecord &record)
{
    if (!record.displayName.empty())
        return fromUtf8(record.displayName);
    if (!record.shortName.empty())
        return fromUtf8(record.shortName);
    return QString::fromUtf8(UiTexts::noName);
}

void VezModItemWidget::onInstallButtonClicked()
{
    // A refused move leaves the record as it was; the refresh then shows it
    // unchanged, and the status bar says why.
    const bool enabling = !record->installState;
    std::error_code refusal;
    const bool returned = runGuarded(statusBarOf(this), FailedCommand::Move, [&] {
        if (!sharedCatalogue)
            return;
        refusal = recordedToggle(*sharedCatalogue, *record, sharedJournal());
    });
    refresh();
    QStatusBar *statusBar = statusBarOf(this);
    if (!returned || !statusBar)
        return;
    if (refusal)
        statusBar->showMessage(refusedMoveMessage(enabling, currentLanguage, 1,
                                                  fromUtf8(record->self_ID), reasonText(refusal)));
    else if (const QString notice = journalNotice(sharedJournal(), currentLanguage);
             !notice.isEmpty())
        statusBar->showMessage(notice);
}

void VezModItemWidget::openInURLButtonClicked()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(qStringFromPath(record->modFolder())));
}

// The set-up state texts and the state colour.
void VezModItemWidget::showState()
{
    const bool enabled = record->installState;
    stateLabel->setText(
        setUpText(enabled ? UiTexts::stateLabelEnabled : UiTexts::stateLabelDisabled));
    // A sheet set again is parsed again.
    const QString &sheet = enabled ? enabledStateSheet() : disabledStateSheet();
    if (stateLabel->styleSheet() != sheet)
        stateLabel->setStyleSheet(sheet);
    installButton->setText(
        setUpText(enabled ? UiTexts::installButtonEnabled : UiTexts::installButtonDisabled));
}

void VezModItemWidget::showDuplicateNote()
{
    if (duplicateFolders.isEmpty())
        return;
    if (const auto note = languageText(UiTexts::duplicateSelfId, currentLanguage))
        selfIdLabel->setToolTip(note->arg(duplicateFolders.join(QLatin1Char('\n'))));
}
