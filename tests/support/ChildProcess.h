#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// Running helper programs from tests, POSIX only: permission faults are real
// only for an unprivileged user, and the suite usually runs as root.

struct ChildResult
{
    int exitCode = -1;  // -1 when the child did not exit normally
    std::string output; // standard output
};

// Runs the command (the program is looked up in PATH) and waits for it.
ChildResult runChild(const std::vector<std::string> &command);

// The command prefix that runs a program as an unprivileged user: empty when
// this process is unprivileged already, setpriv to "nobody" when it is root;
// nothing when neither works. `program` must be reachable by that user.
std::optional<std::vector<std::string>> unprivilegedPrefix(const std::filesystem::path &program);

// Copies `program` into `folder` for every user to run, opening the folder
// for them too: the build tree may not be reachable by "nobody".
std::filesystem::path shareProgram(const std::filesystem::path &program,
                                   const std::filesystem::path &folder);

// Runs `body` in a forked child as an unprivileged user and returns its
// result. When this process is root, the child first hands `folder` (and
// everything in it) to "nobody" and then becomes "nobody", so that the tree's
// permissions bind it. Nothing when no unprivileged user can be had.
std::optional<int> runUnprivileged(const std::filesystem::path &folder,
                                   const std::function<int()> &body);
