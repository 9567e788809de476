// The registrar: runs registry scripts (see registry_script.h) to register or
// unregister.
//
// Registering opens or creates each key and writes its values, overwriting.
// ForceRemove deletes a key's whole tree before it is written anew; Delete
// deletes it and writes nothing. Neither ever deletes the well-known keys
// (CLSID, Interface, TypeLib, ...). If registering fails part way, an
// unregister pass removes what the script names before the failure is
// returned.
//
// Unregistering skips a key that is missing, handles a key's children first
// and then deletes the key, unless it is NoRemove or still has subkeys that
// the script did not name. Named values go unless NoRemove.
#pragma once

#include <string>
#include <vector>

#include "atldef.h"
#include "registry_script.h"

namespace ATL {

class CRegObject {
 public:
  // %key% in scripts becomes item (names compare case-insensitively).
  HRESULT AddReplacement(LPCSTR key, LPCSTR item);
  HRESULT ClearReplacements();

  HRESULT StringRegister(LPCSTR script) { return RunScript(script, TRUE); }
  HRESULT StringUnregister(LPCSTR script) { return RunScript(script, FALSE); }
  // The script held by resource nID of type szType in module hInst.
  HRESULT ResourceRegister(HINSTANCE hInst, UINT nID, LPCSTR szType) { return RunResource(hInst, nID, szType, TRUE); }
  HRESULT ResourceUnregister(HINSTANCE hInst, UINT nID, LPCSTR szType) {
    return RunResource(hInst, nID, szType, FALSE);
  }

 private:
  HRESULT RunScript(LPCSTR script, BOOL bRegister);
  HRESULT RunResource(HINSTANCE hInst, UINT nID, LPCSTR szType, BOOL bRegister);

  std::vector<RegistryReplacement> m_replacements;
};

}  // namespace ATL
