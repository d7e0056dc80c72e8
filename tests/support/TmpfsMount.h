#pragma once

#include <cstddef>
#include <filesystem>

// A small memory file system mounted on a folder for the object's lifetime,
// for tests that need a full disk. Needs root and mount rights; mounted()
// tells whether it worked.
class TmpfsMount
{
public:
    TmpfsMount(const std::filesystem::path &folder, std::size_t bytes);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount &) = delete;
    TmpfsMount &operator=(const TmpfsMount &) = delete;

    bool mounted() const;

    // Fills the file system with one file until the disk is full.
    void fill() const;

private:
    std::filesystem::path m_folder;
    bool m_mounted = false;
};
