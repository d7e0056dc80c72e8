#pragma once

#include <memory>

class MainPanel;
class MainWindow;

// The program's two windows, created in start-up order (the directory window,
// then the hidden main panel) and published as directoryWindow and mainPanel;
// only the directory window is shown. Both live as long as this object.
class ProgramWindows
{
public:
    ProgramWindows();
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows &) = delete;
    ProgramWindows &operator=(const ProgramWindows &) = delete;

private:
    std::unique_ptr<MainWindow> m_directoryWindow;
    std::unique_ptr<MainPanel> m_mainPanel;
};
