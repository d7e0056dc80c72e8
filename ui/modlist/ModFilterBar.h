#pragma once

#include <QWidget>

class QKeyEvent;
class QLabel;
class QLineEdit;
class VezModList;

// The small filter field over the bottom edge of the main panel, with the
// number of rows shown against the total. Typing a printable character other
// than a space while the panel has focus opens it with that character; Ctrl+F
// opens it empty; Escape clears and closes it. While it is open, the arrows and
// Page Up/Down still move the list's current row, and Enter hands the keys
// back to the list.
class ModFilterBar : public QWidget
{
    Q_OBJECT

public:
    ModFilterBar(VezModList *list, QWidget *panel);

    // Opens the field, focused, with its text followed by `typed`.
    void open(const QString &typed = QString());
    // Clears the filter, closes the field and gives the keys back to the list.
    void close();
    bool isOpen() const;
    // The placeholder text of currentLanguage.
    void updateLanguage();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeAtBottomEdge();
    void showCount(int shown, int total);
    bool handleFieldKey(QKeyEvent *event);
    bool handlePanelKey(QKeyEvent *event);

    VezModList *list;
    QWidget *panel;
    QLineEdit *field;
    QLabel *count;
    QWidget *statusRoom = nullptr; // owned by the status bar
};
