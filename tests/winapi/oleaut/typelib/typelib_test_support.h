// Shared by the type library tests: the widl-compiled test library and
// small readers that turn type information into plain values.
#pragma once

#include <comdef.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "support/narrow.h"
#include "typelib_test.h"
#include "walk_library.h"

namespace typelibtest {

std::u16string Wide(const std::string& text);
using qztest::Narrow;

// The test library, loaded from its file without registering it.
ITypeLibPtr LoadTestLibrary();
ITypeInfoPtr TypeOfGuid(ITypeLib* lib, const GUID& guid);
// The vtable view of a dual interface (GetRefTypeOfImplType(-1)).
ITypeInfoPtr VtableView(ITypeInfo* dual);
// The type that implemented type `index` refers to.
ITypeInfoPtr ImplType(ITypeInfo* info, UINT index);

std::string NameOf(ITypeInfo* info, MEMBERID memid = MEMBERID_NIL);
std::string DocOf(ITypeInfo* info, MEMBERID memid = MEMBERID_NIL);
std::vector<std::string> NamesOf(ITypeInfo* info, MEMBERID memid);

// Copies of the descriptions, released at once.
TYPEATTR AttrOf(ITypeInfo* info);
struct Func {
  MEMBERID memid;
  FUNCKIND funckind;
  INVOKEKIND invkind;
  SHORT oVft;
  SHORT cParamsOpt;
  VARTYPE result;
  VARTYPE resultPointee;  // VT_EMPTY unless the result is a pointer
  std::vector<VARTYPE> params;
  std::vector<VARTYPE> pointees;  // each parameter's pointee, VT_EMPTY if none
  std::vector<USHORT> flags;
  std::vector<LONG> defaults;  // VT_I4 defaults, 0 where there is none
};
Func FuncOf(ITypeInfo* info, UINT index);

}  // namespace typelibtest
