// The platform path resolver: an in-process COM component of the platform
// that turns a path relative to the platform's common directory into a full
// path. Its clients include this header; one of their sources defines the
// GUIDs by including it after <initguid.h> (or with INITGUID defined).
#pragma once

#include <oaidl.h>

// {641B5205-6FCC-45AB-A6D8-683206A61500}
DEFINE_GUID(CLSID_PlatformPathResolver, 0x641b5205, 0x6fcc, 0x45ab, 0xa6, 0xd8, 0x68, 0x32, 0x06, 0xa6, 0x15, 0x00);
// {CA210D9F-554C-465E-AAEE-D2C9E6A87377}
DEFINE_GUID(IID_IPlatformPathResolver, 0xca210d9f, 0x554c, 0x465e, 0xaa, 0xee, 0xd2, 0xc9, 0xe6, 0xa8, 0x73, 0x77);

// Where the common directory may be moved: a REG_SZ value of this name under
// this key of HKEY_LOCAL_MACHINE. Absent or empty, the default applies.
#define PLATFORM_SETTINGS_KEY "SOFTWARE\\Quorvane\\Platform"
#define PLATFORM_COMMON_DIRECTORY_VALUE "CommonDirectory"
#define PLATFORM_DEFAULT_COMMON_DIRECTORY "C:\\Program Files\\Common Files\\Quorvane"

// A dual interface: IUnknown, IDispatch, then these three, so that
// ResolveSharedPath is the tenth entry of the function table.
MIDL_INTERFACE("CA210D9F-554C-465E-AAEE-D2C9E6A87377") IPlatformPathResolver : public IDispatch {
  // The common directory in use: the registry's value, else the default.
  virtual HRESULT STDMETHODCALLTYPE get_CommonDirectory(BSTR* directory) = 0;
  // True when the common directory comes from the registry value.
  virtual HRESULT STDMETHODCALLTYPE get_IsOverridden(VARIANT_BOOL* overridden) = 0;
  // relativePath below the common directory, as a new BSTR the caller frees.
  // A null or empty relative path gives the common directory itself; a
  // rooted one (drive letter or leading separator) gives E_INVALIDARG.
  virtual HRESULT STDMETHODCALLTYPE ResolveSharedPath(BSTR relativePath, BSTR* fullPath) = 0;
};

#ifdef QZ_DECLARE_UUIDOF
QZ_DECLARE_UUIDOF(IPlatformPathResolver, IID_IPlatformPathResolver)
#endif
