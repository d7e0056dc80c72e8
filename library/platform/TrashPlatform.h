#pragma once

#include <filesystem>
#include <system_error>

// Moving a mod folder to the system's recycle bin / trash, never copying and
// never deleting: where the trash cannot take the folder in one rename, the
// folder stays where it is.

// Code of a folder that no trash of its drive can take.
std::error_code noTrashOnThisDrive();

#ifdef _WIN32

// Why the drive's recycle bin cannot take the folder, found before the shell
// is asked to move it: on a drive without one the shell would delete for good.
std::error_code recycleBinRefusal(const std::filesystem::path &folder);

#else

// Moves the folder into the user's trash as desktops expect it ("files/" and
// a ".trashinfo" beside it in "info/"): the home trash when it lies on the
// folder's device, else the device's own ($topdir/.Trash/$uid or
// $topdir/.Trash-$uid). Empty on success; otherwise nothing has moved.
std::error_code moveFolderToTrash(const std::filesystem::path &folder);

#endif
