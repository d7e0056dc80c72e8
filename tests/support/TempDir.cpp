#include "tests/support/TempDir.h"

#include <fstream>
#include <random>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

TempDir::TempDir()
{
    std::random_device device;
    std::mt19937_64 generator(device());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("tessel3-test-" + std::to_string(generator()));
        std::error_code error;
        if (fs::create_directory(candidate, error)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    std::error_code error;
    // Tests may leave folders without permissions behind; give them back first.
    for (auto it = fs::recursive_directory_iterator(
             m_path, fs::directory_options::skip_permission_denied, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_directory(error) && !it->is_symlink(error))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
    }
    fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(m_path, error);
}

const fs::path &TempDir::path() const
{
    return m_path;
}

fs::path TempDir::operator/(const fs::path &relative) const
{
    return m_path / relative;
}

WorkingDirectoryScope::WorkingDirectoryScope(const fs::path &directory)
    : m_previous(fs::current_path())
{
    fs::current_path(directory);
}

WorkingDirectoryScope::~WorkingDirectoryScope()
{
    std::error_code error;
    fs::current_path(m_previous, error);
}

void writeFile(const fs::path &path, std::string_view bytes)
{
    if (path.has_parent_path())
        fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
