// The class that the test in-process server offers, shared by the server
// and the tests that activate it.
#pragma once

#include <objbase.h>

namespace comtest {

// {6A1F7C10-3B2D-4E5F-9A8B-0C1D2E3F4A5B}
constexpr CLSID kServerClsid = {0x6A1F7C10, 0x3B2D, 0x4E5F, {0x9A, 0x8B, 0x0C, 0x1D, 0x2E, 0x3F, 0x4A, 0x5B}};
// {6A1F7C11-3B2D-4E5F-9A8B-0C1D2E3F4A5B}
constexpr IID kAdderIid = {0x6A1F7C11, 0x3B2D, 0x4E5F, {0x9A, 0x8B, 0x0C, 0x1D, 0x2E, 0x3F, 0x4A, 0x5B}};

struct IAdder : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) = 0;
};

inline HRESULT CreateAdder(IAdder** adder) {
  return CoCreateInstance(kServerClsid, nullptr, CLSCTX_INPROC_SERVER, kAdderIid, reinterpret_cast<void**>(adder));
}

}  // namespace comtest
