// The default schema cache and the update of its basic data types entry at
// registration.
#include "cache/DefaultCache.h"

#include <stdio.h>

#include "cache/CacheFormat.h"
#include "cache/SharedFiles.h"
#include "dom/XMLDOMAdapterList.h"
#include "errors/XMLDOMPtr.h"
#include "errors/CheckResult.h"
#include "resources/resource.h"
#include "schemas/CreateDocument.h"
#include "schemas/XMLDocument.h"

namespace {

// Both the system directory and the entry path formed from it.
constexpr size_t kEntryPathSize = 260;

// The basic data types schema's path in the system directory. A directory
// that leaves no room for the file name is refused rather than cut: a cut
// path would name some other file.
void FormEntryPath(char (&entryPath)[kEntryPathSize]) {
  char systemDirectory[kEntryPathSize] = "";
  const UINT length = GetSystemDirectoryA(systemDirectory, kEntryPathSize);
  if (length == 0 || length >= kEntryPathSize) _com_issue_error(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
  const int written = snprintf(entryPath, kEntryPathSize, "%s\\%s", systemDirectory, BASIC_DATATYPES_FILE_NAME);
  if (written < 0 || static_cast<size_t>(written) >= kEntryPathSize) {
    _com_issue_error(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE));
  }
}

// Points every entry of the selection at entryPath.
void SetFilenames(CXMLDOMAdapterList& entries, const char* entryPath) {
  while (CXMLDOMAdapter* pEntry = entries.Next()) pEntry->SetAttribute("Filename", entryPath);
}

}  // namespace

HRESULT CreateDefaultCache(HMODULE resources) {
  try {
    CheckResult(WriteCacheTemplate(resources, IDR_DEFAULT_SCHEMA_CACHE));
    IXMLDOMDocument2Ptr pDocument;
    CheckResult(CreateDocument(&pDocument));
    char entryPath[kEntryPathSize];
    FormEntryPath(entryPath);

    _bstr_t bstrPath;
    CheckResult(ResolveSharedFile(SCHEMA_CACHE_RELATIVE_PATH, bstrPath));
    CXMLDocument document;
    CheckResult(document.SetDocument(pDocument));
    CheckResult(document.LoadFile(bstrPath));
    CheckResult(pDocument->setProperty(_bstr_t(OLESTR("SelectionNamespaces")), _variant_t(CACHE_SELECTION_NAMESPACES)));

    // A selection that fails leaves the template's example path in place.
    CXMLDOMAdapterList entries;
    document.SelectNodes(DEFAULT_BASIC_DATATYPES_XPATH, entries);
    SetFilenames(entries, entryPath);
    document.SaveFile(bstrPath);
    return S_OK;
  } catch (const _com_error& error) {
    return error.Error();
  }
}

HRESULT UpdateBasicDatatypesEntry(HMODULE resources) {
  try {
    _bstr_t bstrPath;
    CheckResult(GetSchemaCachePath(bstrPath));
    if (!FileExists(bstrPath)) {
      CreateDefaultCache(resources);
      return S_OK;
    }
    IXMLDOMDocument2Ptr pDocument;
    CheckResult(CreateDocument(&pDocument));
    char entryPath[kEntryPathSize];
    FormEntryPath(entryPath);

    CheckResult(GetSchemaCachePath(bstrPath));
    CXMLDocument document;
    CheckResult(document.SetDocument(pDocument));
    CheckResult(document.LoadFile(bstrPath));

    // S_FALSE: an entry could not be fetched; the ones before it still count.
    CXMLDOMAdapterList entries;
    CheckResult(document.SelectNodes(REGISTERED_BASIC_DATATYPES_XPATH, entries));
    SetFilenames(entries, entryPath);
    // Saved also when nothing was selected: the file is written back as loaded.
    document.SaveFile(bstrPath);
    return S_OK;
  } catch (const _com_error& error) {
    return error.Error();
  }
}
