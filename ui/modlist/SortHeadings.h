#pragma once

#include "library/viewchoice/SortChoice.h"

#include <QObject>
#include <QPoint>

#include <array>

class QLabel;
class QTimer;
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
    // A click at the position (in the headings' parent): true when it hit a heading.
    bool clickAt(QPoint position);
    // Sorts by the column; the choice is saved a moment later (clicks in a
    // row save once) and at the latest when the headings go.
    void choose(SortChoice choice);
    ~SortHeadings() override;

signals:
    // A failed save: the status-bar line.
    void saveFailed(const QString &message);

private:
    void showArrow();
    void save();

    VezModList *list;
    std::array<QLabel *, 5> headings;
    QLabel *arrow;
    QTimer *saveTimer;
    SortChoice chosen; // kept here: the list may be gone when the last save runs
};
