// Where the build put the in-process servers that this client loads.
#pragma once

#include <string>

namespace qzcli {

// The module fileName ("resolver.so") in lib/ beside the client's bin/; the
// bare name when the client's own path is unknown.
std::string BuiltModulePath(const char* fileName);

}  // namespace qzcli
