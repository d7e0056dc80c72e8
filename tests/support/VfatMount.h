#pragma once

#include <filesystem>
#include <string>

// A small FAT file system, which ignores letter case in names, mounted through
// FUSE on a folder for the object's lifetime. Needs mkfs.vfat, fusefat and
// /dev/fuse with mount rights; mounted() tells whether it worked and
// whyNot() why it did not.
class VfatMount
{
public:
    explicit VfatMount(const std::filesystem::path &folder);
    ~VfatMount();
    VfatMount(const VfatMount &) = delete;
    VfatMount &operator=(const VfatMount &) = delete;

    bool mounted() const;
    const std::string &whyNot() const;
    const std::filesystem::path &path() const;

private:
    std::filesystem::path m_folder;
    std::filesystem::path m_image;
    bool m_mounted = false;
    std::string m_whyNot;
};
