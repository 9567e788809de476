// ITypeLib over a library read from its file.
#pragma once

#include "library_data.h"

#include <memory>
#include <mutex>
#include <vector>

#include <com_object.h>

namespace qzwin::typelib {

// A dual interface is stored once, as TKIND_DISPATCH; its vtable interface
// is a second view of the same entry.
enum class TypeView { Stored, DualInterface };

// The reference that GetRefTypeOfImplType(-1) gives for a dual interface:
// the other view of the same entry.
constexpr HREFTYPE kOtherViewHref = static_cast<HREFTYPE>(-2);

class TypeLibObject final : public ComObject<TypeLibObject, ITypeLib> {
 public:
  explicit TypeLibObject(std::shared_ptr<const LibraryData> data);

  const LibraryData& data() const { return *data_; }

  // The type a reference names, as seen from a vtable interface (which sees
  // the vtable view of a dual base) or from anything else.
  HRESULT ResolveHref(HREFTYPE href, bool fromInterface, ITypeInfo** info);
  HRESULT NewTypeInfo(UINT index, TypeView view, ITypeInfo** info);

  UINT STDMETHODCALLTYPE GetTypeInfoCount() override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, ITypeInfo** ppTInfo) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* pTKind) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTinfo) override;
  HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** ppTLibAttr) override;
  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** ppTComp) override;
  HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString, DWORD* pdwHelpContext,
                                             BSTR* pBstrHelpFile) override;
  HRESULT STDMETHODCALLTYPE IsName(LPOLESTR szNameBuf, ULONG lHashVal, BOOL* pfName) override;
  HRESULT STDMETHODCALLTYPE FindName(LPOLESTR szNameBuf, ULONG lHashVal, ITypeInfo** ppTInfo, MEMBERID* rgMemId,
                                     USHORT* pcFound) override;
  void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* pTLibAttr) override;

 private:
  ~TypeLibObject() override;
  HRESULT LoadImport(int index, ITypeLib** lib);

  std::shared_ptr<const LibraryData> data_;
  std::mutex importsMutex_;
  std::vector<ITypeLib*> imports_;  // loaded on first use, released with the library
};

// A new ITypeLib (one reference) over `data`.
HRESULT CreateTypeLibObject(std::shared_ptr<const LibraryData> data, ITypeLib** lib);

}  // namespace qzwin::typelib
