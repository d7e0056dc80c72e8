#pragma once

#include <filesystem>
#include <string>
#include <vector>

// A program started for a kill test, on both systems: killed at a moment the
// test chooses (SIGKILL, or TerminateProcess on Windows), never cleaning up.
class KillableProcess
{
public:
    KillableProcess(const std::filesystem::path &program, const std::vector<std::string> &arguments);
    ~KillableProcess();
    KillableProcess(const KillableProcess &) = delete;
    KillableProcess &operator=(const KillableProcess &) = delete;

    bool started() const;
    // Kills the program and waits for it; true when it had ended by itself before.
    bool kill();
    // Waits for the program to end by itself; its exit code.
    int wait();

private:
#ifdef _WIN32
    void *m_process = nullptr;
#else
    int m_pid = -1;
#endif
};
