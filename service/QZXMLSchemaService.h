// The service class behind QZXMLSchemaService. Every object offers itself as
// the class object of its class in its apartment, so later creations there
// get the same object; all objects share the module's schema collection.
#pragma once

#include <atlbase.h>
#include <atlcom.h>
#include <comdef.h>
#include <msxml6.h>

#include "qzschemas.h"
#include "resources/resource.h"

class ATL_NO_VTABLE CQZXMLSchemaService
    : public CComObjectRootEx<CComSingleThreadModel>,
      public CComCoClass<CQZXMLSchemaService, &CLSID_QZXMLSchemaService>,
      public IConnectionPointContainerImpl<CQZXMLSchemaService>,
      public IDispatchImpl<IQZXMLSchemaService2, &IID_IQZXMLSchemaService2, &LIBID_QZSCHEMASLib>,
      public IClassFactory {
 public:
  CQZXMLSchemaService();

  DECLARE_REGISTRY_RESOURCEID(IDR_QZXMLSCHEMASERVICE)
  DECLARE_NOT_AGGREGATABLE(CQZXMLSchemaService)

  BEGIN_COM_MAP(CQZXMLSchemaService)
  COM_INTERFACE_ENTRY2(IQZXMLSchemaService, IQZXMLSchemaService2)
  COM_INTERFACE_ENTRY(IQZXMLSchemaService2)
  COM_INTERFACE_ENTRY2(IDispatch, IQZXMLSchemaService2)
  COM_INTERFACE_ENTRY(IConnectionPointContainer)
  COM_INTERFACE_ENTRY(IClassFactory)
  END_COM_MAP()

  // The event interface is published, but no event is ever fired.
  BEGIN_CONNECTION_POINT_MAP(CQZXMLSchemaService)
  END_CONNECTION_POINT_MAP()

  // Registers the object as its class's class object, then (re)builds the
  // module's schema collection; a failed build does not fail the creation.
  HRESULT FinalConstruct();
  void FinalRelease();

  // IQZXMLSchemaService
  STDMETHOD(get_Schemas)(IXMLDOMSchemaCollection** ppVal) override;
  STDMETHOD(UseSelectedEncoding)(IXMLDOMDocument2* pDoc) override;
  STDMETHOD(GetSelectedEncodingName)(BSTR* pEncoding) override;

  // IQZXMLSchemaService2
  STDMETHOD(RegisterSchema)(BSTR strSchemaFileName, BSTR* strErrroDescription) override;
  STDMETHOD(UnRegisterSchema)(BSTR strSchemaFileName, BSTR* strErrroDescription) override;

  // IClassFactory: the object's own, with which COM serves later creations
  // from its registration. It makes nothing: it hands out this object.
  STDMETHOD(CreateInstance)(IUnknown* pUnkOuter, REFIID riid, void** ppv) override;
  STDMETHOD(LockServer)(BOOL fLock) override;

 private:
  DWORD m_dwRegister;  // 0 while not registered
  _bstr_t m_bstrCachedDeclaration;
};
