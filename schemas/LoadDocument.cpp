#include "schemas/LoadDocument.h"

#include <comdef.h>

#include "errors/XMLDOMPtr.h"
#include "errors/CheckResult.h"

HRESULT LoadDocument(const char* path, IXMLDOMDocument2* doc) {
  if (doc == nullptr) return E_INVALIDARG;
  try {
    const _variant_t location(path);
    VARIANT_BOOL isSuccessful = VARIANT_FALSE;
    CheckResult(doc->load(location, &isSuccessful));
    IXMLDOMParseErrorPtr errorObject;
    CheckResult(doc->validate(&errorObject));
    return isSuccessful == VARIANT_TRUE ? S_OK : E_FAIL;
  } catch (const _com_error& error) {
    return error.Error();
  }
}
