// qzschemas encoding [--apply IN OUT]: the platform's active encoding, asked
// of the registered schema service like any client asks it.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <windows.h>
#include <comdef.h>
#include <msxml6.h>
#include <objbase.h>

#include "command_line.h"
#include "commands.h"
#include "errors/XMLDOMPtr.h"
#include "qzschemas.h"

_COM_SMARTPTR_TYPEDEF(IQZXMLSchemaService, __uuidof(IQZXMLSchemaService));

namespace qzcli {
namespace {

constexpr int kFailed = kCommandFailed;

int Usage(FILE* out) {
  std::fprintf(out,
               "usage: qzschemas encoding              print the declaration of the platform's active encoding\n"
               "       qzschemas encoding --apply IN OUT\n"
               "                                       write IN to OUT with that declaration at its start\n");
  return out == stdout ? kCommandOk : kCommandUsage;
}

int Fail(const char* what, HRESULT hr) {
  std::fprintf(stderr, "qzschemas: %s (0x%08X)\n", what, static_cast<unsigned>(hr));
  return kFailed;
}

// The text of a BSTR in the system code page; empty for null.
std::string Narrow(BSTR text) {
  const _bstr_t copy(text, true);
  const char* narrow = copy;
  return narrow != nullptr ? narrow : "";
}

// A path as the DOM takes it: Windows paths as they stand, POSIX paths made
// absolute so that a relative name means the current directory.
std::string DomPath(const char* argument) {
  const bool windowsForm = std::strlen(argument) >= 2 && argument[1] == ':';
  if (windowsForm || argument[0] == '\\') return argument;
  std::error_code error;
  std::filesystem::path absolute = std::filesystem::absolute(argument, error);
  return error ? argument : absolute.string();
}

IXMLDOMDocument2Ptr NewDocument(HRESULT* hr) {
  IXMLDOMDocument2Ptr document;
  *hr = CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                         reinterpret_cast<void**>(&document));
  if (SUCCEEDED(*hr)) *hr = document->put_async(VARIANT_FALSE);
  return document;
}

// Loads IN; on failure says why, with the parser's reason and place.
int Load(IXMLDOMDocument2* document, const std::string& path, const char* argument) {
  VARIANT_BOOL loaded = VARIANT_FALSE;
  HRESULT hr = document->load(_variant_t(path.c_str()), &loaded);
  if (SUCCEEDED(hr) && loaded != VARIANT_FALSE) return 0;
  IXMLDOMParseErrorPtr error;
  LONG code = 0, line = 0;
  BSTR reason = nullptr;
  if (SUCCEEDED(document->get_parseError(&error))) {
    error->get_errorCode(&code);
    error->get_line(&line);
    error->get_reason(&reason);
  }
  std::fprintf(stderr, "qzschemas: cannot load %s: %s (line %ld, 0x%08X)\n", argument, Narrow(reason).c_str(),
               static_cast<long>(line), static_cast<unsigned>(code));
  SysFreeString(reason);
  return kFailed;
}

bool HasDeclaration(IXMLDOMDocument2* document) {
  IXMLDOMNodePtr first;
  if (document->get_firstChild(&first) != S_OK) return false;
  DOMNodeType type = NODE_INVALID;
  BSTR name = nullptr;
  first->get_nodeType(&type);
  first->get_nodeName(&name);
  const bool declaration = type == NODE_PROCESSING_INSTRUCTION && Narrow(name) == "xml";
  SysFreeString(name);
  return declaration;
}

// Moves the last top-level node, the declaration just appended, to the front.
HRESULT MoveLastToFront(IXMLDOMDocument2* document) {
  IXMLDOMNodePtr first, last, moved;
  HRESULT hr = document->get_firstChild(&first);
  if (SUCCEEDED(hr)) hr = document->get_lastChild(&last);
  if (SUCCEEDED(hr) && first != last) {
    hr = document->insertBefore(last, _variant_t(static_cast<IUnknown*>(first)), &moved);
  }
  return hr;
}

int PrintDeclaration(IQZXMLSchemaService* service) {
  BSTR declaration = nullptr;
  HRESULT hr = service->GetSelectedEncodingName(&declaration);
  if (FAILED(hr)) {
    return Fail("the active encoding cannot be read; is the encodings file there and valid? "
                "'qzschemas paths' shows where it is looked for",
                hr);
  }
  std::printf("%s\n", Narrow(declaration).c_str());
  SysFreeString(declaration);
  return 0;
}

int Apply(IQZXMLSchemaService* service, const char* in, const char* out) {
  HRESULT hr = S_OK;
  IXMLDOMDocument2Ptr document = NewDocument(&hr);
  if (FAILED(hr)) return Fail("cannot make a DOM document", hr);
  if (int status = Load(document, DomPath(in), in)) return status;
  if (HasDeclaration(document)) {
    std::fprintf(stderr, "qzschemas: %s already has an XML declaration; nothing written\n", in);
    return kFailed;
  }
  // The service appends the declaration; the document needs it first.
  hr = service->UseSelectedEncoding(document);
  if (FAILED(hr)) return Fail("the active encoding cannot be applied", hr);
  hr = MoveLastToFront(document);
  if (FAILED(hr)) return Fail("the declaration cannot be put at the start", hr);
  hr = document->save(_variant_t(DomPath(out).c_str()));
  if (FAILED(hr)) {
    std::fprintf(stderr, "qzschemas: cannot save %s (0x%08X)\n", out, static_cast<unsigned>(hr));
    return kFailed;
  }
  return 0;
}

int Run(bool apply, const char* in, const char* out) {
  IQZXMLSchemaServicePtr service;
  HRESULT hr = CoCreateInstance(CLSID_QZXMLSchemaService, nullptr, CLSCTX_INPROC_SERVER, IID_IQZXMLSchemaService,
                                reinterpret_cast<void**>(&service));
  if (FAILED(hr)) {
    std::fprintf(stderr,
                 "qzschemas: the schema service is not available (0x%08X).\n"
                 "Set the platform up with 'qzschemas setup'.\n",
                 static_cast<unsigned>(hr));
    return kNoService;
  }
  return apply ? Apply(service, in, out) : PrintDeclaration(service);
}

}  // namespace

int Encoding(int argc, char** argv) {
  if (argc == 1 && IsHelp(argv[0])) return Usage(stdout);
  const bool apply = argc == 3 && std::strcmp(argv[0], "--apply") == 0;
  if (argc != 0 && !apply) return Usage(stderr);
  if (FAILED(CoInitialize(nullptr))) return kFailed;
  const int status = Run(apply, apply ? argv[1] : nullptr, apply ? argv[2] : nullptr);
  CoUninitialize();
  return status;
}

}  // namespace qzcli
