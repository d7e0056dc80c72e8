#pragma once

#include <QWidget>

#include <cstdint>

class QListWidget;
class QPushButton;

// Features → History…: the batches of switches, newest first, with time,
// action and count; the selected one's moves by mod name; and "Restore to
// before this", which plans the way back and shows it in the switch preview
// before anything moves.
class HistoryWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HistoryWindow(QWidget *parent = nullptr);

    // Reads the journal into the list again, keeping the selection when it can.
    void refill();
    void updateLanguage();
    // Plans the restore for the selected batch and opens the preview.
    void restoreSelected();

signals:
    // Entry files were moved; the message is for the status bar.
    void modsSwitched(const QString &message);

private:
    void showMoves();
    std::uint64_t selectedBatch() const;

    QListWidget *batchList;
    QListWidget *moveList;
    QPushButton *restoreButton;
    QPushButton *closeButton;
};
