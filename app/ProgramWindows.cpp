#include "app/ProgramWindows.h"

#include "ui/windows/MainPanel.h"
#include "ui/windows/MainWindow.h"

ProgramWindows::ProgramWindows()
    : m_directoryWindow(std::make_unique<MainWindow>()), m_mainPanel(nullptr)
{
    directoryWindow = m_directoryWindow.get();
    m_mainPanel = std::make_unique<MainPanel>();
    mainPanel = m_mainPanel.get();
    m_directoryWindow->show();
}

ProgramWindows::~ProgramWindows()
{
    mainPanel = nullptr;
    directoryWindow = nullptr;
}
