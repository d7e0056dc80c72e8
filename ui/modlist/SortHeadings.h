#pragma once

#include "library/viewchoice/SortChoice.h"

#include <QObject>
#include <QPoint>

#include <array>

class QLabel;
class VezModList;

// The five column headings as sort buttons: a click sorts the list by the
// heading under it, the next click reverses, and a small arrow beside the
// heading shows the column and the direction. The headings themselves keep
// their geometry; the arrow lies in the gap after the sorted one and lets the
// mouse through to the drag strip. The choice is kept in its own file.
class SortHeadings : public QObject
{
    Q_OBJECT

public:
    // Self ID, name, developer, version and state headings, left to right.
    SortHeadings(VezModList *list, const std::array<QLabel *, 5> &headings);

    // Reads the saved choice and sorts by it; the status-bar line for a file
    // that could not be taken, empty when all went well.
    QString loadChoice();
    // A click at the position (in the headings' parent): true when it hit a
    // heading; `problem` then receives choose()'s answer.
    bool clickAt(QPoint position, QString *problem = nullptr);
    // Sorts by the column, saving the choice; the status-bar line for a
    // failed save, empty when saved.
    QString choose(SortChoice choice);

private:
    void showArrow();

    VezModList *list;
    std::array<QLabel *, 5> headings;
    QLabel *arrow;
};
