// Classes that the stand-in implements itself (see qzwin/com.h).
#pragma once

#include <string>

#include <qzwin/com.h>

namespace qzwin::com {

// The getter of a built-in class; null when clsid is not built in.
BuiltinClassObjectGetter FindBuiltinClass(REFCLSID clsid);

// The ProgID a built-in class was registered with; false when it has none.
bool FindBuiltinProgId(REFCLSID clsid, std::u16string* progId);

// The built-in class registered with progId (compared without regard to
// case, as registry key names are); false when there is none.
bool FindBuiltinClassByProgId(const std::u16string& progId, CLSID* clsid);

}  // namespace qzwin::com
