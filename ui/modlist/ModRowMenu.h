#pragma once

#include <QObject>
#include <QPoint>

class ModNotes;
class ModRecycler;
class QMenu;
class VezModList;

// The menu of one row, in the current language: Install/Uninstall, Open
// Folder, Copy ID, Copy Folder Path, Note…, Move to Recycle Bin…. It opens
// without blocking and deletes itself when closed.
class ModRowMenu : public QObject
{
    Q_OBJECT

public:
    ModRowMenu(VezModList *list, ModNotes *notes, ModRecycler *recycler);

    // Opens the row's menu at the global position; null outside the list.
    QMenu *open(int row, QPoint globalPosition);

private:
    void editNote(int row);

    VezModList *list;
    ModNotes *notes;
    ModRecycler *recycler;
};
