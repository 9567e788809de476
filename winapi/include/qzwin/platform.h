// Where the stand-in keeps the machine: the platform root holds the drives
// (drive_c) and the registry, so tests can run on throw-away roots.
#pragma once

#include <string>
#include <string_view>

namespace qzwin {

// $QZ_ROOT if set, else $XDG_DATA_HOME/qzschemas, else $HOME/.local/share/qzschemas.
// Read anew on every call, so a test can switch roots.
std::string PlatformRoot();

// Maps a Windows path to a POSIX path: "C:\\x" -> <root>/drive_c/x, "Z:\\x" -> /x,
// "/x" stays as it is, a relative path keeps its place with '\\' turned into '/'.
// False for a path that cannot be mapped (a drive letter other than C or Z).
bool ToPosixPath(std::string_view windowsPath, std::string* posixPath);

// Like ToPosixPath, then finds each component that does not exist as spelled
// among the names of its directory, ignoring case, as Windows would. What
// matches nothing keeps its spelling (a file about to be created).
bool ResolvePosixPath(std::string_view windowsPath, std::string* posixPath);

// The inverse: below <root>/drive_c -> "C:\\...", anything else absolute -> "Z:\\...".
std::string ToWindowsPath(std::string_view posixPath);

// Whether a file of these POSIX permission bits is read-only to Windows
// code: it is when no write bit is set, even for root. The file functions
// refuse to write it and a DOM save refuses to replace it.
inline bool IsReadOnlyMode(unsigned mode) { return (mode & 0222) == 0; }

}  // namespace qzwin
