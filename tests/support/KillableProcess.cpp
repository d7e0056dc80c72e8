#include "tests/support/KillableProcess.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32

namespace {

std::wstring quoted(const std::wstring &argument)
{
    std::wstring text = L"\"";
    for (const wchar_t c : argument) {
        if (c == L'"')
            text += L'\\';
        text += c;
    }
    return text + L"\"";
}

} // namespace

KillableProcess::KillableProcess(const fs::path &program, const std::vector<std::string> &arguments)
{
    std::wstring command = quoted(program.native());
    for (const std::string &argument : arguments)
        command += L" " + quoted(fs::path(reinterpret_cast<const char8_t *>(argument.c_str())).native());
    // The child's standard handles go nowhere: under Wine a killed child's
    // console helper would otherwise keep the test runner's pipes open.
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    HANDLE nowhere = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inheritable, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nowhere;
    PROCESS_INFORMATION info{};
    const bool created = CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE,
                                        DETACHED_PROCESS, nullptr, nullptr, &startup, &info);
    CloseHandle(nowhere);
    if (!created)
        return;
    CloseHandle(info.hThread);
    m_process = info.hProcess;
}

KillableProcess::~KillableProcess()
{
    if (m_process) {
        kill();
        CloseHandle(m_process);
    }
}

bool KillableProcess::started() const
{
    return m_process != nullptr;
}

bool KillableProcess::kill()
{
    if (WaitForSingleObject(m_process, 0) == WAIT_OBJECT_0)
        return true;
    TerminateProcess(m_process, 137);
    WaitForSingleObject(m_process, INFINITE);
    return false;
}

int KillableProcess::wait()
{
    WaitForSingleObject(m_process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    return static_cast<int>(code);
}

#else

KillableProcess::KillableProcess(const fs::path &program, const std::vector<std::string> &arguments)
{
    std::vector<char *> argv{const_cast<char *>(program.c_str())};
    for (const std::string &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);
    m_pid = ::fork();
    if (m_pid == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
}

KillableProcess::~KillableProcess()
{
    if (m_pid > 0)
        kill();
}

bool KillableProcess::started() const
{
    return m_pid > 0;
}

bool KillableProcess::kill()
{
    ::kill(m_pid, SIGKILL);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return !WIFSIGNALED(status);
}

int KillableProcess::wait()
{
    int status = 0;
    ::waitpid(m_pid, &status, 0);
    m_pid = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

#endif
