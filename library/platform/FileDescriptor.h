#pragma once

#ifndef _WIN32

// An open POSIX file descriptor, closed when the object goes.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd);
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;

    int get() const;

    // A written file can still fail at close (network file systems); say so:
    // 0, or the system's code.
    int close();

private:
    int m_fd;
};

#endif
