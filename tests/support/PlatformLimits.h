#pragma once

// What a test cannot set up on this platform, and the reason it gives when it
// skips for that.

#ifdef _WIN32
// MinGW's std::filesystem reports "not implemented" for every link it is asked
// to create.
inline constexpr bool kCanCreateSymlinks = false;
// Windows keeps a read-only attribute and access lists, not POSIX mode bits.
inline constexpr bool kHasPosixModes = false;
#else
inline constexpr bool kCanCreateSymlinks = true;
inline constexpr bool kHasPosixModes = true;
#endif

inline constexpr char kNoSymlinks[] = "std::filesystem cannot create symbolic links here";
inline constexpr char kNoPosixModes[] = "the file system keeps no POSIX mode bits here";
