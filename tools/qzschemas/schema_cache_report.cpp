#include "schema_cache_report.h"

#include <cstdio>
#include <fstream>

#include <windows.h>

#include <qzwin/uihost.h>

#include "cache/CacheFormat.h"
#include "cache/SharedFiles.h"
#include "dom/XMLDOMAdapterList.h"
#include "module/QZModule.h"
#include "platform_state.h"
#include "resources/resource.h"
#include "schemas/CreateDocument.h"
#include "schemas/XMLDocument.h"

namespace qzcli {
namespace {

std::string Text(const _bstr_t& text) {
  const char* narrow = text;
  return narrow != nullptr ? narrow : "";
}

std::string AttributeOf(CXMLDOMAdapter& entry, const char* name) {
  try {
    _bstr_t value;
    entry.GetAttribute(name, value);
    return Text(value);
  } catch (const _com_error&) {
    return "(none)";
  }
}

// Line number `line` (from 1) of the file at windowsPath, without its line end.
std::string SourceLine(const std::string& windowsPath, long line) {
  std::ifstream in(PosixPathOf(windowsPath.c_str()), std::ios::binary);
  std::string text;
  for (long at = 1; at <= line && std::getline(in, text); ++at) {
  }
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  const size_t start = text.find_first_not_of(" \t");
  return start == std::string::npos ? "" : text.substr(start);
}

// "reason (line L, column C): source line", from the document's parse error.
std::string ParseProblem(IXMLDOMDocument2* document, const std::string& path) {
  IXMLDOMParseErrorPtr error;
  if (document == nullptr || FAILED(document->get_parseError(&error)) || error == nullptr) return "it does not load";
  BSTR reason = nullptr;
  LONG line = 0, column = 0;
  error->get_reason(&reason);
  error->get_line(&line);
  error->get_linepos(&column);
  std::string problem = Text(_bstr_t(reason, false));
  if (problem.empty()) problem = "it does not load";
  if (line > 0) {
    problem += " (line " + std::to_string(line) + ", column " + std::to_string(column) + ")";
    const std::string source = SourceLine(path, line);
    if (!source.empty()) problem += ":\n    " + source;
  }
  return problem;
}

// Loads the cache file into a new document as the service does; the reason
// when it does not load is left in *cache.
IXMLDOMDocument2Ptr LoadCacheDocument(SchemaCacheFile* cache) {
  _bstr_t path;
  cache->hr = ResolveSharedFile(SCHEMA_CACHE_RELATIVE_PATH, path);
  if (FAILED(cache->hr)) {
    cache->problem = "its path cannot be resolved: " + Describe(cache->hr);
    return nullptr;
  }
  cache->path = Text(path);
  if (!FileExists(cache->path.c_str())) {
    cache->hr = E_FAIL;
    cache->problem = "it does not exist";
    return nullptr;
  }
  // Loaded as the service loads it (validating on parse), but by load
  // alone, so that the parse error stays the load's.
  IXMLDOMDocument2Ptr document;
  cache->hr = CreateDocument(&document);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (SUCCEEDED(cache->hr)) cache->hr = document->load(_variant_t(cache->path.c_str()), &loaded);
  if (SUCCEEDED(cache->hr) && loaded == VARIANT_FALSE) cache->hr = E_FAIL;
  if (FAILED(cache->hr)) {
    cache->problem = ParseProblem(document, cache->path);
    return nullptr;
  }
  return document;
}

}  // namespace

SchemaCacheFile ReadSchemaCacheFile() {
  SchemaCacheFile cache;
  IXMLDOMDocument2Ptr document = LoadCacheDocument(&cache);
  if (document == nullptr) return cache;
  CXMLDocument holder;
  CXMLDOMAdapterList entries;
  if (SUCCEEDED(holder.SetDocument(document))) holder.SelectNodes(SCHEMA_ENTRIES_XPATH, entries);
  while (CXMLDOMAdapter* entry = entries.Next()) {
    CacheEntry row{AttributeOf(*entry, "urn"), AttributeOf(*entry, "Filename")};
    row.fileExists = FileExists(row.file.c_str());
    cache.entries.push_back(row);
  }
  return cache;
}

CollectionRequest RequestCollection(IQZXMLSchemaService2* service) {
  CollectionRequest request;
  qzwin::ScriptedUiHost keeper;
  {
    qzwin::ScopedUiHost scope(&keeper);
    request.hr = service->get_Schemas(&request.collection);
  }
  const std::vector<qzwin::DialogView> dialogs = keeper.ShownDialogs();
  request.dialogShown = !dialogs.empty();
  if (request.dialogShown) {
    for (const qzwin::DialogControlView& control : dialogs.back().controls) {
      if (control.id == IDC_FILENAME) request.failedFile = control.text;
      if (control.id == IDC_URN) request.failedUrn = control.text;
    }
  }
  if (FAILED(request.hr)) request.collection = nullptr;
  return request;
}

std::set<std::string> UrnsOf(IXMLDOMSchemaCollection* collection) {
  std::set<std::string> urns;
  LONG length = 0;
  if (collection == nullptr || FAILED(collection->get_length(&length))) return urns;
  for (LONG i = 0; i < length; ++i) {
    BSTR urn = nullptr;
    if (SUCCEEDED(collection->get_namespaceURI(i, &urn))) urns.insert(Text(_bstr_t(urn, false)));
  }
  return urns;
}

RefusedEntry FindRefusedEntry() {
  SchemaCacheFile cache;
  IXMLDOMDocument2Ptr document = LoadCacheDocument(&cache);
  if (document == nullptr) return {};
  // The service's own build, on a module of this process: it records the
  // refused entry as the service's module does.
  CQZModule module;
  IXMLDOMSchemaCollectionPtr collection;
  module.BuildSchemaCollection(document, &collection);
  return {Text(module.GetFailedUrn()), Text(module.GetFailedFileName())};
}

void ExplainMissingCollection(const CollectionRequest& request) {
  std::fprintf(stderr, "qzschemas: the platform's schema collection cannot be had: %s\n", Describe(request.hr).c_str());
  if (request.dialogShown) {
    if (request.failedUrn.empty() && request.failedFile.empty()) {
      std::fprintf(stderr, "qzschemas: the service reports an error in the schema cache and names no failed entry\n");
    } else {
      std::fprintf(stderr, "qzschemas: the service reports an error in the schema cache; the failed entry: %s (file %s)\n",
                   request.failedUrn.c_str(), request.failedFile.c_str());
    }
  }
  if (RegisteredResolver().empty()) {
    std::fprintf(stderr,
                 "qzschemas: the platform path resolver is not installed, so the schema cache cannot be found.\n"
                 "Fix: run 'qzschemas setup'.\n");
    return;
  }
  const SchemaCacheFile cache = ReadSchemaCacheFile();
  if (FAILED(cache.hr)) {
    std::fprintf(stderr, "qzschemas: the schema cache %s does not load: %s\n", cache.path.c_str(),
                 cache.problem.c_str());
    std::fprintf(stderr,
                 "Fix: repair the file (%s), or move it away and run 'qzschemas setup', which writes the default "
                 "schema cache.\n",
                 PosixPathOf(cache.path.c_str()).c_str());
    return;
  }
  std::fprintf(stderr,
               "qzschemas: the schema cache %s loads now; the service could not build its collection when it started.\n"
               "Fix: run the command again; 'qzschemas status' shows the cache's entries.\n",
               cache.path.c_str());
}

}  // namespace qzcli
