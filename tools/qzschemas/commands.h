// The commands of the qzschemas command-line client. Each takes the
// arguments that follow its name and returns the process's exit code.
#pragma once

namespace qzcli {

// Sets the platform up in the platform root (path resolver, schema service),
// or with --remove takes both registrations away.
int Setup(int argc, char** argv);

// Validates documents against the service's schema collection.
int Validate(int argc, char** argv);

// Reports the platform's set-up, the schema cache and the collection.
int Status(int argc, char** argv);

// Prints the version of the schema service library built beside the client.
int Version();

// Prints where the stand-in keeps the machine and what COM classes it knows.
int Doctor(int argc, char** argv);

// Prints the declaration of the platform's active encoding, or with
// --apply IN OUT writes IN to OUT with that declaration at its start, through
// the registered schema service. 3 when the service is not available.
int Encoding(int argc, char** argv);

// Prints the resolved schema cache and encodings paths and whether the files
// exist. With --setup, first installs the path resolver if it is missing.
int Paths(int argc, char** argv);

// "register" or "unregister": the platform path resolver built beside the
// client, in the current platform root.
int Resolver(int argc, char** argv);

// regsvr [/u] [/s] [LIBRARY]: calls the library's DllRegisterServer (or,
// with /u, DllUnregisterServer) and reports the outcome; /s prints nothing.
int Regsvr(int argc, char** argv);

// Schema files in the schema cache, through the schema service: add, take
// out, and list with what became of each.
int Register(int argc, char** argv);
int Unregister(int argc, char** argv);
int List(int argc, char** argv);

// Registers the resolver module and makes its shared directory; 0 on success.
int InstallResolver();

// Calls DllRegisterServer (or DllUnregisterServer) of library and reports
// the outcome unless silent; returns the exit code.
int RegisterServer(const char* library, bool unregister, bool silent);

}  // namespace qzcli
