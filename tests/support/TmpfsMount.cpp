#include "tests/support/TmpfsMount.h"

#include <fstream>
#include <string>
#include <system_error>

#ifndef _WIN32
#include <sys/mount.h>
#endif

namespace fs = std::filesystem;

TmpfsMount::TmpfsMount(const fs::path &folder, std::size_t bytes) : m_folder(folder)
{
#ifndef _WIN32
    std::error_code error;
    fs::create_directories(folder, error);
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    m_mounted = ::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) == 0;
#else
    (void)bytes;
#endif
}

TmpfsMount::~TmpfsMount()
{
#ifndef _WIN32
    if (m_mounted)
        ::umount2(m_folder.c_str(), MNT_DETACH);
#endif
}

bool TmpfsMount::mounted() const
{
    return m_mounted;
}

void TmpfsMount::fill() const
{
    std::ofstream filler(m_folder / ".filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) &&
           filler.flush()) {
    }
}
