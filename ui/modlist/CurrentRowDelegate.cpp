#include "ui/modlist/CurrentRowDelegate.h"

#include <QAbstractItemView>
#include <QPainter>
#include <QPen>

CurrentRowDelegate::CurrentRowDelegate(QObject *parent) : QStyledItemDelegate(parent) {}

void CurrentRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                               const QModelIndex &index) const
{
    QStyledItemDelegate::paint(painter, option, index);
    const auto *view = qobject_cast<const QAbstractItemView *>(option.widget);
    if (!view || view->currentIndex() != index)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(QColor(245, 158, 15), 2));
    painter->setBrush(QColor(255, 255, 255, 28));
    painter->drawRoundedRect(QRectF(option.rect).adjusted(1, 1, -1, -1), 4, 4);
    painter->restore();
}
