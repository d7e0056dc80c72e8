#include "FolderHandle.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32

// Files are opened by their full paths.
FolderHandle::FolderHandle(const fs::path &folder) : m_folder(folder) {}

FolderHandle::~FolderHandle() = default;

const char *FolderHandle::relativePath(const fs::path &) const
{
    return nullptr;
}

#else

namespace {

// Only the right to search the folder is needed, as for a full path through it.
#ifdef O_PATH
constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

} // namespace

FolderHandle::FolderHandle(const fs::path &folder)
    : m_folder(folder), m_descriptor(::open(folder.c_str(), kFolderFlags))
{}

FolderHandle::~FolderHandle()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
}

const char *FolderHandle::relativePath(const fs::path &file) const
{
    const std::string &folder = m_folder.native();
    const std::string &text = file.native();
    if (m_descriptor < 0 || folder.empty() || folder.back() == '/' ||
        text.size() <= folder.size() + 1 || text[folder.size()] != '/' || !text.starts_with(folder))
        return nullptr;
    return text.c_str() + folder.size() + 1;
}

#endif

int FolderHandle::descriptor() const
{
    return m_descriptor;
}
