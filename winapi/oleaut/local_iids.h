// GUIDs this library compares against but whose definitions belong to the
// COM runtime, which links this library and so cannot be linked by it.
#pragma once

#include <guiddef.h>

namespace qzwin::oleaut {

inline constexpr GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr GUID kIidNull = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

}  // namespace qzwin::oleaut
