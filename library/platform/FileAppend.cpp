#include "library/platform/FileAppend.h"

#include <cerrno>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#ifdef _WIN32

bool appendToFile(const std::filesystem::path &file, std::string_view bytes, bool create,
                  std::error_code &failure)
{
    failure.clear();
    const HANDLE handle =
        CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                    create ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        failure.assign(static_cast<int>(GetLastError()), std::system_category());
        return false;
    }
    bool written = true;
    while (written && !bytes.empty()) {
        const DWORD chunk = bytes.size() > (1u << 30) ? (1u << 30) : DWORD(bytes.size());
        DWORD done = 0;
        written = WriteFile(handle, bytes.data(), chunk, &done, nullptr) && done > 0;
        if (written)
            bytes.remove_prefix(done);
    }
    if (!written)
        failure.assign(static_cast<int>(GetLastError()), std::system_category());
    CloseHandle(handle);
    return written;
}

#else

bool appendToFile(const std::filesystem::path &file, std::string_view bytes, bool create,
                  std::error_code &failure)
{
    failure.clear();
    const int descriptor =
        ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | (create ? O_CREAT : 0), 0644);
    if (descriptor < 0) {
        failure.assign(errno, std::generic_category());
        return false;
    }
    bool written = true;
    while (written && !bytes.empty()) {
        const ssize_t done = ::write(descriptor, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR)
            continue;
        written = done > 0;
        if (written)
            bytes.remove_prefix(std::size_t(done));
    }
    if (!written)
        failure.assign(errno ? errno : EIO, std::generic_category());
    ::close(descriptor);
    return written;
}

#endif
