#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class MainWindow;
}
using MainWindowForm = Ui::MainWindow;

// The directory selection window: the mods folder in a line edit, a button that
// chooses and saves a folder, and Confirm, which loads the catalogue and hands
// over to the main panel.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The saved mods folder into the line edit, then applyLanguage().
    void loadSavedDirectory();
    // The button and label texts of currentLanguage.
    void applyLanguage();

private slots:
    void on_pushButton_pressed();
    void on_pushButton_Confirm_pressed();

private:
    std::unique_ptr<MainWindowForm> ui;
};

// The one directory window, set at start-up and valid until the process ends.
extern MainWindow *directoryWindow;
