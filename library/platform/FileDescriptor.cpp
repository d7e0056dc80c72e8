#include "library/platform/FileDescriptor.h"

#ifndef _WIN32

#include <cerrno>
#include <unistd.h>

FileDescriptor::FileDescriptor(int fd) : m_fd(fd) {}

FileDescriptor::~FileDescriptor()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

int FileDescriptor::get() const
{
    return m_fd;
}

int FileDescriptor::close()
{
    const int result = ::close(m_fd);
    m_fd = -1;
    return result == 0 ? 0 : errno;
}

#endif
