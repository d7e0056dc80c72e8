#include "ui/modlist/SortHeadings.h"

#include "library/platform/DataFile.h"
#include "ui/modlist/VezModList.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"

#include <QLabel>
#include <QTimer>

#include <filesystem>
#include <system_error>

namespace {

constexpr std::array<SortColumn, 5> kColumns{SortColumn::SelfId, SortColumn::Name,
                                              SortColumn::Developer, SortColumn::Version,
                                              SortColumn::State};
constexpr int kArrowWidth = 12;

QString fileSystemFailure(FailedCommand command, const std::filesystem::filesystem_error &error)
{
    return failureMessage(command, currentLanguage, qStringFromPath(error.path1()),
                          QString::fromLocal8Bit(error.code().message()));
}

} // namespace

SortHeadings::SortHeadings(VezModList *list, const std::array<QLabel *, 5> &headings)
    : QObject(list), list(list), headings(headings), arrow(new QLabel(headings[0]->parentWidget()))
{
    arrow->setObjectName(QStringLiteral("sortArrow"));
    arrow->setStyleSheet(QStringLiteral("color: rgb(245,158,15); font-size: 9px;"));
    arrow->setAlignment(Qt::AlignCenter);
    arrow->setAttribute(Qt::WA_TransparentForMouseEvents);
    arrow->hide();
    // The file is written with a flush to the disk, which may take longer than a frame.
    saveTimer = new QTimer(this);
    saveTimer->setSingleShot(true);
    saveTimer->setInterval(300);
    connect(saveTimer, &QTimer::timeout, this, &SortHeadings::save);
}

SortHeadings::~SortHeadings()
{
    if (saveTimer->isActive())
        save();
}

QString SortHeadings::loadChoice()
{
    SortChoice choice;
    QString problem;
    try {
        choice = readSortChoice(sortChoiceFilePath());
    } catch (const DataFileError &error) {
        problem = textIn(UiTexts::listOrderDamaged, currentLanguage)
                      .arg(qStringFromPath(error.file()))
                      .arg(error.line());
    } catch (const std::filesystem::filesystem_error &error) {
        problem = fileSystemFailure(FailedCommand::ReadListOrder, error);
    }
    chosen = choice;
    if (!(choice == list->sortChoice()))
        list->setSortChoice(choice);
    showArrow();
    return problem;
}

bool SortHeadings::clickAt(QPoint position)
{
    // Each heading answers from its left edge to the next heading's, so the
    // gaps between the short heading texts count too.
    for (std::size_t index = 0; index < headings.size(); ++index) {
        const QRect own = headings[index]->geometry();
        const int left = own.left() - 6;
        const int right = index + 1 < headings.size() ? headings[index + 1]->geometry().left() - 6
                                                      : own.right() + kArrowWidth + 6;
        if (position.x() >= left && position.x() < right && position.y() >= own.top() - 8 &&
            position.y() <= own.bottom() + 8) {
            choose(afterHeadingClick(list->sortChoice(), kColumns[index]));
            return true;
        }
    }
    return false;
}

void SortHeadings::choose(SortChoice choice)
{
    chosen = choice;
    list->setSortChoice(choice);
    showArrow();
    saveTimer->start();
}

void SortHeadings::save()
{
    saveTimer->stop();
    try {
        saveSortChoice(sortChoiceFilePath(), chosen);
    } catch (const std::filesystem::filesystem_error &error) {
        emit saveFailed(fileSystemFailure(FailedCommand::SaveListOrder, error));
    }
}

void SortHeadings::showArrow()
{
    const SortChoice choice = list->sortChoice();
    for (std::size_t index = 0; index < headings.size(); ++index) {
        if (kColumns[index] != choice.column)
            continue;
        const QRect heading = headings[index]->geometry();
        arrow->setText(choice.descending ? QStringLiteral("\u25BC") : QStringLiteral("\u25B2"));
        arrow->setGeometry(heading.right() + 2, heading.top(), kArrowWidth, heading.height());
        arrow->show();
        arrow->raise();
        return;
    }
    arrow->hide();
}
