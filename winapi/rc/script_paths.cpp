#include "script_paths.h"

#include <fstream>
#include <sstream>

#include "script_error.h"

namespace qzrc {

bool ReadWholeFile(const std::filesystem::path& path, std::string* text) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  std::ostringstream content;
  content << file.rdbuf();
  *text = content.str();
  return !file.bad();
}

std::string ScriptPathToPosix(const std::string& written) {
  std::string path;
  for (std::size_t i = 0; i < written.size(); ++i) {
    if (written[i] == '\\' || written[i] == '/') {
      path += '/';
      while (i + 1 < written.size() && written[i + 1] == '\\') ++i;
    } else {
      path += written[i];
    }
  }
  return path;
}

std::string WithoutByteOrderMark(const std::string& text, const std::filesystem::path& file) {
  if (text.rfind("\xEF\xBB\xBF", 0) == 0) return text.substr(3);
  if (text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xFE\xFF", 0) == 0) {
    throw ScriptError(file, 1, "the script is UTF-16; save it as UTF-8 or ASCII");
  }
  return text;
}

}  // namespace qzrc
