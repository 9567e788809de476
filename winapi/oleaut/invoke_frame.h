// The arguments of one call through type information: DISPPARAMS bound to
// the parameters of a FUNCDESC, converted to the parameters' types, passed
// through DispCallFunc, and the [out, retval] value taken back.
#pragma once

#include <oaidl.h>

#include "param_type.h"

namespace qzwin::oleaut {

class InvokeFrame {
 public:
  // The most parameters a method called this way may have.
  static constexpr int kMaxParameters = 32;

  // `info` owns `func` and resolves the types it refers to; both outlive
  // the frame.
  InvokeFrame(ITypeInfo* info, const FUNCDESC& func);
  ~InvokeFrame();  // frees every value the frame made
  InvokeFrame(const InvokeFrame&) = delete;
  InvokeFrame& operator=(const InvokeFrame&) = delete;

  // Binds positional and named arguments to the parameters. On a failure
  // tied to one argument, *argErr (if given) is its index in rgvarg.
  HRESULT Bind(WORD flags, const DISPPARAMS& params, UINT* argErr);

  // Calls the method at its vtable offset; *methodResult is the HRESULT it
  // returned (S_OK for methods that return something else).
  HRESULT Call(void* instance, HRESULT* methodResult);

  // Moves the method's result (its [out, retval] value, else its return
  // value, else VT_EMPTY) into *result.
  void TakeResult(VARIANT* result);

 private:
  // Set up by Bind for the method's parameters only: a frame is made for
  // every call, and most methods have few parameters.
  struct Slot {
    ParamType type;
    VARIANT value;      // a value the frame owns: a converted argument or a result
    VARIANT reference;  // VT_BYREF pointing at `value`, for parameters taken by pointer
    VARIANT* passed;
    VARTYPE passedVt;
  };

  HRESULT DescribeReturn();
  HRESULT MapArguments(WORD flags, const DISPPARAMS& params, int* argOf, UINT* argErr) const;
  HRESULT BindArgument(Slot& slot, USHORT paramFlags, VARIANT* arg);
  HRESULT BindMissing(Slot& slot, const PARAMDESC& param, bool placeholderGiven);
  // Passes the frame's own value of `slot`, or a pointer to it.
  static void PassOwnValue(Slot& slot, bool byRef);

  ITypeInfo* info_;
  const FUNCDESC& func_;
  int count_ = 0;    // parameters of the method
  int inCount_ = 0;  // parameters the caller supplies
  int retval_ = -1;  // index of the [out, retval] parameter, if any
  bool returnsHresult_ = false;
  ParamType returnType_{};  // of the method's own return value
  VARIANT returned_;
  Slot slots_[kMaxParameters];
};

}  // namespace qzwin::oleaut
