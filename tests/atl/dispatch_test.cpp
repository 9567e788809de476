// The type-information IDispatch: its type info comes from the registered
// type library (a later minor version will do), is loaded once and kept
// until the module's Term.
#include <gtest/gtest.h>

#include "shell_fixture.h"
#include "shell_test.h"

namespace atltest {
namespace {

template <WORD major>
class ATL_NO_VTABLE CDual : public CComObjectRootEx<CComSingleThreadModel>,
                            public IDispatchImpl<IShellDual, &IID_IShellDual, &LIBID_ShellTestLib, major, 0> {
 public:
  BEGIN_COM_MAP(CDual)
  COM_INTERFACE_ENTRY(IShellDual)
  COM_INTERFACE_ENTRY(IDispatch)
  END_COM_MAP()

  STDMETHOD(Twice)(LONG value, LONG* result) override {
    *result = 2 * value;
    return S_OK;
  }
  static ITypeInfo* Kept() { return CDual::_tih.m_pInfo; }
};

template <WORD major>
IDispatch* NewDual() {
  CComObject<CDual<major> >* object = nullptr;
  EXPECT_EQ(CComObject<CDual<major> >::CreateInstance(&object), S_OK);
  object->AddRef();
  return object;
}

void RegisterTestLibrary() {
  ITypeLib* library = nullptr;
  ASSERT_EQ(LoadTypeLib(QZ_SHELL_TEST_TYPELIB, &library), S_OK);
  ASSERT_EQ(RegisterTypeLib(library, QZ_SHELL_TEST_TYPELIB, nullptr), S_OK);
  library->Release();
}

using DispatchTest = ShellTest;

TEST_F(DispatchTest, TypeInformationComesFromTheRegisteredLibrary) {
  IDispatch* dual = NewDual<1>();
  UINT count = 0;
  EXPECT_EQ(dual->GetTypeInfoCount(nullptr), E_POINTER);
  EXPECT_EQ(dual->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 1u);
  ITypeInfo* info = nullptr;
  EXPECT_EQ(dual->GetTypeInfo(0, 0, &info), TYPE_E_LIBNOTREGISTERED) << "nothing registered yet";
  EXPECT_EQ(info, nullptr);

  RegisterTestLibrary();
  EXPECT_EQ(dual->GetTypeInfo(1, 0, &info), DISP_E_BADINDEX);
  ASSERT_EQ(dual->GetTypeInfo(0, 0, &info), S_OK) << "1.0 is served by the registered 1.3";
  ITypeInfo* again = nullptr;
  ASSERT_EQ(dual->GetTypeInfo(0, 0x409, &again), S_OK);
  EXPECT_EQ(info, again) << "loaded once and kept";
  TYPEATTR* attributes = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
  EXPECT_EQ(attributes->guid, IID_IShellDual);
  info->ReleaseTypeAttr(attributes);
  again->Release();
  info->Release();

  LPOLESTR names[] = {const_cast<LPOLESTR>(OLESTR("TWICE"))};
  DISPID id = 0;
  EXPECT_EQ(dual->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 1);
  names[0] = const_cast<LPOLESTR>(OLESTR("Thrice"));
  EXPECT_EQ(dual->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);

  dual->Release();
  ASSERT_NE(CDual<1>::Kept(), nullptr);
  module_.Term();
  EXPECT_EQ(CDual<1>::Kept(), nullptr) << "Term releases the kept type info";
}

TEST_F(DispatchTest, AnotherMajorVersionIsNotServed) {
  RegisterTestLibrary();
  IDispatch* dual = NewDual<2>();
  ITypeInfo* info = nullptr;
  EXPECT_EQ(dual->GetTypeInfo(0, 0, &info), TYPE_E_LIBNOTREGISTERED);
  DISPID id = 0;
  LPOLESTR name = const_cast<LPOLESTR>(OLESTR("Twice"));
  EXPECT_EQ(dual->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), TYPE_E_LIBNOTREGISTERED);
  dual->Release();
}

}  // namespace
}  // namespace atltest
