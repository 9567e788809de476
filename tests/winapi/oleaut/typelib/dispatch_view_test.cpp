// A dual interface as IDispatch clients see it: the whole vtable, inherited
// functions first, with [out, retval] parameters shown as results.
#include "typelib_test_support.h"

#include <gtest/gtest.h>

namespace typelibtest {
namespace {

TEST(TypeLibDispatchView, ListsTheWholeVtableAsDispatchFunctions) {
  ITypeLibPtr lib = LoadTestLibrary();
  ITypeInfoPtr second = TypeOfGuid(lib, IID_ITestSecond);
  TYPEATTR attr = AttrOf(second);
  EXPECT_EQ(attr.typekind, TKIND_DISPATCH);
  EXPECT_EQ(attr.cFuncs, 12);  // IUnknown 3, IDispatch 4, ITestFirst 4, its own 1
  EXPECT_EQ(attr.cbSizeVft, 7 * sizeof(void*));
  EXPECT_EQ(attr.wTypeFlags & TYPEFLAG_FOLEAUTOMATION, 0);
  EXPECT_NE(attr.wTypeFlags & TYPEFLAG_FDUAL, 0);
  EXPECT_EQ(NameOf(ImplType(second, 0)), "IDispatch");

  Func query = FuncOf(second, 0);
  EXPECT_EQ(query.funckind, FUNC_DISPATCH);
  EXPECT_EQ(NamesOf(second, query.memid).front(), "QueryInterface");

  Func name = FuncOf(second, 7);
  EXPECT_EQ(name.memid, 1);
  EXPECT_EQ(name.invkind, INVOKE_PROPERTYGET);
  EXPECT_EQ(name.result, VT_BSTR);
  EXPECT_TRUE(name.params.empty());

  Func add = FuncOf(second, 11);
  EXPECT_EQ(add.memid, 4);
  EXPECT_EQ(add.result, VT_I4);
  EXPECT_EQ(add.params, (std::vector<VARTYPE>{VT_I4, VT_I4}));
  EXPECT_EQ(NamesOf(second, 4), (std::vector<std::string>{"Add", "a", "b"}));

  Func take = FuncOf(second, 10);
  EXPECT_EQ(take.result, VT_VOID);  // an HRESULT without [out, retval] gives nothing back
  EXPECT_EQ(take.defaults[1], 7);

  FUNCDESC* none = nullptr;
  EXPECT_EQ(second->GetFuncDesc(12, &none), TYPE_E_ELEMENTNOTFOUND);
}

TEST(TypeLibDispatchView, ViewsTurnIntoEachOther) {
  ITypeLibPtr lib = LoadTestLibrary();
  ITypeInfoPtr dispatch = TypeOfGuid(lib, IID_ITestFirst);
  ITypeInfoPtr vtable = VtableView(dispatch);
  ITypeInfoPtr back = VtableView(vtable);
  EXPECT_EQ(AttrOf(back).typekind, TKIND_DISPATCH);
  EXPECT_EQ(AttrOf(back).cFuncs, 11);
  // Member lookups answer the same in both views.
  EXPECT_EQ(DocOf(dispatch, 2), DocOf(vtable, 2));
  EXPECT_EQ(NamesOf(dispatch, 2), (std::vector<std::string>{"Echo", "text"}));
}

}  // namespace
}  // namespace typelibtest
