// A type library as read from its file: everything ITypeLib and ITypeInfo
// hand out, checked once when the library is loaded, so that the objects
// never touch the file's bytes again.
#pragma once

#include <oaidl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qzwin::typelib {

// A constant: a variable's value or a parameter's default.
struct ConstantValue {
  VARTYPE vt = VT_EMPTY;
  std::uint64_t bits = 0;  // the value's bytes, little-endian, for scalar types
  std::u16string text;     // for VT_BSTR
};

struct ParamData {
  TYPEDESC type{};
  USHORT flags = 0;  // PARAMFLAG_*
  std::u16string name;
  bool hasDefault = false;
  ConstantValue defaultValue;
};

struct FuncData {
  MEMBERID memid = 0;
  FUNCKIND funckind = FUNC_PUREVIRTUAL;
  INVOKEKIND invkind = INVOKE_FUNC;
  CALLCONV callconv = CC_STDCALL;
  SHORT vtableOffset = 0;  // bytes, in this process's pointer size
  SHORT optionalParams = 0;
  WORD flags = 0;  // FUNCFLAG_*
  TYPEDESC returnType{};
  std::vector<ParamData> params;
  std::u16string name;
  std::u16string docString;
  DWORD helpContext = 0;
};

struct VarData {
  MEMBERID memid = 0;
  VARKIND kind = VAR_PERINSTANCE;
  WORD flags = 0;  // VARFLAG_*
  TYPEDESC type{};
  ULONG instanceOffset = 0;  // VAR_PERINSTANCE
  ConstantValue value;       // VAR_CONST
  std::u16string name;
  std::u16string docString;
  DWORD helpContext = 0;
};

struct ImplTypeData {
  HREFTYPE href = 0;
  INT flags = 0;  // IMPLTYPEFLAG_*
};

struct TypeData {
  TYPEKIND kind = TKIND_INTERFACE;  // a dual interface is stored as TKIND_DISPATCH
  GUID guid{};
  WORD flags = 0;  // TYPEFLAG_*
  WORD majorVersion = 0;
  WORD minorVersion = 0;
  std::u16string name;
  std::u16string docString;
  DWORD helpContext = 0;
  ULONG instanceSize = 0;
  WORD alignment = 0;
  WORD vtableSize = 0;      // bytes of the whole vtable, in this process's pointer size
  WORD vtableFunctions = 0; // functions in the whole vtable, inherited ones included
  TYPEDESC aliasType{};     // TKIND_ALIAS
  std::vector<ImplTypeData> implTypes;
  std::vector<FuncData> funcs;
  std::vector<VarData> vars;

  bool IsDual() const { return kind == TKIND_DISPATCH && (flags & TYPEFLAG_FDUAL) != 0; }
};

// A library named by importlib.
struct ImportedLibrary {
  GUID libid{};
  LCID lcid = 0;
  WORD majorVersion = 0;
  WORD minorVersion = 0;
  std::u16string fileName;
};

// One type of an imported library, as a reference names it.
struct ImportedType {
  int library = -1;  // index into LibraryData::imports; -1 when the entry names none
  bool byGuid = false;
  GUID guid{};
  int index = 0;
};

struct LibraryData {
  GUID libid{};
  LCID lcid = 0;
  SYSKIND syskind = SYS_WIN32;
  WORD majorVersion = 0;
  WORD minorVersion = 0;
  WORD flags = 0;  // LIBFLAG_*
  std::u16string name;
  std::u16string docString;
  std::u16string helpFile;
  DWORD helpContext = 0;
  HREFTYPE dispatchHref = 0;  // IDispatch, as the library refers to it
  bool hasDispatchHref = false;
  std::vector<TypeData> types;
  std::vector<ImportedLibrary> imports;
  std::vector<ImportedType> importedTypes;  // indexed by the reference's entry number

  // Type descriptions that others point to (VT_PTR chains). Sized once while
  // reading and never resized, so pointers into them stay valid.
  std::unique_ptr<TYPEDESC[]> typeDescs;
  std::unique_ptr<TYPEDESC[]> pointees;  // the basic type a VT_PTR entry points to
  std::size_t typeDescCount = 0;
  // The fixed-size arrays (VT_CARRAY) the type descriptions point to. Each
  // is one ARRAYDESC followed by the rest of its bounds.
  std::vector<std::unique_ptr<ARRAYDESC[]>> arrayDescs;
};

}  // namespace qzwin::typelib
