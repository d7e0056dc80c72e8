#pragma once

#include <QString>

#include <filesystem>

// Moves the folder to the system's recycle bin / trash; empty on success,
// else the reason in `language`'s words or the system's, with the folder
// left where it was.
QString moveFolderToRecycleBin(const std::filesystem::path &folder);
