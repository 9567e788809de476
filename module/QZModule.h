// The module object of qzschemas: the home of the module-wide operations on
// the shared files (where they lie, the default schema cache, and the update
// of its basic data types entry at registration).
#pragma once

#include <windows.h>
#include <comdef.h>

class CQZModule {
 public:
  CQZModule();
  CQZModule(const CQZModule&) = delete;
  CQZModule& operator=(const CQZModule&) = delete;

  // The module whose resources the operations read; null means the
  // program's own module.
  HINSTANCE GetResourceInstance() const { return m_hInstResource; }
  void SetResourceInstance(HINSTANCE hInstResource) { m_hInstResource = hInstResource; }

  // The full paths of the schema cache and the encodings settings, from the
  // platform path resolver; full keeps its value on failure.
  HRESULT GetSchemaCachePath(_bstr_t& full);
  HRESULT GetEncodingsPath(_bstr_t& full);

  // Writes the RT_HTML resource resourceId over the schema cache file, byte
  // for byte through a text-mode stream. E_FAIL, after the message box
  // "Register failed", when the file cannot be opened.
  HRESULT WriteCacheTemplate(UINT resourceId);

  // Writes the default schema cache and points its basic data types entry
  // at the copy in the system directory.
  HRESULT CreateDefaultCache();

  // At registration: creates the schema cache when it is missing, else
  // points its basic data types entries at the system directory.
  HRESULT UpdateBasicDatatypesEntry();

 private:
  HINSTANCE m_hInstResource;
};
