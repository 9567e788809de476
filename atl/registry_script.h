// Registry scripts (.rgs), read into a tree before anything is written, so
// that a malformed script fails without touching the registry.
//
//   HKCR
//   {
//     NoRemove CLSID
//     {
//       ForceRemove {...} = s 'Class'
//       {
//         InprocServer32 = s '%MODULE%'
//         {
//           val ThreadingModel = s 'Apartment'
//         }
//       }
//     }
//   }
//
// Tokens are separated by white space; '...' quotes one ('' is a quote);
// "}" and "=" are tokens of their own; "{" opens a block only when white
// space (or the end) follows it, else it starts a name such as a GUID.
// Keywords and value types (s, d, b, m) are case-insensitive.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include <windows.h>

namespace ATL {

struct RegistryScriptValue {
  DWORD type = REG_SZ;  // REG_SZ, REG_DWORD, REG_BINARY or REG_MULTI_SZ
  std::string data;     // the bytes RegSetValueEx takes, terminators included
};

enum class RegistryKeyFlag { None, NoRemove, ForceRemove, Delete };

// A key (with its default value, its named values and subkeys) or, when
// isNamedValue is set, a named value ("val") of the enclosing key.
struct RegistryScriptEntry {
  bool isNamedValue = false;
  RegistryKeyFlag flag = RegistryKeyFlag::None;
  std::string name;
  bool hasValue = false;
  RegistryScriptValue value;
  std::vector<RegistryScriptEntry> children;
};

struct RegistryScriptRoot {
  HKEY key = NULL;
  std::vector<RegistryScriptEntry> entries;
};

// Keys nest at most this deep below a root, as in the Windows registry.
constexpr size_t kRegistryScriptMaxDepth = 512;

// Reads a script whose %NAME% replacements are already made. S_OK, or
// DISP_E_EXCEPTION for a malformed script (roots untouched then).
HRESULT ParseRegistryScript(std::string_view script, std::vector<RegistryScriptRoot>* roots);

// One %NAME% replacement.
struct RegistryReplacement {
  std::string name;  // compared case-insensitively
  std::string text;
};

// Replaces every %NAME% of script; "%%" stands for "%". DISP_E_EXCEPTION for
// an unknown name or an unterminated "%".
HRESULT ExpandRegistryScript(std::string_view script, const std::vector<RegistryReplacement>& replacements,
                             std::string* expanded);

}  // namespace ATL
