// A Windows client of the schema service that knows only what the service
// publishes: the class and interfaces of its type library, created with
// CoCreateInstance and called through the vtable and through IDispatch.
//
//   qzschemas_client <registered schema> <new schema>
//
// The platform is expected to be set up: the resolver and the library
// registered, the shared directory holding the encodings file of examples/,
// and two existing schema files: <registered schema> in the schema cache,
// <new schema> not. Prints one line per check, "ok" or "FAIL", and lines
// starting with "#" for what it found; the exit code is the number of
// failed checks.
//
// Registering adds an element with an empty data type, which not every
// MSXML 6 accepts (Wine's refuses it). The client asks the MSXML at hand
// first and expects of RegisterSchema what the service promises with it:
// the new entry, or the answer "Internal error in the module".
#include <windows.h>

#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <string>

#include "qzschemas.h"

namespace {

// The declaration that the encodings file of examples/ selects.
const wchar_t kExpectedDeclaration[] = L"<?xml version='1.0' encoding ='ISO-8859-1'?>";
const wchar_t kExpectedEncodingData[] = L"version='1.0' encoding ='ISO-8859-1'";
// The answers of RegisterSchema for a null and for a missing file name.
const HRESULT kNoFileResult = 123;

int g_failures = 0;

std::string Narrow(const wchar_t* text) {
  if (text == nullptr) return "(null)";
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return "(unconvertible)";
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
  result.resize(static_cast<std::size_t>(size - 1));
  return result;
}

void Check(bool passed, const char* what) {
  std::printf("%s %s\n", passed ? "ok  " : "FAIL", what);
  if (!passed) ++g_failures;
}

void CheckResult(HRESULT actual, HRESULT expected, const char* what) {
  if (actual != expected) {
    std::printf("#   got 0x%08lX, expected 0x%08lX\n", static_cast<unsigned long>(actual),
                static_cast<unsigned long>(expected));
  }
  Check(actual == expected, what);
}

void CheckText(BSTR actual, const std::wstring& expected, const char* what) {
  const bool same = actual != nullptr && expected == actual;
  if (!same) std::printf("#   got \"%s\", expected \"%s\"\n", Narrow(actual).c_str(), Narrow(expected.c_str()).c_str());
  Check(same, what);
}

// Releases an interface pointer at the end of a scope.
template <typename T>
class Ref {
 public:
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p_ != nullptr) p_->Release();
  }
  T** Out() { return &p_; }
  void** OutVoid() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  T* Get() const { return p_; }

 private:
  T* p_ = nullptr;
};

// Frees a BSTR at the end of a scope.
class Text {
 public:
  Text() = default;
  explicit Text(const wchar_t* text) : b_(SysAllocString(text)) {}
  Text(const Text&) = delete;
  Text& operator=(const Text&) = delete;
  ~Text() { SysFreeString(b_); }
  BSTR* Out() {
    SysFreeString(b_);
    b_ = nullptr;
    return &b_;
  }
  BSTR Get() const { return b_; }

 private:
  BSTR b_ = nullptr;
};

std::wstring Sentence(const wchar_t* format, const std::wstring& name) {
  std::wstring text(format);
  return text.replace(text.find(L"%s"), 2, name);
}

void ListCollection(IXMLDOMSchemaCollection* collection) {
  LONG length = -1;
  Check(SUCCEEDED(collection->get_length(&length)) && length >= 0, "the collection tells its length");
  std::printf("# the collection holds %ld schema(s)\n", static_cast<long>(length));
  for (LONG i = 0; i < length; ++i) {
    Text uri;
    if (SUCCEEDED(collection->get_namespaceURI(i, uri.Out()))) std::printf("#   %s\n", Narrow(uri.Get()).c_str());
  }
}

// The last child of the document: the instruction UseSelectedEncoding adds.
void CheckAppendedDeclaration(IXMLDOMDocument2* doc, const char* what) {
  Ref<IXMLDOMNode> last;
  Ref<IXMLDOMProcessingInstruction> instruction;
  Text target;
  Text data;
  const bool found = SUCCEEDED(doc->get_lastChild(last.Out())) && last.Get() != nullptr &&
                     SUCCEEDED(last->QueryInterface(IID_IXMLDOMProcessingInstruction, instruction.OutVoid())) &&
                     SUCCEEDED(instruction->get_target(target.Out())) &&
                     SUCCEEDED(instruction->get_data(data.Out()));
  Check(found, what);
  if (!found) return;
  CheckText(target.Get(), L"xml", "  its target is xml");
  CheckText(data.Get(), kExpectedEncodingData, "  its data is the selected EncodingType");
}

HRESULT NewDocument(IXMLDOMDocument2** doc) {
  return CoCreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument2,
                          reinterpret_cast<void**>(doc));
}

// Whether this MSXML gives an element the empty data type, as registering
// a schema does to the cache's new entry.
bool AcceptsEmptyDataType() {
  Ref<IXMLDOMDocument2> doc;
  Ref<IXMLDOMElement> element;
  Text name(L"probe");
  Text empty(L"");
  if (FAILED(NewDocument(doc.Out())) || FAILED(doc->createElement(name.Get(), element.Out()))) return false;
  const HRESULT hr = element->put_dataType(empty.Get());
  std::printf("# this MSXML answers put_dataType(\"\") with 0x%08lX\n", static_cast<unsigned long>(hr));
  return SUCCEEDED(hr);
}

// What the service answers to registering a file that is not in the cache.
struct RegisterExpectation {
  HRESULT result;
  std::wstring sentence;
};

RegisterExpectation ExpectedRegistration(bool acceptsEmptyDataType, const std::wstring& file) {
  if (acceptsEmptyDataType) return {S_OK, Sentence(L"Schema cache succesfully updated with [%s]", file)};
  return {E_FAIL, L"Internal error in the module"};
}

void CheckVtable(IQZXMLSchemaService2* service, const std::wstring& registeredFile, const std::wstring& newFile,
                 bool acceptsEmptyDataType) {
  std::puts("# through the vtable");
  {
    Ref<IXMLDOMSchemaCollection> collection;
    CheckResult(service->get_Schemas(collection.Out()), S_OK, "Schemas hands out the collection");
    Check(collection.Get() != nullptr, "  the collection is there");
    if (collection.Get() != nullptr) ListCollection(collection.Get());
  }
  {
    Text declaration;
    CheckResult(service->GetSelectedEncodingName(declaration.Out()), S_OK, "GetSelectedEncodingName succeeds");
    CheckText(declaration.Get(), kExpectedDeclaration, "  it returns the selected declaration");
    Text again;
    CheckResult(service->GetSelectedEncodingName(again.Out()), S_OK, "GetSelectedEncodingName succeeds again");
    CheckText(again.Get(), kExpectedDeclaration, "  with the same declaration");
    CheckResult(service->GetSelectedEncodingName(nullptr), E_INVALIDARG, "GetSelectedEncodingName(null) is refused");
  }
  {
    Ref<IXMLDOMDocument2> doc;
    CheckResult(NewDocument(doc.Out()), S_OK, "an MSXML 6 document is made");
    if (doc.Get() != nullptr) {
      CheckResult(service->UseSelectedEncoding(doc.Get()), S_OK, "UseSelectedEncoding succeeds");
      CheckAppendedDeclaration(doc.Get(), "  the document ends in an xml instruction");
    }
    CheckResult(service->UseSelectedEncoding(nullptr), E_INVALIDARG, "UseSelectedEncoding(null) is refused");
  }
  {
    Text registered(registeredFile.c_str());
    Text sentence;
    CheckResult(service->RegisterSchema(registered.Get(), sentence.Out()), S_OK,
                "RegisterSchema of a registered file succeeds");
    CheckText(sentence.Get(), Sentence(L"The file:[%s] is already regsitered", registeredFile),
              "  and says it is registered");
    CheckResult(service->UnRegisterSchema(registered.Get(), nullptr), S_OK, "UnRegisterSchema removes it");
    CheckResult(service->UnRegisterSchema(registered.Get(), nullptr), E_FAIL, "UnRegisterSchema of it again fails");

    Text added(newFile.c_str());
    const RegisterExpectation expected = ExpectedRegistration(acceptsEmptyDataType, newFile);
    CheckResult(service->RegisterSchema(added.Get(), sentence.Out()), expected.result,
                "RegisterSchema of a new file answers as this MSXML lets it");
    CheckText(sentence.Get(), expected.sentence, "  with its sentence");
    CheckResult(service->UnRegisterSchema(added.Get(), nullptr), acceptsEmptyDataType ? S_OK : E_FAIL,
                "UnRegisterSchema of it finds what RegisterSchema left");

    CheckResult(service->RegisterSchema(nullptr, sentence.Out()), kNoFileResult, "RegisterSchema(null) answers 123");
    CheckText(sentence.Get(),
              L"You cant register without a file name rememebr to set the: strSchemaFileName parameter",
              "  with its sentence");
    const std::wstring absent = L"C:\\qzclient-absent\\Absent.xsd";
    Text absentName(absent.c_str());
    CheckResult(service->RegisterSchema(absentName.Get(), sentence.Out()), kNoFileResult,
                "RegisterSchema of a missing file answers 123");
    CheckText(sentence.Get(), Sentence(L"The file:[%s] Does not exist", absent), "  with its sentence");
    CheckResult(service->UnRegisterSchema(nullptr, nullptr), E_INVALIDARG, "UnRegisterSchema(null) is refused");
  }
}

void CheckIdentity(IQZXMLSchemaService2* service) {
  std::puts("# the object's interfaces");
  Ref<IQZXMLSchemaService> first;
  CheckResult(service->QueryInterface(IID_IQZXMLSchemaService, first.OutVoid()), S_OK, "it is an IQZXMLSchemaService");
  Ref<IDispatch> dispatch;
  CheckResult(service->QueryInterface(IID_IDispatch, dispatch.OutVoid()), S_OK, "it is an IDispatch");
  Ref<ISupportErrorInfo> errorInfo;
  CheckResult(service->QueryInterface(IID_ISupportErrorInfo, errorInfo.OutVoid()), E_NOINTERFACE,
              "it is no ISupportErrorInfo");
  Ref<IConnectionPointContainer> container;
  CheckResult(service->QueryInterface(IID_IConnectionPointContainer, container.OutVoid()), S_OK,
              "it is an IConnectionPointContainer");
  if (container.Get() != nullptr) {
    Ref<IConnectionPoint> point;
    CheckResult(container->FindConnectionPoint(DIID__IQZXMLSchemaServiceEvents, point.Out()), CONNECT_E_NOCONNECTION,
                "  it has no connection point for its events");
  }
}

// Calls IDispatch as a script host does: names looked up in the user's
// locale, a failed method reported as DISP_E_EXCEPTION with its HRESULT in
// the exception's scode (returned here in its place).
class Automation {
 public:
  explicit Automation(IDispatch* dispatch) : dispatch_(dispatch) {}

  // Invokes member `name`, whose DISPID must be `expectedId`, with the
  // arguments given last first.
  HRESULT Invoke(const wchar_t* name, DISPID expectedId, WORD flags, VARIANT* args, UINT count, VARIANT* result) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = dispatch_->GetIDsOfNames(IID_NULL, names, 1, kLocale, &id);
    if (FAILED(hr)) return hr;
    if (id != expectedId) {
      std::printf("#   %s has DISPID %ld, expected %ld\n", Narrow(name).c_str(), static_cast<long>(id),
                  static_cast<long>(expectedId));
      return E_UNEXPECTED;
    }
    DISPPARAMS params = {args, nullptr, count, 0};
    EXCEPINFO exception = {};
    hr = dispatch_->Invoke(id, IID_NULL, kLocale, flags, &params, result, &exception, nullptr);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    if (hr == DISP_E_EXCEPTION && FAILED(exception.scode)) return exception.scode;
    return hr;
  }

  HRESULT LookUp(const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    return dispatch_->GetIDsOfNames(IID_NULL, names, 1, kLocale, &id);
  }

 private:
  static inline const LCID kLocale = GetUserDefaultLCID();
  IDispatch* dispatch_;
};

void CheckDispatch(IQZXMLSchemaService2* service, const std::wstring& newFile, bool acceptsEmptyDataType) {
  std::printf("# through IDispatch, in the user's locale 0x%04lX\n", static_cast<unsigned long>(GetUserDefaultLCID()));
  Ref<IDispatch> dispatch;
  if (FAILED(service->QueryInterface(IID_IDispatch, dispatch.OutVoid()))) return;
  Automation automation(dispatch.Get());

  UINT count = 0;
  CheckResult(dispatch->GetTypeInfoCount(&count), S_OK, "GetTypeInfoCount succeeds");
  Check(count == 1, "  it has type information");

  VARIANT result;
  VariantInit(&result);
  CheckResult(automation.Invoke(L"Schemas", 1, DISPATCH_PROPERTYGET, nullptr, 0, &result), S_OK, "Schemas is invoked");
  Check(V_VT(&result) == VT_DISPATCH && V_DISPATCH(&result) != nullptr, "  it gives an object");
  if (V_VT(&result) == VT_DISPATCH && V_DISPATCH(&result) != nullptr) {
    Ref<IXMLDOMSchemaCollection> collection;
    CheckResult(V_DISPATCH(&result)->QueryInterface(IID_IXMLDOMSchemaCollection, collection.OutVoid()), S_OK,
                "  the object is a schema collection");
  }
  VariantClear(&result);

  CheckResult(automation.Invoke(L"getselectedencodingname", 3, DISPATCH_METHOD, nullptr, 0, &result), S_OK,
              "GetSelectedEncodingName is invoked by a name in other case");
  CheckText(V_VT(&result) == VT_BSTR ? V_BSTR(&result) : nullptr, kExpectedDeclaration, "  it gives the declaration");
  VariantClear(&result);

  Ref<IXMLDOMDocument2> doc;
  if (SUCCEEDED(NewDocument(doc.Out()))) {
    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_DISPATCH;
    V_DISPATCH(&arg) = doc.Get();
    CheckResult(automation.Invoke(L"UseSelectedEncoding", 2, DISPATCH_METHOD, &arg, 1, nullptr), S_OK,
                "UseSelectedEncoding is invoked");
    CheckAppendedDeclaration(doc.Get(), "  the document ends in an xml instruction");
  }

  VARIANT name;
  VariantInit(&name);
  V_VT(&name) = VT_BSTR;
  V_BSTR(&name) = SysAllocString(newFile.c_str());
  const RegisterExpectation expected = ExpectedRegistration(acceptsEmptyDataType, newFile);
  CheckResult(automation.Invoke(L"RegisterSchema", 4, DISPATCH_METHOD, &name, 1, &result), expected.result,
              "RegisterSchema is invoked");
  if (SUCCEEDED(expected.result)) {
    CheckText(V_VT(&result) == VT_BSTR ? V_BSTR(&result) : nullptr, expected.sentence, "  it gives the sentence");
  }
  VariantClear(&result);
  CheckResult(automation.Invoke(L"UnRegisterSchema", 5, DISPATCH_METHOD, &name, 1, &result),
              acceptsEmptyDataType ? S_OK : E_FAIL, "UnRegisterSchema is invoked");
  VariantClear(&result);
  VariantClear(&name);

  CheckResult(automation.LookUp(L"NoSuchMember"), DISP_E_UNKNOWNNAME, "an unknown name has no DISPID");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fputs("usage: qzschemas_client <registered schema> <new schema>\n", stderr);
    return 2;
  }
  const std::wstring registeredFile = argv[1];
  const std::wstring newFile = argv[2];

  if (FAILED(CoInitialize(nullptr))) {
    std::puts("FAIL CoInitialize");
    return 1;
  }
  {
    const bool acceptsEmptyDataType = AcceptsEmptyDataType();
    Ref<IQZXMLSchemaService2> service;
    CheckResult(CoCreateInstance(CLSID_QZXMLSchemaService, nullptr, CLSCTX_INPROC_SERVER, IID_IQZXMLSchemaService2,
                                 service.OutVoid()),
                S_OK, "CoCreateInstance makes a QZXMLSchemaService");
    if (service.Get() != nullptr) {
      CheckIdentity(service.Get());
      CheckVtable(service.Get(), registeredFile, newFile, acceptsEmptyDataType);
      CheckDispatch(service.Get(), newFile, acceptsEmptyDataType);
    }
  }
  CoUninitialize();
  std::printf("# %d check(s) failed\n", g_failures);
  return g_failures;
}
