#include <qzwin/platform.h>
#include <qzwin/registry.h>

namespace qzwin {

std::string RegistryFilePath() { return PlatformRoot() + "/registry/registry.txt"; }

}  // namespace qzwin
