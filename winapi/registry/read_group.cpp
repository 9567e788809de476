#include "read_group.h"

#include <atomic>

#include <qzwin/registry.h>

namespace qzwin::registry {
namespace {

std::atomic<uint64_t> nextGroup{1};
thread_local uint64_t currentGroup = 0;
thread_local int depth = 0;

}  // namespace

uint64_t CurrentReadGroup() { return currentGroup; }

}  // namespace qzwin::registry

namespace qzwin {

RegistryReadGroup::RegistryReadGroup() {
  if (registry::depth++ == 0) registry::currentGroup = registry::nextGroup.fetch_add(1);
}

RegistryReadGroup::~RegistryReadGroup() {
  if (--registry::depth == 0) registry::currentGroup = 0;
}

}  // namespace qzwin
