#include "typelib_test_support.h"

#include <gtest/gtest.h>

namespace typelibtest {

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

ITypeLibPtr LoadTestLibrary() {
  ITypeLib* lib = nullptr;
  EXPECT_EQ(LoadTypeLibEx(Wide(TYPELIB_TEST_TLB).c_str(), REGKIND_NONE, &lib), S_OK);
  return ITypeLibPtr(lib, false);
}

ITypeInfoPtr TypeOfGuid(ITypeLib* lib, const GUID& guid) {
  ITypeInfo* info = nullptr;
  EXPECT_EQ(lib->GetTypeInfoOfGuid(guid, &info), S_OK);
  return ITypeInfoPtr(info, false);
}

ITypeInfoPtr VtableView(ITypeInfo* dual) {
  HREFTYPE href = 0;
  ITypeInfo* info = nullptr;
  EXPECT_EQ(dual->GetRefTypeOfImplType(static_cast<UINT>(-1), &href), S_OK);
  EXPECT_EQ(dual->GetRefTypeInfo(href, &info), S_OK);
  return ITypeInfoPtr(info, false);
}

ITypeInfoPtr ImplType(ITypeInfo* info, UINT index) {
  HREFTYPE href = 0;
  ITypeInfo* ref = nullptr;
  EXPECT_EQ(info->GetRefTypeOfImplType(index, &href), S_OK);
  EXPECT_EQ(info->GetRefTypeInfo(href, &ref), S_OK);
  return ITypeInfoPtr(ref, false);
}

std::string NameOf(ITypeInfo* info, MEMBERID memid) {
  BSTR name = nullptr;
  EXPECT_EQ(info->GetDocumentation(memid, &name, nullptr, nullptr, nullptr), S_OK);
  std::string text = Narrow(name);
  SysFreeString(name);
  return text;
}

std::string DocOf(ITypeInfo* info, MEMBERID memid) {
  BSTR doc = nullptr;
  EXPECT_EQ(info->GetDocumentation(memid, nullptr, &doc, nullptr, nullptr), S_OK);
  std::string text = Narrow(doc);
  SysFreeString(doc);
  return text;
}

std::vector<std::string> NamesOf(ITypeInfo* info, MEMBERID memid) {
  constexpr UINT kMaxNames = 8;
  BSTR names[kMaxNames] = {};
  UINT count = 0;
  EXPECT_EQ(info->GetNames(memid, names, kMaxNames, &count), S_OK);
  std::vector<std::string> result;
  for (UINT i = 0; i < count; ++i) {
    result.push_back(Narrow(names[i]));
    SysFreeString(names[i]);
  }
  return result;
}

TYPEATTR AttrOf(ITypeInfo* info) {
  TYPEATTR* attr = nullptr;
  EXPECT_EQ(info->GetTypeAttr(&attr), S_OK);
  TYPEATTR copy = *attr;
  info->ReleaseTypeAttr(attr);
  return copy;
}

Func FuncOf(ITypeInfo* info, UINT index) {
  FUNCDESC* desc = nullptr;
  Func func{};
  EXPECT_EQ(info->GetFuncDesc(index, &desc), S_OK);
  if (desc == nullptr) return func;
  func.memid = desc->memid;
  func.funckind = desc->funckind;
  func.invkind = desc->invkind;
  func.oVft = desc->oVft;
  func.cParamsOpt = desc->cParamsOpt;
  func.result = desc->elemdescFunc.tdesc.vt;
  func.resultPointee = func.result == VT_PTR ? desc->elemdescFunc.tdesc.lptdesc->vt : VARTYPE{VT_EMPTY};
  for (SHORT i = 0; i < desc->cParams; ++i) {
    const ELEMDESC& param = desc->lprgelemdescParam[i];
    func.params.push_back(param.tdesc.vt);
    func.pointees.push_back(param.tdesc.vt == VT_PTR ? param.tdesc.lptdesc->vt : VARTYPE{VT_EMPTY});
    func.flags.push_back(param.paramdesc.wParamFlags);
    const PARAMDESCEX* ex = param.paramdesc.pparamdescex;
    bool i4Default = (param.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) && ex && ex->varDefaultValue.vt == VT_I4;
    func.defaults.push_back(i4Default ? ex->varDefaultValue.lVal : 0);
  }
  info->ReleaseFuncDesc(desc);
  return func;
}

}  // namespace typelibtest
