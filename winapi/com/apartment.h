// Per-thread COM initialisation and the apartments it puts threads in. A
// thread that enters COM apartment-threaded is an apartment of its own; all
// multithreaded threads share the one multithreaded apartment. Nothing is
// marshalled between apartments: they only decide who sees which class
// object registration.
#pragma once

#include <thread>

namespace qzwin::com {

struct Apartment {
  bool multithreaded = false;
  std::thread::id thread;  // the single-threaded apartment's own thread
  bool operator==(const Apartment&) const = default;
};

// True between a thread's first successful CoInitialize(Ex) and its
// matching last CoUninitialize.
bool ThreadIsInitialised();

// The calling thread's apartment; meaningful while it is initialised.
Apartment CurrentApartment();

}  // namespace qzwin::com
