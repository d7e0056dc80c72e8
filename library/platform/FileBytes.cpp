#include "library/platform/FileBytes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kFirstReadSize = 64 * 1024;
// A file that fills this much is read on only when it is a regular file: a
// device such as /dev/zero never ends and would take every byte of memory.
constexpr std::size_t kUncheckedReadSize = 1024 * 1024;

bool failWithErrno(std::error_code *failure)
{
    if (failure)
        failure->assign(errno != 0 ? errno : EIO, std::generic_category());
    return false;
}

} // namespace

std::string_view FileBytes::view() const
{
    return {m_data.get(), m_size};
}

char *FileBytes::reserve(std::size_t size, std::size_t keep)
{
    if (size > m_capacity) {
        auto larger = std::make_unique_for_overwrite<char[]>(size);
        if (keep > 0)
            std::memcpy(larger.get(), m_data.get(), keep);
        m_data = std::move(larger);
        m_capacity = size;
    }
    return m_data.get();
}

#ifdef _WIN32

bool FileBytes::read(const fs::path &file, bool forUpdate, std::error_code *failure)
{
    m_size = 0;
    const auto mode = std::ios::in | std::ios::binary | (forUpdate ? std::ios::out : std::ios::in);
    std::fstream stream;
    // Unbuffered: every read goes straight into the buffer.
    stream.rdbuf()->pubsetbuf(nullptr, 0);
    errno = 0;
    stream.open(file, mode);
    if (!stream.is_open())
        return failWithErrno(failure);
    for (std::size_t size = std::max(kFirstReadSize, m_capacity);; size *= 2) {
        char *data = reserve(size, m_size);
        stream.read(data + m_size, static_cast<std::streamsize>(size - m_size));
        m_size += static_cast<std::size_t>(stream.gcount());
        if (stream.bad())
            return failWithErrno(failure);
        if (m_size < size)
            return true;
        std::error_code error;
        if (size >= kUncheckedReadSize && !fs::is_regular_file(file, error)) {
            errno = EFBIG;
            return failWithErrno(failure);
        }
    }
}

#else

namespace {

// Non-blocking, so that a pipe by that name reads as empty instead of hanging.
constexpr int kOpenFlags = O_CLOEXEC | O_NONBLOCK | O_NOCTTY;

} // namespace

bool FileBytes::read(const fs::path &file, bool forUpdate, std::error_code *failure)
{
    return readOpened(::open(file.c_str(), (forUpdate ? O_RDWR : O_RDONLY) | kOpenFlags), failure);
}

bool FileBytes::readDescriptor(int descriptor)
{
    return readOpened(descriptor, nullptr);
}

bool FileBytes::readOpened(int descriptor, std::error_code *failure)
{
    m_size = 0;
    if (descriptor < 0)
        return failWithErrno(failure);
    bool complete = false;
    for (std::size_t size = std::max(kFirstReadSize, m_capacity);; size *= 2) {
        char *data = reserve(size, m_size);
        ssize_t got = 0;
        do
            got = ::read(descriptor, data + m_size, size - m_size);
        while (got < 0 && errno == EINTR);
        if (got < 0) {
            failWithErrno(failure);
            break;
        }
        m_size += static_cast<std::size_t>(got);
        // A regular file reads short only at its end, which spares the read that
        // would return nothing.
        if (m_size < size) {
            complete = true;
            break;
        }
        struct stat info
        {
        };
        if (size >= kUncheckedReadSize &&
            (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode))) {
            errno = EFBIG;
            failWithErrno(failure);
            break;
        }
    }
    ::close(descriptor);
    return complete;
}

#endif
