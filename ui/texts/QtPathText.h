#pragma once

#include <QString>

#include <filesystem>

// A file-system path as the interface's text, without loss: the path's own
// characters, not the narrow encoding of the moment.
QString qStringFromPath(const std::filesystem::path &path);
