// The group of registry reads that the calling thread is in, if any.
#pragma once

#include <cstdint>

namespace qzwin::registry {

// The id of the calling thread's outermost RegistryReadGroup, never used by
// another group; 0 outside a group.
uint64_t CurrentReadGroup();

}  // namespace qzwin::registry
