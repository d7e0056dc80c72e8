#pragma once

#include <QList>
#include <QObject>
#include <QPointer>

class QEvent;
class QHelpEvent;
class QWidget;

// Shows the whole text of a label or button as its tool tip while the text is
// wider than the widget and so cut off; a widget's own tool tip follows it.
// Decided when the tip is asked for, so the fonts, style sheets and widths are
// the ones on screen and nothing needs updating when a text changes.
class WholeTextToolTips : public QObject
{
    Q_OBJECT

public:
    explicit WholeTextToolTips(QObject *parent);

    // A QLabel or QAbstractButton whose text may be cut off.
    void watch(QWidget *widget);
    // A widget lying over watched ones and taking their mouse events, such as
    // the drag strip over the headings; asks for their tips in their place.
    void watchThrough(QWidget *cover);

    // True when the widget's text is wider than the room it has.
    static bool isCutOff(const QWidget *widget);
    // What the tip of the widget says: its whole text when cut off, then its own tool tip.
    static QString tipFor(const QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *watchedAt(const QHelpEvent &event) const;

    QList<QPointer<QWidget>> m_widgets;
};
