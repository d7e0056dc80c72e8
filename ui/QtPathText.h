#pragma once

#include <QString>

#include <filesystem>

// Lossless conversions between the interface's text and file-system paths: the
// path's own characters, not the narrow encoding of the moment.
QString qStringFromPath(const std::filesystem::path &path);
std::filesystem::path pathFromQString(const QString &text);
