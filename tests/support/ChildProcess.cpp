#include "tests/support/ChildProcess.h"

#ifndef _WIN32

#include <cerrno>
#include <cstdio>
#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

ChildResult runChild(const std::vector<std::string> &command)
{
    ChildResult result;
    if (command.empty())
        return result;
    std::vector<char *> arguments;
    for (const std::string &argument : command)
        arguments.push_back(const_cast<char *>(argument.c_str()));
    arguments.push_back(nullptr);

    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return result;
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return result;
    }
    if (pid == 0) {
        ::dup2(pipeEnds[1], STDOUT_FILENO);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        ::execvp(arguments[0], arguments.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    char buffer[4096];
    ssize_t count;
    while ((count = ::read(pipeEnds[0], buffer, sizeof buffer)) != 0) {
        if (count > 0)
            result.output.append(buffer, std::size_t(count));
        else if (errno != EINTR)
            break;
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::optional<std::vector<std::string>> unprivilegedPrefix(const fs::path &program)
{
    std::vector<std::string> prefix;
    if (::geteuid() == 0)
        prefix = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    std::vector<std::string> probe = prefix;
    probe.push_back(program.string());
    probe.push_back("--probe");
    if (runChild(probe).exitCode != 0)
        return std::nullopt;
    return prefix;
}

fs::path shareProgram(const fs::path &program, const fs::path &folder)
{
    const auto open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(folder, open);
    const fs::path copy = folder / program.filename();
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    fs::permissions(copy, open);
    return copy;
}

std::optional<int> runUnprivileged(const fs::path &folder, const std::function<int()> &body)
{
    constexpr int kCannotDrop = 125;
    const pid_t pid = ::fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        // Only async-signal-safe work would be strictly right after fork; the
        // test process has a single thread, so the library calls are safe.
        int result = kCannotDrop;
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            if (!nobody)
                ::_exit(kCannotDrop);
            std::error_code error;
            ::lchown(folder.c_str(), nobody->pw_uid, nobody->pw_gid);
            for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
                 it.increment(error))
                ::lchown(it->path().c_str(), nobody->pw_uid, nobody->pw_gid);
            if (::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
                ::setuid(nobody->pw_uid) != 0 || ::geteuid() == 0)
                ::_exit(kCannotDrop);
        }
        try {
            result = body();
        } catch (...) {
            result = 126;
        }
        std::fflush(stdout);
        ::_exit(result);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status))
        return -1;
    if (WEXITSTATUS(status) == kCannotDrop)
        return std::nullopt;
    return WEXITSTATUS(status);
}

#endif
