// COM services that only the stand-in has: classes that the stand-in itself
// implements (MSXML, for one) and make creatable without any registry entry.
#pragma once

#include <objbase.h>

namespace qzwin {

// Hands out the class object of one built-in class, as an in-process
// server's DllGetClassObject would for that class: *ppv is set to null first,
// then to the class object's interface riid.
using BuiltinClassObjectGetter = HRESULT (*)(REFIID riid, void** ppv);

// Makes a built-in class creatable through CoCreateInstance and
// CoGetClassObject. Activation asks class objects registered in the process
// first, then the built-in classes, then the registry's InprocServer32.
// Meant to be called from a static constructor of the library that
// implements the class; a later call for the same CLSID replaces the earlier
// one. A ProgID, if given, answers ProgIDFromCLSID and CLSIDFromProgID when
// the registry does not know the class.
void RegisterBuiltinClass(REFCLSID clsid, BuiltinClassObjectGetter getClassObject, const OLECHAR* progId = nullptr);

}  // namespace qzwin
