// Reading back a widl-compiled library: what the IDL says must come out of
// ITypeLib and ITypeInfo.
#include "typelib_test_support.h"

#include <gtest/gtest.h>

namespace typelibtest {
namespace {

constexpr SHORT kPtr = sizeof(void*);

TEST(TypeLibReadBack, LibraryAttributesAndDocumentation) {
  ITypeLibPtr lib = LoadTestLibrary();
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
  EXPECT_TRUE(attr->guid == LIBID_QZTESTLib);
  EXPECT_EQ(attr->wMajorVerNum, 2);
  EXPECT_EQ(attr->wMinorVerNum, 3);
  EXPECT_EQ(attr->lcid, 0x409u);
  EXPECT_EQ(attr->syskind, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
  lib->ReleaseTLibAttr(attr);

  BSTR name = nullptr;
  BSTR doc = nullptr;
  ASSERT_EQ(lib->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
  EXPECT_EQ(Narrow(name), "QZTESTLib");
  EXPECT_EQ(Narrow(doc), "Test 2.3 Type Library");
  SysFreeString(name);
  SysFreeString(doc);
}

TEST(TypeLibReadBack, EntriesInDeclarationOrder) {
  ITypeLibPtr lib = LoadTestLibrary();
  ASSERT_EQ(lib->GetTypeInfoCount(), 5u);
  const TYPEKIND kinds[] = {TKIND_DISPATCH, TKIND_DISPATCH, TKIND_INTERFACE, TKIND_DISPATCH, TKIND_COCLASS};
  const char* names[] = {"ITestFirst", "ITestSecond", "ITestPlain", "_TestEvents", "TestThing"};
  for (UINT i = 0; i < 5; ++i) {
    TYPEKIND kind = TKIND_MAX;
    EXPECT_EQ(lib->GetTypeInfoType(i, &kind), S_OK);
    EXPECT_EQ(kind, kinds[i]) << i;
    ITypeInfo* info = nullptr;
    ASSERT_EQ(lib->GetTypeInfo(i, &info), S_OK);
    EXPECT_EQ(NameOf(info), names[i]);
    ITypeLib* container = nullptr;
    UINT index = 99;
    EXPECT_EQ(info->GetContainingTypeLib(&container, &index), S_OK);
    EXPECT_EQ(container, lib.GetInterfacePtr());
    EXPECT_EQ(index, i);
    container->Release();
    info->Release();
  }
  ITypeInfo* info = nullptr;
  TYPEKIND kind{};
  EXPECT_EQ(lib->GetTypeInfo(5, &info), TYPE_E_ELEMENTNOTFOUND);
  EXPECT_EQ(lib->GetTypeInfoType(5, &kind), TYPE_E_ELEMENTNOTFOUND);
  EXPECT_EQ(lib->GetTypeInfoOfGuid(IID_IDispatch, &info), TYPE_E_ELEMENTNOTFOUND);
}

TEST(TypeLibReadBack, DualInterfaceVtableView) {
  ITypeLibPtr lib = LoadTestLibrary();
  ITypeInfoPtr vtable = VtableView(TypeOfGuid(lib, IID_ITestFirst));
  TYPEATTR attr = AttrOf(vtable);
  EXPECT_EQ(attr.typekind, TKIND_INTERFACE);
  EXPECT_EQ(attr.cFuncs, 4);
  EXPECT_EQ(attr.cbSizeVft, 11 * kPtr);
  EXPECT_EQ(attr.wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION), TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION);
  EXPECT_EQ(DocOf(vtable), "ITestFirst Interface");

  Func get = FuncOf(vtable, 0);
  EXPECT_EQ(get.memid, 1);
  EXPECT_EQ(get.invkind, INVOKE_PROPERTYGET);
  EXPECT_EQ(get.oVft, 7 * kPtr);
  EXPECT_EQ(get.result, VT_HRESULT);
  EXPECT_EQ(get.params, (std::vector<VARTYPE>{VT_PTR}));
  EXPECT_EQ(get.pointees, (std::vector<VARTYPE>{VT_BSTR}));
  EXPECT_EQ(get.flags, (std::vector<USHORT>{PARAMFLAG_FOUT | PARAMFLAG_FRETVAL}));
  EXPECT_EQ(FuncOf(vtable, 1).invkind, INVOKE_PROPERTYPUT);
  EXPECT_EQ(FuncOf(vtable, 1).oVft, 8 * kPtr);

  Func echo = FuncOf(vtable, 2);
  EXPECT_EQ(echo.memid, 2);
  EXPECT_EQ(echo.oVft, 9 * kPtr);
  EXPECT_EQ(echo.params, (std::vector<VARTYPE>{VT_BSTR, VT_PTR}));
  EXPECT_EQ(echo.flags, (std::vector<USHORT>{PARAMFLAG_FIN, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL}));
  EXPECT_EQ(NamesOf(vtable, 2), (std::vector<std::string>{"Echo", "text", "result"}));
  EXPECT_EQ(DocOf(vtable, 2), "Echo it");
  EXPECT_EQ(DocOf(vtable, 1), "property Name");

  Func take = FuncOf(vtable, 3);
  EXPECT_EQ(take.params, (std::vector<VARTYPE>{VT_UNKNOWN, VT_I4}));
  EXPECT_EQ(take.flags[1], PARAMFLAG_FIN | PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT);
  EXPECT_EQ(take.defaults[1], 7);
  EXPECT_EQ(take.cParamsOpt, 1);
}

TEST(TypeLibReadBack, BaseInterfacesIncludingImportedOnes) {
  ITypeLibPtr lib = LoadTestLibrary();
  ITypeInfoPtr second = VtableView(TypeOfGuid(lib, IID_ITestSecond));
  EXPECT_EQ(AttrOf(second).cbSizeVft, 12 * kPtr);
  EXPECT_EQ(FuncOf(second, 0).oVft, 11 * kPtr);
  ITypeInfoPtr first = ImplType(second, 0);
  EXPECT_EQ(NameOf(first), "ITestFirst");
  EXPECT_EQ(AttrOf(first).typekind, TKIND_INTERFACE);  // a vtable interface sees its base's vtable view

  // IDispatch and IUnknown come from stdole2.tlb, found through the registry.
  ITypeInfoPtr dispatch = ImplType(first, 0);
  EXPECT_EQ(NameOf(dispatch), "IDispatch");
  EXPECT_TRUE(AttrOf(dispatch).guid == IID_IDispatch);
  ITypeInfoPtr plain = TypeOfGuid(lib, IID_ITestPlain);
  EXPECT_EQ(AttrOf(plain).wTypeFlags, 0);
  EXPECT_EQ(FuncOf(plain, 0).oVft, 3 * kPtr);
  EXPECT_EQ(NameOf(ImplType(plain, 0)), "IUnknown");
}

TEST(TypeLibReadBack, CoclassInterfacesAndTheirFlags) {
  ITypeLibPtr lib = LoadTestLibrary();
  ITypeInfoPtr thing = TypeOfGuid(lib, CLSID_TestThing);
  TYPEATTR attr = AttrOf(thing);
  EXPECT_EQ(attr.typekind, TKIND_COCLASS);
  EXPECT_EQ(attr.cImplTypes, 3);
  EXPECT_EQ(attr.wTypeFlags, TYPEFLAG_FCANCREATE);
  EXPECT_EQ(DocOf(thing), "Thing Class");
  const char* names[] = {"ITestSecond", "ITestFirst", "_TestEvents"};
  const INT flags[] = {IMPLTYPEFLAG_FDEFAULT, 0, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE};
  for (UINT i = 0; i < 3; ++i) {
    INT found = -1;
    EXPECT_EQ(thing->GetImplTypeFlags(i, &found), S_OK);
    EXPECT_EQ(found, flags[i]) << i;
    ITypeInfoPtr impl = ImplType(thing, i);
    EXPECT_EQ(NameOf(impl), names[i]);
    EXPECT_EQ(AttrOf(impl).typekind, TKIND_DISPATCH);
  }
  INT none = 0;
  EXPECT_EQ(thing->GetImplTypeFlags(3, &none), TYPE_E_ELEMENTNOTFOUND);
}

TEST(TypeLibReadBack, DispinterfaceMembers) {
  ITypeLibPtr lib = LoadTestLibrary();
  ITypeInfoPtr events = TypeOfGuid(lib, DIID__TestEvents);
  TYPEATTR attr = AttrOf(events);
  EXPECT_EQ(attr.cFuncs, 1);
  EXPECT_EQ(attr.cVars, 1);
  EXPECT_EQ(attr.cbSizeVft, 7 * kPtr);
  Func fired = FuncOf(events, 0);
  EXPECT_EQ(fired.memid, 6);
  EXPECT_EQ(fired.funckind, FUNC_DISPATCH);
  EXPECT_EQ(fired.result, VT_VOID);
  VARDESC* var = nullptr;
  ASSERT_EQ(events->GetVarDesc(0, &var), S_OK);
  EXPECT_EQ(var->memid, 5);
  EXPECT_EQ(var->varkind, VAR_DISPATCH);
  EXPECT_EQ(var->elemdescVar.tdesc.vt, VT_I4);
  events->ReleaseVarDesc(var);
  EXPECT_EQ(NameOf(ImplType(events, 0)), "IDispatch");
  HREFTYPE href = 0;
  EXPECT_EQ(events->GetRefTypeOfImplType(static_cast<UINT>(-1), &href), TYPE_E_ELEMENTNOTFOUND);
}

TEST(TypeLibReadBack, IdsOfNamesIgnoreCaseAndReachBaseInterfaces) {
  ITypeLibPtr lib = LoadTestLibrary();
  ITypeInfoPtr second = TypeOfGuid(lib, IID_ITestSecond);
  LPOLESTR echo[] = {const_cast<LPOLESTR>(OLESTR("eCHO")), const_cast<LPOLESTR>(OLESTR("RESULT")),
                     const_cast<LPOLESTR>(OLESTR("Text"))};
  MEMBERID ids[3] = {};
  EXPECT_EQ(second->GetIDsOfNames(echo, 3, ids), S_OK);
  EXPECT_EQ(ids[0], 2);
  EXPECT_EQ(ids[1], 1);
  EXPECT_EQ(ids[2], 0);

  LPOLESTR add[] = {const_cast<LPOLESTR>(OLESTR("add"))};
  EXPECT_EQ(second->GetIDsOfNames(add, 1, ids), S_OK);
  EXPECT_EQ(ids[0], 4);

  LPOLESTR unknown[] = {const_cast<LPOLESTR>(OLESTR("Missing")), const_cast<LPOLESTR>(OLESTR("text"))};
  EXPECT_EQ(second->GetIDsOfNames(unknown, 2, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], DISPID_UNKNOWN);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);

  LPOLESTR badParam[] = {const_cast<LPOLESTR>(OLESTR("Echo")), const_cast<LPOLESTR>(OLESTR("nope"))};
  EXPECT_EQ(second->GetIDsOfNames(badParam, 2, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 2);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
}

}  // namespace
}  // namespace typelibtest
