#include <gtest/gtest.h>
#include <oleauto.h>

#include <vector>

namespace {

// A plain object whose vtable slots are, in this order, the methods below.
struct Callee {
  virtual double Mixed(CHAR c, BYTE b, SHORT s, VARIANT_BOOL flag, LONG l, LONGLONG ll, FLOAT f, DOUBLE d) {
    seenThis = this;
    return c + b + s + (flag == VARIANT_TRUE ? 1000 : 0) + l + static_cast<double>(ll) + f + d;
  }
  virtual CHAR NegativeByte() { return -5; }
  virtual VARIANT_BOOL True() { return VARIANT_TRUE; }
  virtual USHORT LargeShort() { return 0xfffe; }
  virtual LONGLONG Large() { return -(1LL << 40); }
  virtual FLOAT Quarter() { return 0.25f; }
  virtual HRESULT Fail() { return E_ACCESSDENIED; }
  virtual LONG TypeOfVariant(VARIANT v, LONG after) { return v.vt == VT_I4 ? v.lVal + after : -1; }
  virtual VARIANT MakeVariant(LONG value) {
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
  }

  void* seenThis = nullptr;
};

enum Slot { kMixed, kNegativeByte, kTrue, kLargeShort, kLarge, kQuarter, kFail, kTypeOfVariant, kMakeVariant };

ULONG_PTR OffsetOf(Slot slot) { return slot * sizeof(void*); }

// Arguments for one call, kept alive together.
struct Args {
  std::vector<VARIANT> values;
  std::vector<VARTYPE> types;
  std::vector<VARIANT*> pointers;

  template <typename Set>
  Args& Add(VARTYPE vt, Set set) {
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    set(v);
    values.push_back(v);
    types.push_back(vt);
    return *this;
  }
  HRESULT Call(void* instance, ULONG_PTR offset, VARTYPE result, VARIANT* out, CALLCONV cc = CC_STDCALL) {
    pointers.clear();
    for (VARIANT& v : values) pointers.push_back(&v);
    return DispCallFunc(instance, offset, cc, result, static_cast<UINT>(values.size()), types.data(),
                        pointers.data(), out);
  }
};

TEST(DispCallFunc, PassesEveryScalarTypeInItsPlaceAndTheInstanceFirst) {
  Callee callee;
  Args args;
  args.Add(VT_I1, [](VARIANT& v) { v.cVal = -3; })
      .Add(VT_UI1, [](VARIANT& v) { v.bVal = 200; })
      .Add(VT_I2, [](VARIANT& v) { v.iVal = -300; })
      .Add(VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_TRUE; })
      .Add(VT_I4, [](VARIANT& v) { v.lVal = 70000; })
      .Add(VT_I8, [](VARIANT& v) { v.llVal = 1LL << 33; })
      .Add(VT_R4, [](VARIANT& v) { v.fltVal = 0.5f; })
      .Add(VT_R8, [](VARIANT& v) { v.dblVal = 0.125; });
  VARIANT result;
  VariantInit(&result);
  ASSERT_EQ(args.Call(&callee, OffsetOf(kMixed), VT_R8, &result), S_OK);
  EXPECT_EQ(result.vt, VT_R8);
  EXPECT_DOUBLE_EQ(result.dblVal, -3 + 200 - 300 + 1000 + 70000 + static_cast<double>(1LL << 33) + 0.625);
  EXPECT_EQ(callee.seenThis, &callee);
}

TEST(DispCallFunc, ReturnsEachTypeInTheMatchingMember) {
  Callee callee;
  VARIANT result;

  ASSERT_EQ(DispCallFunc(&callee, OffsetOf(kNegativeByte), CC_STDCALL, VT_I1, 0, nullptr, nullptr, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I1);
  EXPECT_EQ(result.cVal, -5);

  ASSERT_EQ(DispCallFunc(&callee, OffsetOf(kTrue), CC_STDCALL, VT_BOOL, 0, nullptr, nullptr, &result), S_OK);
  EXPECT_EQ(result.vt, VT_BOOL);
  EXPECT_EQ(result.boolVal, VARIANT_TRUE);

  ASSERT_EQ(DispCallFunc(&callee, OffsetOf(kLargeShort), CC_STDCALL, VT_UI2, 0, nullptr, nullptr, &result), S_OK);
  EXPECT_EQ(result.uiVal, 0xfffe);

  ASSERT_EQ(DispCallFunc(&callee, OffsetOf(kLarge), CC_CDECL, VT_I8, 0, nullptr, nullptr, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I8);
  EXPECT_EQ(result.llVal, -(1LL << 40));

  ASSERT_EQ(DispCallFunc(&callee, OffsetOf(kQuarter), CC_STDCALL, VT_R4, 0, nullptr, nullptr, &result), S_OK);
  EXPECT_EQ(result.vt, VT_R4);
  EXPECT_EQ(result.fltVal, 0.25f);

  ASSERT_EQ(DispCallFunc(&callee, OffsetOf(kFail), CC_STDCALL, VT_ERROR, 0, nullptr, nullptr, &result), S_OK);
  EXPECT_EQ(result.vt, VT_ERROR);
  EXPECT_EQ(result.scode, E_ACCESSDENIED);

  // A result nobody wants is dropped.
  EXPECT_EQ(DispCallFunc(&callee, OffsetOf(kFail), CC_STDCALL, VT_ERROR, 0, nullptr, nullptr, nullptr), S_OK);
}

TEST(DispCallFunc, PassesAndReturnsVariantsByValue) {
  Callee callee;
  Args args;
  args.Add(VT_VARIANT, [](VARIANT& v) {
        v.vt = VT_I4;  // the VARIANT itself is the argument
        v.lVal = 40;
      })
      .Add(VT_I4, [](VARIANT& v) { v.lVal = 2; });
  VARIANT result;
  ASSERT_EQ(args.Call(&callee, OffsetOf(kTypeOfVariant), VT_I4, &result), S_OK);
  EXPECT_EQ(result.lVal, 42);

  Args make;
  make.Add(VT_I4, [](VARIANT& v) { v.lVal = 7; });
  VariantInit(&result);
  ASSERT_EQ(make.Call(&callee, OffsetOf(kMakeVariant), VT_VARIANT, &result), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 7);
}

LONG Subtract(LONG a, LONG b) { return a - b; }

TEST(DispCallFunc, WithoutAnInstanceTheOffsetIsTheFunction) {
  Args args;
  args.Add(VT_I4, [](VARIANT& v) { v.lVal = 10; }).Add(VT_I4, [](VARIANT& v) { v.lVal = 3; });
  VARIANT result;
  ASSERT_EQ(args.Call(nullptr, reinterpret_cast<ULONG_PTR>(&Subtract), VT_I4, &result, CC_CDECL), S_OK);
  EXPECT_EQ(result.lVal, 7);
}

TEST(DispCallFunc, RefusesWhatItCannotCall) {
  Callee callee;
  VARIANT result;
  EXPECT_EQ(DispCallFunc(&callee, OffsetOf(kFail), CC_STDCALL, VT_HRESULT, 0, nullptr, nullptr, &result),
            E_INVALIDARG);
  EXPECT_EQ(DispCallFunc(&callee, OffsetOf(kFail), CC_PASCAL, VT_ERROR, 0, nullptr, nullptr, &result), E_INVALIDARG);
  EXPECT_EQ(DispCallFunc(&callee, OffsetOf(kFail) + 1, CC_STDCALL, VT_ERROR, 0, nullptr, nullptr, &result),
            E_INVALIDARG);
  EXPECT_EQ(DispCallFunc(&callee, OffsetOf(kTypeOfVariant), CC_STDCALL, VT_I4, 2, nullptr, nullptr, &result),
            E_INVALIDARG);
  EXPECT_EQ(DispCallFunc(nullptr, 0, CC_STDCALL, VT_ERROR, 0, nullptr, nullptr, &result), E_INVALIDARG);

  Args empty;
  empty.Add(VT_EMPTY, [](VARIANT&) {});
  EXPECT_EQ(empty.Call(&callee, OffsetOf(kTypeOfVariant), VT_I4, &result), DISP_E_BADVARTYPE);
  EXPECT_EQ(DispCallFunc(&callee, OffsetOf(kFail), CC_STDCALL, VT_USERDEFINED, 0, nullptr, nullptr, &result),
            DISP_E_BADVARTYPE);
}

}  // namespace
