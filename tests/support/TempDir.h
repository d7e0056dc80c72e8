#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &path() const;
    std::filesystem::path operator/(const std::filesystem::path &relative) const;

private:
    std::filesystem::path m_path;
};

// Makes the given folder the working directory until the object goes.
class WorkingDirectoryScope
{
public:
    explicit WorkingDirectoryScope(const std::filesystem::path &directory);
    ~WorkingDirectoryScope();
    WorkingDirectoryScope(const WorkingDirectoryScope &) = delete;
    WorkingDirectoryScope &operator=(const WorkingDirectoryScope &) = delete;

private:
    std::filesystem::path m_previous;
};

// Writes the bytes exactly, creating missing parent folders.
void writeFile(const std::filesystem::path &path, std::string_view bytes);
// The whole file as bytes; empty when it cannot be read.
std::string readFile(const std::filesystem::path &path);
