#include "cache/SchemaEntry.h"

#include <stdio.h>

#include <comdef.h>

#include "cache/CacheFormat.h"
#include "dom/XMLDOMAdapterList.h"
#include "errors/CheckResult.h"
#include "schemas/XMLDocument.h"

namespace {

// The buffer in which the selection expression is formatted.
constexpr size_t kEntryXPathSize = 2048;

}  // namespace

bool FindSchemaEntry(const char* urn, IXMLDOMDocument2* doc, IXMLDOMElement** found) {
  if (doc == nullptr || urn == nullptr) return false;
  try {
    // The caller's document is shared with this holder, not reloaded.
    CXMLDocument document;
    CXMLDOMAdapterList entries;
    CheckResult(document.SetDocument(doc));

    char xpath[kEntryXPathSize] = {};
    const int length = snprintf(xpath, kEntryXPathSize, SCHEMA_ENTRY_XPATH_FORMAT, urn);
    // A cut expression would look for something else.
    if (length < 0 || static_cast<size_t>(length) >= kEntryXPathSize) return false;

    // What counts is whether an entry was selected, not how the selection ended.
    document.SelectNodes(xpath, entries);
    CXMLDOMAdapter* entry = entries.Next();
    if (entry == nullptr) return false;
    if (found != nullptr) {
      CheckResult(entry->GetElement()->QueryInterface(__uuidof(IXMLDOMElement), reinterpret_cast<void**>(found)));
    }
    return true;
  } catch (const _com_error&) {
    return false;
  }
}
