// qzschemas validate DOC...: validates documents against the platform's
// shared schema collection, taken from the service's Schemas as any client
// takes it. A document names its schema by xmlns="x-schema:<file name>".
#include <cstdio>
#include <string>

#include <windows.h>
#include <comdef.h>
#include <msxml6.h>
#include <objbase.h>

#include "command_line.h"
#include "commands.h"
#include "schema_cache_report.h"
#include "schema_service.h"

namespace qzcli {
namespace {

constexpr char kUsage[] =
    "usage: qzschemas validate DOC...\n"
    "Validates each document against the platform's schema collection: prints 'DOC validates', or\n"
    "each error as DOC:LINE:COLUMN: reason. A document names its schema by\n"
    "xmlns=\"x-schema:<file name>\". Exits 0 when all validate, 1 when some do not, 3 when the\n"
    "platform is not set up or its schema collection cannot be had.\n";

std::string Text(BSTR text) {
  const _bstr_t copy(text, false);
  const char* narrow = copy;
  return narrow != nullptr ? narrow : "";
}

// Prints "DOC:LINE:COLUMN: reason" (the column when it is known).
void PrintError(const char* name, IXMLDOMParseError* error) {
  BSTR reason = nullptr;
  LONG line = 0, column = 0;
  if (error != nullptr) {
    error->get_reason(&reason);
    error->get_line(&line);
    error->get_linepos(&column);
  }
  std::string text = Text(reason);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  if (text.empty()) text = "the document does not load";
  if (line > 0 && column > 0) {
    std::printf("%s:%ld:%ld: %s\n", name, static_cast<long>(line), static_cast<long>(column), text.c_str());
  } else if (line > 0) {
    std::printf("%s:%ld: %s\n", name, static_cast<long>(line), text.c_str());
  } else {
    std::printf("%s: %s\n", name, text.c_str());
  }
}

// The namespace of the document element: the schema the document names.
std::string SchemaNamespace(IXMLDOMDocument2* document) {
  IXMLDOMElementPtr root;
  BSTR uri = nullptr;
  if (document->get_documentElement(&root) != S_OK || root == nullptr) return "";
  root->get_namespaceURI(&uri);
  return Text(uri);
}

// Says why no schema applied to a document, naming the cache entry when the
// collection refused the one it names.
void PrintNoSchema(const char* name, const std::string& urn) {
  if (urn.empty()) {
    std::printf("%s: not validated: it names no schema (xmlns=\"x-schema:<file name>\")\n", name);
    return;
  }
  std::printf("%s: not validated: the platform's schema collection holds no schema %s\n", name, urn.c_str());
  const RefusedEntry refused = FindRefusedEntry();
  if (refused.urn == urn) {
    std::fprintf(stderr,
                 "qzschemas: the schema cache entry %s (file %s) is refused by the schema collection.\n"
                 "Fix: make the file an XSD schema whose targetNamespace is %s, or take it out with "
                 "'qzschemas unregister FILE'.\n",
                 refused.urn.c_str(), refused.file.c_str(), refused.urn.c_str());
  } else {
    std::fprintf(stderr, "qzschemas: register its schema file with 'qzschemas register FILE'; 'qzschemas status' "
                         "shows the schema cache.\n");
  }
}

// Validates one document; true when it validates.
bool ValidateDocument(IXMLDOMSchemaCollection* collection, const char* name) {
  IXMLDOMDocument2Ptr document;
  HRESULT hr = CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                                reinterpret_cast<void**>(&document));
  if (FAILED(hr)) {
    std::fprintf(stderr, "qzschemas: cannot make a DOM document: %s\n", Describe(hr).c_str());
    return false;
  }
  // Loaded without validation, then validated against the collection alone,
  // so that "no schema applies" stays apart from "invalid".
  document->put_async(VARIANT_FALSE);
  document->put_validateOnParse(VARIANT_FALSE);
  document->put_resolveExternals(VARIANT_FALSE);
  document->putref_schemas(_variant_t(static_cast<IDispatch*>(collection)));

  VARIANT_BOOL loaded = VARIANT_FALSE;
  hr = document->load(_variant_t(WindowsPathOf(name).c_str()), &loaded);
  if (FAILED(hr) || loaded == VARIANT_FALSE) {
    IXMLDOMParseErrorPtr error;
    document->get_parseError(&error);
    PrintError(name, error);
    return false;
  }
  IXMLDOMParseErrorPtr error;
  hr = document->validate(&error);
  if (hr == S_OK) {
    std::printf("%s validates\n", name);
    return true;
  }
  if (hr == S_FALSE) {
    PrintNoSchema(name, SchemaNamespace(document));
  } else {
    PrintError(name, error);
  }
  return false;
}

}  // namespace

int Validate(int argc, char** argv) {
  if (argc == 0 || IsHelp(argv[0])) return PrintUsage(kUsage, argc != 0);
  return WithSchemaService([&](IQZXMLSchemaService2* service) {
    const CollectionRequest request = RequestCollection(service);
    if (request.collection == nullptr) {
      ExplainMissingCollection(request);
      return kNoService;
    }
    int status = kCommandOk;
    for (int i = 0; i < argc; ++i) {
      if (!ValidateDocument(request.collection, argv[i])) status = kCommandFailed;
    }
    return status;
  });
}

}  // namespace qzcli
