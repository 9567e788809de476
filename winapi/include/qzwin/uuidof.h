// __uuidof for compilers without Microsoft extensions: every interface the
// stand-in declares is tied to its IID with QZ_DECLARE_UUIDOF, and system code
// writes __uuidof(IFoo) exactly as it would against the real SDK.
#pragma once

#include <guiddef.h>

namespace qzwin {
template <class T>
struct uuid_of;  // specialised for each interface by QZ_DECLARE_UUIDOF
}  // namespace qzwin

// Both forms may stand inside an extern "C" block, as in widl's headers.
#define QZ_DECLARE_UUIDOF(type, iid)                  \
  extern "C++" {                                      \
  namespace qzwin {                                   \
  template <>                                         \
  struct uuid_of<type> {                              \
    static const GUID& value() { return iid; }        \
  };                                                  \
  }                                                   \
  }

// widl's headers tie each interface and class to its GUID with this macro,
// when the compiler's headers define it (mingw-w64's do); here it is the
// stand-in's __uuidof for them.
#define __CRT_UUID_DECL(type, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)      \
  extern "C++" {                                                              \
  namespace qzwin {                                                           \
  template <>                                                                 \
  struct uuid_of<type> {                                                      \
    static const GUID& value() {                                              \
      static constexpr GUID id = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}; \
      return id;                                                              \
    }                                                                         \
  };                                                                          \
  }                                                                           \
  }

#ifndef _MSC_VER
#define __uuidof(type) (::qzwin::uuid_of<type>::value())
#endif

// MIDL_INTERFACE carries the IID on Windows; here the IID comes from QZ_DECLARE_UUIDOF.
#define MIDL_INTERFACE(x) struct DECLSPEC_NOVTABLE
#define DECLSPEC_UUID(x)
#ifndef interface
#define interface struct
#endif
