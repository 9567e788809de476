// Reading script files and the paths scripts write.
#pragma once

#include <filesystem>
#include <string>

namespace qzrc {

// The whole file as bytes; false if it cannot be read.
bool ReadWholeFile(const std::filesystem::path& path, std::string* text);

// A path as the script writes it ('\\' or '/' between parts) in POSIX form.
std::string ScriptPathToPosix(const std::string& written);

// Scripts are ASCII, UTF-8 or a narrow code page; a UTF-8 byte order mark is
// skipped and UTF-16 is refused.
std::string WithoutByteOrderMark(const std::string& text, const std::filesystem::path& file);

}  // namespace qzrc
