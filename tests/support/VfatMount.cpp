#include "tests/support/VfatMount.h"

#include <cstdlib>
#include <system_error>

namespace fs = std::filesystem;

namespace {

bool run(const std::string &command)
{
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string quoted(const fs::path &path)
{
    return "'" + path.string() + "'";
}

} // namespace

VfatMount::VfatMount(const fs::path &folder) : m_folder(folder), m_image(folder.string() + ".img")
{
#ifdef _WIN32
    m_whyNot = "FUSE mounts are for Linux";
#else
    std::error_code error;
    fs::create_directories(m_folder, error);
    if (!run("command -v mkfs.vfat") || !run("command -v fusefat")) {
        m_whyNot = "mkfs.vfat (dosfstools) or fusefat is missing: scripts/install-deps installs them";
        return;
    }
    if (!fs::exists("/dev/fuse")) {
        m_whyNot = "no /dev/fuse in this machine";
        return;
    }
    if (!run("mkfs.vfat -C " + quoted(m_image) + " 4096")) {
        m_whyNot = "mkfs.vfat could not make the image";
        return;
    }
    // fusefat goes into the background once the file system is mounted.
    m_mounted = run("fusefat -o rw+ " + quoted(m_image) + " " + quoted(m_folder)) &&
                run("mountpoint -q " + quoted(m_folder));
    if (!m_mounted)
        m_whyNot = "fusefat could not mount the image (needs mount rights)";
#endif
}

VfatMount::~VfatMount()
{
    if (m_mounted)
        run("fusermount -u -z " + quoted(m_folder));
    std::error_code ignored;
    fs::remove(m_image, ignored);
}

bool VfatMount::mounted() const
{
    return m_mounted;
}

const std::string &VfatMount::whyNot() const
{
    return m_whyNot;
}

const fs::path &VfatMount::path() const
{
    return m_folder;
}
