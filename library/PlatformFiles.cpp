#include "PlatformFiles.h"

#include <cerrno>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFirstReadSize = 64 * 1024;

bool failWithErrno(std::error_code *failure)
{
    if (failure)
        failure->assign(errno != 0 ? errno : EIO, std::generic_category());
    return false;
}

} // namespace

#ifdef _WIN32

bool readWholeFile(const fs::path &file, std::string &bytes, bool forUpdate,
                   std::error_code *failure)
{
    bytes.clear();
    const auto mode = std::ios::in | std::ios::binary | (forUpdate ? std::ios::out : std::ios::in);
    std::fstream stream;
    // Unbuffered: every read goes straight into the string.
    stream.rdbuf()->pubsetbuf(nullptr, 0);
    errno = 0;
    stream.open(file, mode);
    if (!stream.is_open())
        return failWithErrno(failure);
    for (std::size_t size = kFirstReadSize;; size *= 2) {
        const std::size_t held = bytes.size();
        bytes.resize(size);
        stream.read(bytes.data() + held, static_cast<std::streamsize>(size - held));
        bytes.resize(held + static_cast<std::size_t>(stream.gcount()));
        if (stream.bad())
            return failWithErrno(failure);
        if (bytes.size() < size)
            return true;
    }
}

#else

bool readWholeFile(const fs::path &file, std::string &bytes, bool forUpdate,
                   std::error_code *failure)
{
    bytes.clear();
    // Non-blocking, so that a pipe by that name reads as empty instead of hanging.
    const int descriptor =
        ::open(file.c_str(), (forUpdate ? O_RDWR : O_RDONLY) | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return failWithErrno(failure);
    bool complete = false;
    for (std::size_t size = kFirstReadSize;; size *= 2) {
        const std::size_t held = bytes.size();
        bytes.resize(size);
        ssize_t got = 0;
        do
            got = ::read(descriptor, bytes.data() + held, size - held);
        while (got < 0 && errno == EINTR);
        bytes.resize(held + static_cast<std::size_t>(got < 0 ? 0 : got));
        if (got < 0) {
            failWithErrno(failure);
            break;
        }
        // A regular file reads short only at its end, which spares the read that
        // would return nothing.
        if (bytes.size() < size) {
            complete = true;
            break;
        }
    }
    ::close(descriptor);
    return complete;
}

#endif
