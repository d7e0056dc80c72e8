#pragma once

#include <QStyledItemDelegate>

// Paints the mod list's items as usual and frames the current one, so the row
// that Space and Enter act on can be seen; the row widget lies over the item
// and leaves its edges free.
class CurrentRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit CurrentRowDelegate(QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};
