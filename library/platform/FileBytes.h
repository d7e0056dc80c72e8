#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string_view>
#include <system_error>

// The bytes of a whole file, read in binary mode: line ends and a Ctrl-Z byte
// pass unchanged. The buffer is kept from one read to the next, so reading
// thousands of files in a row neither allocates nor clears memory per file.
class FileBytes
{
public:
    // `forUpdate` opens the file for reading and writing, which tests write
    // access the way the system sees it without changing a byte. False when
    // the file cannot be opened or a read fails; the bytes are then those read
    // before the failure, and `failure` (when given) holds the system's reason.
    bool read(const std::filesystem::path &file, bool forUpdate = false,
              std::error_code *failure = nullptr);
#ifndef _WIN32
    // The same for a file already open for reading, which this closes.
    bool readDescriptor(int descriptor);
#endif

    // Valid until the next read.
    std::string_view view() const;

private:
#ifndef _WIN32
    bool readOpened(int descriptor, std::error_code *failure);
#endif
    // Room for at least `size` bytes, keeping the first `keep`.
    char *reserve(std::size_t size, std::size_t keep);

    std::unique_ptr<char[]> m_data;
    std::size_t m_capacity = 0;
    std::size_t m_size = 0;
};
