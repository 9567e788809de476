// The resolver module's count of living objects and server locks, which
// DllCanUnloadNow answers from.
#pragma once

namespace resolver {

void LockServer();
void UnlockServer();
bool ServerIsLocked();

}  // namespace resolver
