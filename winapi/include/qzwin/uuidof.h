// __uuidof for compilers without Microsoft extensions: every interface the
// stand-in declares is tied to its IID with QZ_DECLARE_UUIDOF, and system code
// writes __uuidof(IFoo) exactly as it would against the real SDK.
#pragma once

#include <guiddef.h>

namespace qzwin {
template <class T>
struct uuid_of;  // specialised for each interface by QZ_DECLARE_UUIDOF
}  // namespace qzwin

#define QZ_DECLARE_UUIDOF(type, iid)                  \
  namespace qzwin {                                   \
  template <>                                         \
  struct uuid_of<type> {                              \
    static const GUID& value() { return iid; }        \
  };                                                  \
  }

#ifndef _MSC_VER
#define __uuidof(type) (::qzwin::uuid_of<type>::value())
#endif

// MIDL_INTERFACE carries the IID on Windows; here the IID comes from QZ_DECLARE_UUIDOF.
#define MIDL_INTERFACE(x) struct DECLSPEC_NOVTABLE
#ifndef interface
#define interface struct
#endif
