// Small COM classes on the shell, with their own interfaces and class ids,
// for the shell's tests.
#pragma once

#include <atlbase.h>
#include <atlcom.h>

namespace atltest {

extern const IID IID_IFirst;
extern const IID IID_ISecond;
extern const IID IID_IDerived;
extern const CLSID CLSID_Plain;
extern const CLSID CLSID_Container;

struct IFirst : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE First() = 0;
};
struct ISecond : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Second() = 0;
};
// Reached through two bases of CPlain: the COM map names the branch.
struct IDerived : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Derived() = 0;
};
struct IDerivedA : public IDerived {};
struct IDerivedB : public IDerived {};

}  // namespace atltest

QZ_DECLARE_UUIDOF(atltest::IFirst, atltest::IID_IFirst)
QZ_DECLARE_UUIDOF(atltest::ISecond, atltest::IID_ISecond)
QZ_DECLARE_UUIDOF(atltest::IDerived, atltest::IID_IDerived)

namespace atltest {

// What the objects' hooks saw, for the tests to look at.
struct Trace {
  static int constructed;
  static int destroyed;
  static LONG countInFinalConstruct;
  static HRESULT finalConstructResult;
  static bool releaseInFinalRelease;
  static void Reset();
};

class ATL_NO_VTABLE CPlain : public CComObjectRootEx<CComSingleThreadModel>,
                             public CComCoClass<CPlain, &CLSID_Plain>,
                             public IFirst,
                             public ISecond,
                             public IDerivedA,
                             public IDerivedB {
 public:
  CPlain() { ++Trace::constructed; }
  ~CPlain() { ++Trace::destroyed; }

  DECLARE_REGISTRY_RESOURCEID(101)

  BEGIN_COM_MAP(CPlain)
  COM_INTERFACE_ENTRY(IFirst)
  COM_INTERFACE_ENTRY(ISecond)
  COM_INTERFACE_ENTRY2(IDerived, IDerivedB)
  END_COM_MAP()

  HRESULT FinalConstruct() {
    Trace::countInFinalConstruct = m_dwRef;
    return Trace::finalConstructResult;
  }
  void FinalRelease() {
    // As an object that revokes its own class-object registration does.
    if (Trace::releaseInFinalRelease) {
      AddRef();
      Release();
    }
  }

  STDMETHOD(First)() override { return S_OK; }
  STDMETHOD(Second)() override { return S_FALSE; }
  STDMETHOD(Derived)() override { return E_NOTIMPL; }
};

// A connection-point container with nothing to connect to; its registry
// script is resource 102.
class ATL_NO_VTABLE CContainer : public CComObjectRootEx<CComMultiThreadModel>,
                                 public CComCoClass<CContainer, &CLSID_Container>,
                                 public IFirst,
                                 public IConnectionPointContainerImpl<CContainer> {
 public:
  DECLARE_REGISTRY_RESOURCEID(102)

  BEGIN_COM_MAP(CContainer)
  COM_INTERFACE_ENTRY(IFirst)
  COM_INTERFACE_ENTRY(IConnectionPointContainer)
  END_COM_MAP()

  BEGIN_CONNECTION_POINT_MAP(CContainer)
  END_CONNECTION_POINT_MAP()

  STDMETHOD(First)() override { return S_OK; }
};

extern _ATL_OBJMAP_ENTRY TestObjectMap[];

}  // namespace atltest
