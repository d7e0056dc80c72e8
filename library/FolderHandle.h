#pragma once

#include <filesystem>

// A folder held open while many files below it are read, so that each is
// opened relative to it instead of looking up every folder above it again.
// Where the system has no such opening, or the folder cannot be opened, the
// files are opened by their full paths, with the same answers.
class FolderHandle
{
public:
    explicit FolderHandle(const std::filesystem::path &folder);
    ~FolderHandle();
    FolderHandle(const FolderHandle &) = delete;
    FolderHandle &operator=(const FolderHandle &) = delete;

    // The rest of `file`'s text after the folder's path and a separator, when
    // the folder is open and the text begins with them; else null. Points into
    // `file`.
    const char *relativePath(const std::filesystem::path &file) const;

    // The system's handle of the open folder, or -1.
    int descriptor() const;

private:
    std::filesystem::path m_folder;
    int m_descriptor = -1;
};
