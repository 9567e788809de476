// Loads arbitrary bytes as the system loads its documents (IPersistStream,
// validating against an inline XDR schema or a DTD, resolving externals),
// then selects in what loaded, saves it and loads the saved bytes again:
// what the DOM saved it must read back. A document that is an XML Schema
// is also compiled into a schema collection.
#include <cstddef>
#include <cstdint>

#include <comdef.h>
#include <msxml6.h>

#include "fuzz/fuzz_support.h"

namespace {

_COM_SMARTPTR_TYPEDEF(IXMLDOMDocument2, __uuidof(IXMLDOMDocument2));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNodeList, __uuidof(IXMLDOMNodeList));
_COM_SMARTPTR_TYPEDEF(IXMLDOMElement, __uuidof(IXMLDOMElement));
_COM_SMARTPTR_TYPEDEF(IXMLDOMSchemaCollection, __uuidof(IXMLDOMSchemaCollection));
_COM_SMARTPTR_TYPEDEF(IPersistStream, __uuidof(IPersistStream));
_COM_SMARTPTR_TYPEDEF(IStream, __uuidof(IStream));

IXMLDOMDocument2Ptr NewDocument(bool validate) {
  IXMLDOMDocument2Ptr doc;
  qzfuzz::Check(SUCCEEDED(doc.CreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_ALL)));
  doc->put_async(VARIANT_FALSE);
  doc->put_resolveExternals(VARIANT_TRUE);
  doc->put_validateOnParse(validate ? VARIANT_TRUE : VARIANT_FALSE);
  return doc;
}

IStreamPtr StreamOf(const void* data, size_t size) {
  IStreamPtr stream;
  qzfuzz::Check(SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)));
  qzfuzz::Check(SUCCEEDED(stream->Write(data, static_cast<ULONG>(size), nullptr)));
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  return stream;
}

HRESULT Load(IXMLDOMDocument2* doc, IStream* stream) {
  IPersistStreamPtr persist;
  qzfuzz::Check(SUCCEEDED(doc->QueryInterface(__uuidof(IPersistStream), reinterpret_cast<void**>(&persist))));
  return persist->Load(stream);
}

void Select(IXMLDOMDocument2* doc) {
  for (const char* xpath : {"//*", "//@*", "/*/*[1]/text()", "//*[@urn][local-name()='QZSchema']"}) {
    IXMLDOMNodeListPtr nodes;
    if (FAILED(doc->selectNodes(_bstr_t(xpath), &nodes)) || !nodes) continue;
    LONG length = 0;
    nodes->get_length(&length);
  }
}

// A loaded XML Schema goes into a collection, as the service adds its
// schemas; whether it compiles is up to the input.
void Compile(IXMLDOMDocument2* doc) {
  IXMLDOMElementPtr root;
  if (doc->get_documentElement(&root) != S_OK || !root) return;
  _variant_t target;
  root->getAttribute(_bstr_t("targetNamespace"), &target);
  IXMLDOMSchemaCollectionPtr collection;
  qzfuzz::Check(SUCCEEDED(collection.CreateInstance(CLSID_XMLSchemaCache60, nullptr, CLSCTX_SERVER)));
  _bstr_t ns = target.vt == VT_BSTR ? _bstr_t(target.bstrVal) : _bstr_t("");
  collection->add(ns, _variant_t(static_cast<IDispatch*>(doc)));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qzfuzz::StartPlatform();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IXMLDOMDocument2Ptr doc = NewDocument(true);
  HRESULT hr = Load(doc, StreamOf(data, size));
  if (FAILED(hr)) {
    // A failed load is explained by its parse error.
    IXMLDOMParseError* error = nullptr;
    qzfuzz::Check(doc->get_parseError(&error) == S_OK && error != nullptr);
    LONG code = 0;
    error->get_errorCode(&code);
    error->Release();
    qzfuzz::Check(code == hr);
    return 0;
  }
  Select(doc);
  BSTR xml = nullptr;
  if (SUCCEEDED(doc->get_xml(&xml))) SysFreeString(xml);

  IStreamPtr saved;
  qzfuzz::Check(SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &saved)));
  IPersistStreamPtr persist = doc;
  if (SUCCEEDED(persist->Save(saved, TRUE))) {
    LARGE_INTEGER start = {};
    saved->Seek(start, STREAM_SEEK_SET, nullptr);
    qzfuzz::Check(SUCCEEDED(Load(NewDocument(false), saved)));
  }
  Compile(doc);
  return 0;
}
