// Binding, converting and passing the arguments of a call through type
// information, and taking its result back.
#include "invoke_frame.h"

#include <cstring>

#include <oleauto.h>

#include <algorithm>

namespace qzwin::oleaut {
namespace {

void SetArgErr(UINT* argErr, UINT index) {
  if (argErr != nullptr) *argErr = index;
}

// What a caller passes for an argument it leaves out in the middle.
bool IsPlaceholder(const VARIANT& arg) { return arg.vt == VT_ERROR && arg.scode == DISP_E_PARAMNOTFOUND; }

// The interface pointer an argument holds, through one level of reference.
HRESULT InterfaceOf(const VARIANT& arg, IUnknown** object) {
  switch (arg.vt) {
    case VT_UNKNOWN:
    case VT_DISPATCH: *object = arg.punkVal; return S_OK;
    case VT_BYREF | VT_UNKNOWN:
    case VT_BYREF | VT_DISPATCH: *object = arg.ppunkVal != nullptr ? *arg.ppunkVal : nullptr; return S_OK;
    case VT_BYREF | VT_VARIANT:
      if (arg.pvarVal == nullptr || (arg.pvarVal->vt & VT_BYREF) != 0) return DISP_E_TYPEMISMATCH;
      return InterfaceOf(*arg.pvarVal, object);
    default: return DISP_E_TYPEMISMATCH;
  }
}

// Converts `arg` to `type` (which is not a VARIANT) into `value`. An
// interface the method names is asked for, so the method never gets a
// pointer to another interface; an interface of a library that is not
// registered is passed as it came.
HRESULT Convert(const ParamType& type, VARIANT* arg, VARIANT* value) {
  if (!type.IsInterface()) return VariantChangeType(value, arg, 0, type.vt);
  IUnknown* object = nullptr;
  HRESULT hr = InterfaceOf(*arg, &object);
  if (FAILED(hr)) return hr;
  value->vt = type.vt;
  value->punkVal = nullptr;
  if (object == nullptr) return S_OK;
  if (!type.iidKnown) {
    object->AddRef();
    value->punkVal = object;
    return S_OK;
  }
  if (FAILED(object->QueryInterface(type.iid, reinterpret_cast<void**>(&value->punkVal)))) {
    value->vt = VT_EMPTY;
    value->punkVal = nullptr;
    return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

// A result typed only as "some interface" is handed out as IDispatch when
// the object has it, so script clients can go on calling it.
void PreferDispatch(const ParamType& type, VARIANT* value) {
  if (value->vt != VT_UNKNOWN || type.iidKnown || value->punkVal == nullptr) return;
  IDispatch* dispatch = nullptr;
  if (FAILED(value->punkVal->QueryInterface(__uuidof(IDispatch), reinterpret_cast<void**>(&dispatch)))) return;
  value->punkVal->Release();
  value->vt = VT_DISPATCH;
  value->pdispVal = dispatch;
}

void* ValueAddress(VARTYPE vt, VARIANT* value) {
  if (vt == VT_VARIANT) return value;
  if (vt == VT_DECIMAL) return &value->decVal;
  return &value->llVal;
}

}  // namespace

InvokeFrame::InvokeFrame(ITypeInfo* info, const FUNCDESC& func) : info_(info), func_(func) { VariantInit(&returned_); }

InvokeFrame::~InvokeFrame() {
  for (int i = 0; i < count_; ++i) VariantClear(&slots_[i].value);
  VariantClear(&returned_);
}

HRESULT InvokeFrame::DescribeReturn() {
  const TYPEDESC& desc = func_.elemdescFunc.tdesc;
  if (desc.vt == VT_VOID) return S_OK;
  if (desc.vt == VT_HRESULT) {
    returnsHresult_ = true;
    return S_OK;
  }
  HRESULT hr = DescribeType(info_, desc, &returnType_);
  return SUCCEEDED(hr) && returnType_.byRef ? DISP_E_BADVARTYPE : hr;
}

HRESULT InvokeFrame::MapArguments(WORD flags, const DISPPARAMS& params, int* argOf, UINT* argErr) const {
  const UINT cArgs = params.cArgs;
  const UINT cNamed = params.cNamedArgs;
  if (cNamed > cArgs || (cArgs > 0 && params.rgvarg == nullptr) ||
      (cNamed > 0 && params.rgdispidNamedArgs == nullptr)) {
    return E_INVALIDARG;
  }
  if (cArgs > static_cast<UINT>(inCount_)) return DISP_E_BADPARAMCOUNT;

  // rgvarg holds the named arguments first, then the positional ones in
  // reverse order: the last element is the first parameter.
  std::fill(argOf, argOf + inCount_, -1);
  const UINT positional = cArgs - cNamed;
  for (UINT i = 0; i < positional; ++i) argOf[i] = static_cast<int>(cArgs - 1 - i);
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  for (UINT k = 0; k < cNamed; ++k) {
    const DISPID id = params.rgdispidNamedArgs[k];
    const LONG param = id == DISPID_PROPERTYPUT && put ? inCount_ - 1 : id;  // named parameters go by position
    if (param < 0 || param >= inCount_ || argOf[param] != -1) {
      SetArgErr(argErr, k);
      return DISP_E_PARAMNOTFOUND;
    }
    argOf[param] = static_cast<int>(k);
  }
  return S_OK;
}

HRESULT InvokeFrame::Bind(WORD flags, const DISPPARAMS& params, UINT* argErr) {
  if (func_.cParams < 0 || func_.cParams > kMaxParameters) return E_NOTIMPL;
  if (func_.cParams > 0 && func_.lprgelemdescParam == nullptr) return E_UNEXPECTED;
  count_ = inCount_ = func_.cParams;
  for (int i = 0; i < count_; ++i) {
    Slot& slot = slots_[i];
    slot.type = ParamType{};
    VariantInit(&slot.value);
    VariantInit(&slot.reference);
    slot.passed = nullptr;
    slot.passedVt = VT_EMPTY;
  }
  if (count_ > 0 && (func_.lprgelemdescParam[count_ - 1].paramdesc.wParamFlags & PARAMFLAG_FRETVAL) != 0) {
    retval_ = count_ - 1;
    inCount_ = count_ - 1;
  }
  HRESULT hr = DescribeReturn();
  if (FAILED(hr)) return hr;

  int argOf[kMaxParameters];  // the index in rgvarg of each parameter's argument, or -1
  hr = MapArguments(flags, params, argOf, argErr);
  if (FAILED(hr)) return hr;

  for (int i = 0; i < inCount_; ++i) {
    const ELEMDESC& elem = func_.lprgelemdescParam[i];
    Slot& slot = slots_[i];
    VARIANT* arg = argOf[i] >= 0 ? &params.rgvarg[argOf[i]] : nullptr;
    hr = DescribeType(info_, elem.tdesc, &slot.type);
    if (SUCCEEDED(hr)) {
      hr = arg == nullptr || IsPlaceholder(*arg) ? BindMissing(slot, elem.paramdesc, arg != nullptr)
                                                 : BindArgument(slot, elem.paramdesc.wParamFlags, arg);
    }
    if (FAILED(hr)) {
      if (arg != nullptr) SetArgErr(argErr, static_cast<UINT>(argOf[i]));
      return hr;
    }
  }

  if (retval_ >= 0) {
    Slot& slot = slots_[retval_];
    hr = DescribeType(info_, func_.lprgelemdescParam[retval_].tdesc, &slot.type);
    if (FAILED(hr)) return hr;
    if (!slot.type.byRef) return DISP_E_BADVARTYPE;
    slot.type.byRef = false;  // from here on, the type of the result itself
    // A method that succeeds without writing its result leaves a null one,
    // never whatever the slot's memory held.
    std::memset(&slot.value, 0, sizeof slot.value);
    PassOwnValue(slot, true);
  }
  return S_OK;
}

HRESULT InvokeFrame::BindArgument(Slot& slot, USHORT paramFlags, VARIANT* arg) {
  const ParamType& type = slot.type;
  if (type.byRef && arg->vt == (VT_BYREF | type.vt)) {  // the caller's own variable
    slot.passed = arg;
    slot.passedVt = arg->vt;
    return S_OK;
  }
  if (type.vt == VT_VARIANT) {  // the argument itself, or a pointer to it
    if (!type.byRef) {
      slot.passed = arg;
      slot.passedVt = VT_VARIANT;
      return S_OK;
    }
    slot.reference.vt = VT_BYREF | VT_VARIANT;
    slot.reference.pvarVal = arg;
    slot.passed = &slot.reference;
    slot.passedVt = slot.reference.vt;
    return S_OK;
  }
  // An [out] parameter writes to the caller's variable, which must have the
  // parameter's type; an [in] one may take a converted copy.
  if (type.byRef && (paramFlags & PARAMFLAG_FOUT) != 0) return DISP_E_TYPEMISMATCH;
  HRESULT hr = Convert(type, arg, &slot.value);
  if (FAILED(hr)) return hr;
  PassOwnValue(slot, type.byRef);
  return S_OK;
}

HRESULT InvokeFrame::BindMissing(Slot& slot, const PARAMDESC& param, bool placeholderGiven) {
  if ((param.wParamFlags & (PARAMFLAG_FOPT | PARAMFLAG_FHASDEFAULT)) == 0) {
    return placeholderGiven ? DISP_E_PARAMNOTOPTIONAL : DISP_E_BADPARAMCOUNT;
  }
  const ParamType& type = slot.type;
  HRESULT hr = S_OK;
  if ((param.wParamFlags & PARAMFLAG_FHASDEFAULT) != 0 && param.pparamdescex != nullptr) {
    VARIANT* fallback = &param.pparamdescex->varDefaultValue;
    hr = type.vt == VT_VARIANT ? VariantCopy(&slot.value, fallback) : Convert(type, fallback, &slot.value);
  } else if (type.vt == VT_VARIANT) {
    slot.value.vt = VT_ERROR;
    slot.value.scode = DISP_E_PARAMNOTFOUND;
  } else {
    slot.value.vt = type.vt;  // zero of its type: 0, a null string or pointer
  }
  if (FAILED(hr)) return hr;
  PassOwnValue(slot, type.byRef);
  return S_OK;
}

void InvokeFrame::PassOwnValue(Slot& slot, bool byRef) {
  const VARTYPE vt = slot.type.vt;
  if (!byRef) {
    slot.passed = &slot.value;
    slot.passedVt = vt;
    return;
  }
  slot.reference.vt = VT_BYREF | vt;
  slot.reference.byref = ValueAddress(vt, &slot.value);
  slot.passed = &slot.reference;
  slot.passedVt = slot.reference.vt;
}

HRESULT InvokeFrame::Call(void* instance, HRESULT* methodResult) {
  VARTYPE types[kMaxParameters];
  VARIANTARG* args[kMaxParameters];
  for (int i = 0; i < count_; ++i) {
    types[i] = slots_[i].passedVt;
    args[i] = slots_[i].passed;
  }
  const VARTYPE returnVt = returnsHresult_ ? static_cast<VARTYPE>(VT_ERROR) : returnType_.vt;
  HRESULT hr = DispCallFunc(instance, static_cast<ULONG_PTR>(static_cast<USHORT>(func_.oVft)), func_.callconv,
                            returnVt, static_cast<UINT>(count_), types, args, &returned_);
  if (FAILED(hr)) return hr;
  *methodResult = S_OK;
  if (returnsHresult_) {
    *methodResult = returned_.scode;
    returned_.vt = VT_EMPTY;  // the HRESULT is no value to hand out
  }
  // From here the frame owns the result the method wrote.
  if (SUCCEEDED(*methodResult) && retval_ >= 0 && slots_[retval_].type.vt != VT_VARIANT) {
    slots_[retval_].value.vt = slots_[retval_].type.vt;
  }
  return S_OK;
}

void InvokeFrame::TakeResult(VARIANT* result) {
  VARIANT* value = retval_ >= 0 ? &slots_[retval_].value : &returned_;
  PreferDispatch(retval_ >= 0 ? slots_[retval_].type : returnType_, value);
  *result = *value;
  VariantInit(value);
}

}  // namespace qzwin::oleaut
