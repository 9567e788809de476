// GUIDs this library compares against but whose definitions belong to the
// COM runtime, which links this library and so cannot be linked by it.
#pragma once

#include <guiddef.h>

#include <com_object.h>

namespace qzwin::oleaut {

using ::qzwin::kIidUnknown;
inline constexpr GUID kIidNull = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

}  // namespace qzwin::oleaut
