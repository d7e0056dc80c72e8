#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

class QThread;
class QWidget;
struct ModRecord;

// Moves a whole mod folder to the system's recycle bin (the trash on Linux)
// after the user confirms, naming the mod, its folder and its size. The size
// is measured on a thread of its own, so a huge mod does not stop the window.
// Where the recycle bin cannot take the folder, nothing is deleted and the
// status bar says why; never a permanent delete.
class ModRecycler : public QObject
{
    Q_OBJECT

public:
    // `afterMove` rebuilds the list once a folder has gone; false when it failed.
    ModRecycler(QWidget *window, std::function<bool()> afterMove);
    ~ModRecycler() override;

    // Starts with the record's mod; ignored while another one is being measured.
    void start(const ModRecord &record);
    bool isMeasuring() const;

signals:
    // After each attempt: whether the folder went to the recycle bin.
    void finished(bool moved);

private:
    void askAndMove(std::uint64_t size);

    QWidget *window;
    std::function<bool()> afterMove;
    QThread *measuring = nullptr;
    std::shared_ptr<std::atomic<bool>> stopMeasuring;
    std::filesystem::path folder;
    QString modName;
};
