// Names from the SDK headers that resource scripts use (window, dialog and
// control styles, dialog result ids, version-block constants) with their
// Windows values. A script's own #define of a name wins over these.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qzrc {

std::optional<std::uint32_t> BuiltinConstant(const std::string& name);

}  // namespace qzrc
