#include "type_lib_object.h"

#include "msft_layout.h"
#include "text.h"
#include "type_info_object.h"

#include <comdef.h>
#include <oleauto.h>

#include <cstring>

namespace qzwin::typelib {
namespace {

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// The dual interface's vtable view, when `info` is the dispatch view of one.
HRESULT SwitchToVtableView(ITypeInfo** info) {
  TYPEATTR* attr = nullptr;
  HRESULT hr = (*info)->GetTypeAttr(&attr);
  if (FAILED(hr)) return hr;
  bool dual = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
  (*info)->ReleaseTypeAttr(attr);
  if (!dual) return S_OK;
  HREFTYPE other = 0;
  ITypeInfo* vtable = nullptr;
  hr = (*info)->GetRefTypeOfImplType(static_cast<UINT>(-1), &other);
  if (SUCCEEDED(hr)) hr = (*info)->GetRefTypeInfo(other, &vtable);
  if (FAILED(hr)) return hr;
  (*info)->Release();
  *info = vtable;
  return S_OK;
}

}  // namespace

TypeLibObject::TypeLibObject(std::shared_ptr<const LibraryData> data)
    : data_(std::move(data)), imports_(data_->imports.size(), nullptr) {}

TypeLibObject::~TypeLibObject() {
  for (ITypeLib* lib : imports_) {
    if (lib != nullptr) lib->Release();
  }
}

HRESULT TypeLibObject::NewTypeInfo(UINT index, TypeView view, ITypeInfo** info) {
  if (info == nullptr) return E_INVALIDARG;
  *info = nullptr;
  if (index >= data_->types.size()) return TYPE_E_ELEMENTNOTFOUND;
  *info = new TypeInfoObject(this, index, view);
  return S_OK;
}

HRESULT TypeLibObject::LoadImport(int index, ITypeLib** lib) {
  std::lock_guard<std::mutex> lock(importsMutex_);
  ITypeLib*& loaded = imports_[static_cast<std::size_t>(index)];
  if (loaded == nullptr) {
    const ImportedLibrary& import = data_->imports[static_cast<std::size_t>(index)];
    HRESULT hr = LoadRegTypeLib(import.libid, import.majorVersion, import.minorVersion, import.lcid, &loaded);
    if (FAILED(hr)) return hr;
  }
  *lib = loaded;
  loaded->AddRef();
  return S_OK;
}

HRESULT TypeLibObject::ResolveHref(HREFTYPE href, bool fromInterface, ITypeInfo** info) {
  *info = nullptr;
  HRESULT hr = TYPE_E_ELEMENTNOTFOUND;
  if ((href & 3) == 0) {
    std::size_t index = href / msft::kTypeInfoSize;
    if (href % msft::kTypeInfoSize != 0 || index >= data_->types.size()) return TYPE_E_ELEMENTNOTFOUND;
    bool vtable = fromInterface && data_->types[index].IsDual();
    return NewTypeInfo(static_cast<UINT>(index), vtable ? TypeView::DualInterface : TypeView::Stored, info);
  }
  if ((href & 1) != 0) {
    std::size_t entry = (href & ~HREFTYPE{3}) / msft::kImportInfoSize;
    if ((href & ~HREFTYPE{3}) % msft::kImportInfoSize != 0 || entry >= data_->importedTypes.size()) {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    const ImportedType& type = data_->importedTypes[entry];
    if (type.library < 0) return TYPE_E_ELEMENTNOTFOUND;
    ITypeLib* lib = nullptr;
    hr = LoadImport(type.library, &lib);
    if (FAILED(hr)) return hr;
    hr = type.byGuid ? lib->GetTypeInfoOfGuid(type.guid, info)
                     : lib->GetTypeInfo(static_cast<UINT>(type.index), info);
    lib->Release();
    if (SUCCEEDED(hr) && fromInterface) {
      hr = SwitchToVtableView(info);
      if (FAILED(hr)) {
        (*info)->Release();
        *info = nullptr;
      }
    }
  }
  return hr;
}

UINT STDMETHODCALLTYPE TypeLibObject::GetTypeInfoCount() { return static_cast<UINT>(data_->types.size()); }

HRESULT STDMETHODCALLTYPE TypeLibObject::GetTypeInfo(UINT index, ITypeInfo** ppTInfo) {
  return NewTypeInfo(index, TypeView::Stored, ppTInfo);
}

HRESULT STDMETHODCALLTYPE TypeLibObject::GetTypeInfoType(UINT index, TYPEKIND* pTKind) {
  if (pTKind == nullptr) return E_INVALIDARG;
  if (index >= data_->types.size()) return TYPE_E_ELEMENTNOTFOUND;
  *pTKind = data_->types[index].kind;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeLibObject::GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTinfo) {
  if (ppTinfo == nullptr) return E_INVALIDARG;
  *ppTinfo = nullptr;
  for (std::size_t i = 0; i < data_->types.size(); ++i) {
    if (SameGuid(data_->types[i].guid, guid)) return NewTypeInfo(static_cast<UINT>(i), TypeView::Stored, ppTinfo);
  }
  return TYPE_E_ELEMENTNOTFOUND;
}

HRESULT STDMETHODCALLTYPE TypeLibObject::GetLibAttr(TLIBATTR** ppTLibAttr) {
  if (ppTLibAttr == nullptr) return E_INVALIDARG;
  auto* attr = new TLIBATTR{};
  attr->guid = data_->libid;
  attr->lcid = data_->lcid;
  attr->syskind = data_->syskind;
  attr->wMajorVerNum = data_->majorVersion;
  attr->wMinorVerNum = data_->minorVersion;
  attr->wLibFlags = data_->flags;
  *ppTLibAttr = attr;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeLibObject::GetTypeComp(ITypeComp** ppTComp) {
  if (ppTComp != nullptr) *ppTComp = nullptr;
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE TypeLibObject::GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString,
                                                          DWORD* pdwHelpContext, BSTR* pBstrHelpFile) {
  const std::u16string* name = &data_->name;
  const std::u16string* doc = &data_->docString;
  DWORD context = data_->helpContext;
  if (index != -1) {
    if (index < 0 || static_cast<std::size_t>(index) >= data_->types.size()) return TYPE_E_ELEMENTNOTFOUND;
    const TypeData& type = data_->types[static_cast<std::size_t>(index)];
    name = &type.name;
    doc = &type.docString;
    context = type.helpContext;
  }
  try {
    SetBstrOut(pBstrName, *name);
    SetBstrOut(pBstrDocString, *doc);
    SetBstrOut(pBstrHelpFile, data_->helpFile);
  } catch (const _com_error& e) {
    return e.Error();
  }
  if (pdwHelpContext != nullptr) *pdwHelpContext = context;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeLibObject::IsName(LPOLESTR szNameBuf, ULONG, BOOL* pfName) {
  if (szNameBuf == nullptr || pfName == nullptr) return E_INVALIDARG;
  *pfName = FALSE;
  auto found = [&](const std::u16string& name) {
    if (!SameName(szNameBuf, name)) return false;
    std::memcpy(szNameBuf, name.data(), name.size() * sizeof(OLECHAR));  // the library's spelling, same length
    *pfName = TRUE;
    return true;
  };
  for (const TypeData& type : data_->types) {
    if (found(type.name)) return S_OK;
    for (const FuncData& func : type.funcs) {
      if (found(func.name)) return S_OK;
    }
    for (const VarData& var : type.vars) {
      if (found(var.name)) return S_OK;
    }
  }
  return S_OK;
}

HRESULT STDMETHODCALLTYPE TypeLibObject::FindName(LPOLESTR, ULONG, ITypeInfo**, MEMBERID*, USHORT*) {
  return E_NOTIMPL;
}

void STDMETHODCALLTYPE TypeLibObject::ReleaseTLibAttr(TLIBATTR* pTLibAttr) { delete pTLibAttr; }

HRESULT CreateTypeLibObject(std::shared_ptr<const LibraryData> data, ITypeLib** lib) {
  if (lib == nullptr) return E_INVALIDARG;
  try {
    *lib = new TypeLibObject(std::move(data));
    return S_OK;
  } catch (const std::bad_alloc&) {
    *lib = nullptr;
    return E_OUTOFMEMORY;
  }
}

}  // namespace qzwin::typelib
