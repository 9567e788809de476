// Takes arbitrary bytes as the schema cache file and goes through what
// registering a schema file does with it: LoadFile (the namespace rewrites,
// the load validating against the file's inline XDR schema), the selections
// of the cache's users, a new entry, and the save, which validates again.
// A saved cache must load again.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include <comdef.h>
#include <msxml6.h>

#include "cache/CacheFormat.h"
#include "cache/SchemaEntry.h"
#include "dom/XMLDOMAdapter.h"
#include "dom/XMLDOMAdapterList.h"
#include "fuzz/fuzz_support.h"
#include "schemas/CreateDocument.h"
#include "schemas/XMLDocument.h"

namespace {

_COM_SMARTPTR_TYPEDEF(IXMLDOMDocument2, __uuidof(IXMLDOMDocument2));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNodeList, __uuidof(IXMLDOMNodeList));

IXMLDOMDocument2Ptr NewDocument() {
  IXMLDOMDocument2* doc = nullptr;
  qzfuzz::Check(SUCCEEDED(CreateDocument(&doc)));
  return IXMLDOMDocument2Ptr(doc, false);
}

// The entries as the schema collection selects them.
void SelectEntries(IXMLDOMDocument2* doc) {
  if (FAILED(doc->setProperty(_bstr_t("SelectionNamespaces"), _variant_t(CACHE_SELECTION_NAMESPACES)))) return;
  IXMLDOMNodeListPtr entries;
  if (FAILED(doc->selectNodes(_bstr_t(CACHE_ENTRIES_XPATH), &entries)) || !entries) return;
  for (;;) {
    IXMLDOMNode* entry = nullptr;
    if (entries->nextNode(&entry) != S_OK || entry == nullptr) break;
    try {
      std::unique_ptr<CXMLDOMAdapter> adapter = MakeAdapter(entry);
      _bstr_t urn, fileName;
      adapter->GetAttribute("urn", urn);
      adapter->GetAttribute("Filename", fileName);
    } catch (const _com_error&) {
      // an entry without its attributes
    }
    entry->Release();
  }
}

// Whether LoadFile reads the text as single bytes: only then do its
// namespace rewrites apply.
bool ReadAsBytes(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return file.get() == '<';
}

// What RegisterSchemaFile does once the cache is loaded.
void Register(CXMLDocument& holder, IXMLDOMDocument2* doc, const char* cachePath, const char* savePath) {
  if (FindSchemaEntry("x-schema:fuzz.xsd", doc, nullptr)) return;
  CXMLDOMAdapterList lists;
  holder.SelectNodes(SCHEMA_LISTS_XPATH, lists);
  CXMLDOMAdapter* list = lists.Next();
  if (list == nullptr) return;
  try {
    CXMLDOMAdapter* entry = list->AddChildElement(_bstr_t("QZSchema"));
    entry->SetAttribute("urn", "x-schema:fuzz.xsd");
    entry->SetAttribute("Filename", "C:\\Schemas\\fuzz.xsd");
  } catch (const _com_error&) {
    return;
  }
  if (!holder.SaveFile(savePath)) return;
  CXMLDocument again;
  qzfuzz::Check(SUCCEEDED(again.SetDocument(NewDocument())));
  const HRESULT reloaded = again.LoadFile(savePath);
  // A file that starts with a byte-order mark or blanks is read as 16-bit
  // text and passes the rewrites untouched; saved without them, it is read
  // as bytes and rewritten, so a schema path it names may no longer resolve.
  if (ReadAsBytes(cachePath) != ReadAsBytes(savePath)) return;
  qzfuzz::Check(SUCCEEDED(reloaded));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qzfuzz::StartPlatform();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string cachePath = (qzfuzz::Root() / "qzschemas.xml").string();
  static const std::string savePath = (qzfuzz::Root() / "saved.xml").string();
  qzfuzz::WriteBytes(cachePath, data, size);

  IXMLDOMDocument2Ptr doc = NewDocument();
  CXMLDocument holder;
  qzfuzz::Check(SUCCEEDED(holder.SetDocument(doc)));
  // As the service does, go on whether or not the file loaded: a cache that
  // does not parse leaves a document in which nothing is found.
  holder.LoadFile(cachePath.c_str());
  SelectEntries(doc);
  Register(holder, doc, cachePath.c_str(), savePath.c_str());
  return 0;
}
