// What the fuzz targets share: a throw-away platform root for the process,
// COM started on the fuzzing thread, and files written below the root.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace qzfuzz {

// Creates the root (exported as QZ_ROOT, so the stand-in's drives and
// registry live below it) and initialises COM. Call once, first.
void StartPlatform();

// The root made by StartPlatform.
const std::filesystem::path& Root();

// Writes the bytes to path, replacing what was there; aborts when it cannot,
// as a fuzz run without its files would test nothing.
void WriteBytes(const std::filesystem::path& path, const std::uint8_t* data, std::size_t size);

// Ends the run when a condition every input must keep does not hold.
void Check(bool condition);

}  // namespace qzfuzz
