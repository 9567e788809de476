// DispCallFunc: calls a function, or the method at a byte offset into an
// object's vtable, with its arguments and result given as VARIANTs. libffi
// builds the call from the VARTYPEs, so every argument and result goes where
// the platform's calling convention wants it.
#include <oleauto.h>

#include <ffi.h>

#include <cstring>

namespace {

// The most arguments one call takes, the instance pointer not counted.
constexpr UINT kMaxArguments = 64;

// A VARIANT passed or returned by value: vt, three reserved words and the
// value union, which holds at most two pointers (a record and its info).
ffi_type* variantElements[] = {&ffi_type_uint16, &ffi_type_uint16, &ffi_type_uint16, &ffi_type_uint16,
#if UINTPTR_MAX > 0xffffffffu
                               &ffi_type_uint64,
#endif
                               &ffi_type_uint64, nullptr};
ffi_type* decimalElements[] = {&ffi_type_uint16, &ffi_type_uint8, &ffi_type_uint8, &ffi_type_uint32,
                               &ffi_type_uint64, nullptr};

ffi_type MakeStruct(ffi_type** elements) {
  ffi_type type{};
  type.type = FFI_TYPE_STRUCT;
  type.elements = elements;
  return type;
}

// Lays out a struct description once and checks it against the C++ type it
// stands for; null when they differ, so a wrong description never reaches
// a call.
ffi_type* CheckedStruct(ffi_type* type, size_t size) {
  if (ffi_get_struct_offsets(FFI_DEFAULT_ABI, type, nullptr) != FFI_OK) return nullptr;
  return type->size == size ? type : nullptr;
}

ffi_type* VariantType() {
  static ffi_type type = MakeStruct(variantElements);
  static ffi_type* const checked = CheckedStruct(&type, sizeof(VARIANT));
  return checked;
}

ffi_type* DecimalType() {
  static ffi_type type = MakeStruct(decimalElements);
  static ffi_type* const checked = CheckedStruct(&type, sizeof(DECIMAL));
  return checked;
}

// The libffi type of a value of type vt; null when vt cannot be passed.
ffi_type* TypeOf(VARTYPE vt) {
  if ((vt & (VT_BYREF | VT_ARRAY)) != 0) return &ffi_type_pointer;
  switch (vt) {
    case VT_I1: return &ffi_type_sint8;
    case VT_UI1: return &ffi_type_uint8;
    case VT_I2:
    case VT_BOOL: return &ffi_type_sint16;
    case VT_UI2: return &ffi_type_uint16;
    case VT_I4:
    case VT_INT:
    case VT_ERROR:
    case VT_HRESULT: return &ffi_type_sint32;
    case VT_UI4:
    case VT_UINT: return &ffi_type_uint32;
    case VT_I8:
    case VT_CY: return &ffi_type_sint64;
    case VT_UI8: return &ffi_type_uint64;
    case VT_R4: return &ffi_type_float;
    case VT_R8:
    case VT_DATE: return &ffi_type_double;
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_PTR:
    case VT_SAFEARRAY:
    case VT_LPSTR:
    case VT_LPWSTR: return &ffi_type_pointer;
    case VT_VARIANT: return VariantType();
    case VT_DECIMAL: return DecimalType();
    default: return nullptr;
  }
}

// Where a VARIANT of type vt keeps the value that is passed: the union, or
// for VARIANT and DECIMAL the whole structure.
void* ValueOf(VARIANT* v, VARTYPE vt) {
  if (vt == VT_VARIANT || vt == VT_DECIMAL) return v;
  return &v->llVal;
}

// Integers narrower than 64 bits, which libffi returns widened.
bool IsSmallInteger(const ffi_type* type) {
  switch (type->type) {
    case FFI_TYPE_SINT8:
    case FFI_TYPE_UINT8:
    case FFI_TYPE_SINT16:
    case FFI_TYPE_UINT16:
    case FFI_TYPE_SINT32:
    case FFI_TYPE_UINT32: return true;
    default: return false;
  }
}

// libffi widens integer results to a whole ffi_arg; everything else is
// stored as the type itself.
union ReturnBuffer {
  ffi_arg integer;
  VARIANT variant;
  DECIMAL decimal;
  double real;
};

void StoreResult(VARTYPE vt, const ffi_type* type, const ReturnBuffer& buffer, VARIANT* result) {
  if (vt == VT_EMPTY || vt == VT_VOID) {
    result->vt = VT_EMPTY;
    return;
  }
  if (vt == VT_VARIANT) {
    *result = buffer.variant;
    return;
  }
  if (vt == VT_DECIMAL) {
    result->decVal = buffer.decimal;  // overlays vt, which is set after
  } else if (IsSmallInteger(type)) {
    switch (type->size) {
      case 1: result->bVal = static_cast<BYTE>(buffer.integer); break;
      case 2: result->uiVal = static_cast<USHORT>(buffer.integer); break;
      default: result->ulVal = static_cast<ULONG>(buffer.integer); break;
    }
  } else {
    std::memcpy(&result->llVal, &buffer, type->size);
  }
  result->vt = vt;
}

ffi_abi AbiOf(CALLCONV cc, bool* known) {
  // The stand-in's STDMETHODCALLTYPE and WINAPI are the platform's own
  // convention, so both Windows conventions a type library names map to it.
  *known = cc == CC_STDCALL || cc == CC_CDECL;
  return FFI_DEFAULT_ABI;
}

}  // namespace

HRESULT DispCallFunc(void* pvInstance, ULONG_PTR oVft, CALLCONV cc, VARTYPE vtReturn, UINT cActuals, VARTYPE* prgvt,
                     VARIANTARG** prgpvarg, VARIANT* pvargResult) {
  if (vtReturn == VT_HRESULT) return E_INVALIDARG;  // results are read as VT_ERROR
  if (cActuals > kMaxArguments) return E_INVALIDARG;
  if (cActuals > 0 && (prgvt == nullptr || prgpvarg == nullptr)) return E_INVALIDARG;
  bool knownConvention = false;
  const ffi_abi abi = AbiOf(cc, &knownConvention);
  if (!knownConvention) return E_INVALIDARG;

  void* function = reinterpret_cast<void*>(oVft);
  if (pvInstance != nullptr) {
    if (oVft % sizeof(void*) != 0) return E_INVALIDARG;
    const auto* vtable = *static_cast<void* const* const*>(pvInstance);
    if (vtable == nullptr) return E_INVALIDARG;
    function = vtable[oVft / sizeof(void*)];
  }
  if (function == nullptr) return E_INVALIDARG;

  ffi_type* types[kMaxArguments + 1];
  void* values[kMaxArguments + 1];
  UINT count = 0;
  if (pvInstance != nullptr) {
    types[count] = &ffi_type_pointer;
    values[count] = &pvInstance;
    ++count;
  }
  for (UINT i = 0; i < cActuals; ++i, ++count) {
    types[count] = TypeOf(prgvt[i]);
    if (types[count] == nullptr) return DISP_E_BADVARTYPE;
    if (prgpvarg[i] == nullptr) return E_INVALIDARG;
    values[count] = ValueOf(prgpvarg[i], prgvt[i]);
  }

  ffi_type* returnType = vtReturn == VT_EMPTY || vtReturn == VT_VOID ? &ffi_type_void : TypeOf(vtReturn);
  if (returnType == nullptr) return DISP_E_BADVARTYPE;

  ffi_cif cif;
  if (ffi_prep_cif(&cif, abi, count, returnType, types) != FFI_OK) return E_INVALIDARG;
  ReturnBuffer buffer{};
  ffi_call(&cif, reinterpret_cast<void (*)()>(function), &buffer, values);
  if (pvargResult != nullptr) StoreResult(vtReturn, returnType, buffer, pvargResult);
  return S_OK;
}
