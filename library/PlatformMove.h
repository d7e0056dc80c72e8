#pragma once

#include <filesystem>

// The one place for platform calls. Renames `source` to `destination`,
// refusing an existing destination without a test-then-rename window, and
// falling back to copy-then-delete across volumes. Returns 0 on success,
// otherwise the platform's error code (GetLastError on Windows, errno elsewhere).
long platformMoveFile(const std::filesystem::path &source, const std::filesystem::path &destination);
