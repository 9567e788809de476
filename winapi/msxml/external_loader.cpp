#include "external_loader.h"

#include <cctype>
#include <mutex>

#include <libxml/parserInternals.h>
#include <qzwin/platform.h>

namespace qzwin::msxml {

namespace {

thread_local bool externalFilesAllowed = false;

bool HasScheme(const std::string& location, size_t* schemeEnd) {
  size_t colon = location.find(':');
  // "C:\..." is a drive letter, not a scheme.
  if (colon == std::string::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    char c = location[i];
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return false;
  }
  *schemeEnd = colon;
  return true;
}

// A refusal returns null; the parser then reports the entity as not loaded.
xmlParserInputPtr LoadExternal(const char* url, const char* id, xmlParserCtxtPtr context) {
  std::string path;
  if (!externalFilesAllowed || url == nullptr || !LocalPathOf(url, &path)) return nullptr;
  return xmlNewInputFromFile(context, path.c_str());
}

}  // namespace

ExternalFilesAllowed::ExternalFilesAllowed(bool allowed) : previous_(externalFilesAllowed) {
  externalFilesAllowed = allowed;
}

ExternalFilesAllowed::~ExternalFilesAllowed() { externalFilesAllowed = previous_; }

void InstallExternalLoader() {
  static std::once_flag once;
  std::call_once(once, [] {
    xmlInitParser();
    xmlSetExternalEntityLoader(LoadExternal);
  });
}

bool LocalPathOf(const std::string& location, std::string* posixPath) {
  if (location.empty()) return false;
  std::string path = location;
  size_t schemeEnd = 0;
  if (HasScheme(location, &schemeEnd)) {
    if (location.compare(0, schemeEnd, "file") != 0) return false;  // no network, ever
    path = location.substr(schemeEnd + 1);
    // file:///C:/x, file:///x and file:/x
    if (path.rfind("///", 0) == 0) {
      path = path.substr(2);
      if (path.size() > 2 && path[2] == ':') path = path.substr(1);
    } else if (path.rfind("//", 0) == 0) {
      return false;  // file://host/...
    }
  }
  if (path.rfind("\\\\", 0) == 0 || path.rfind("//", 0) == 0) return false;  // a share on another machine
  return ToPosixPath(path, posixPath);
}

}  // namespace qzwin::msxml
