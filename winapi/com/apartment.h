// Per-thread COM initialisation. Apartments are not emulated: a thread only
// counts its CoInitialize(Ex) calls and remembers its concurrency model.
#pragma once

namespace qzwin::com {

// True between a thread's first successful CoInitialize(Ex) and its
// matching last CoUninitialize.
bool ThreadIsInitialised();

}  // namespace qzwin::com
