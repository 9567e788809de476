// Bounded formatting into fixed buffers: printf-compatible, always
// terminated, cut at the end of the buffer, never written past it. Standard
// C++ only, so that the same code builds on every platform.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdio>

#if defined(__GNUC__) || defined(__clang__)
#define QZWIN_PRINTF_FORMAT(formatIndex, firstArg) __attribute__((format(printf, formatIndex, firstArg)))
#else
#define QZWIN_PRINTF_FORMAT(formatIndex, firstArg)
#endif

namespace qzwin {

// Formats into buffer[0 .. bufferSize) and returns the number of characters
// written, without the terminator: at most bufferSize - 1. Nothing is written
// when bufferSize is 0 or buffer is null; a format error leaves "".
inline int FormatBoundedV(char* buffer, size_t bufferSize, const char* format, va_list args) {
  if (buffer == nullptr || bufferSize == 0) return 0;
  buffer[0] = '\0';
  if (format == nullptr) return 0;
  int wanted = std::vsnprintf(buffer, bufferSize, format, args);
  if (wanted < 0) {
    buffer[0] = '\0';
    return 0;
  }
  if (static_cast<size_t>(wanted) >= bufferSize) return static_cast<int>(bufferSize - 1);
  return wanted;
}

QZWIN_PRINTF_FORMAT(3, 4)
inline int FormatBounded(char* buffer, size_t bufferSize, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int written = FormatBoundedV(buffer, bufferSize, format, args);
  va_end(args);
  return written;
}

// The same for an array, whose size the compiler supplies.
template <size_t N>
QZWIN_PRINTF_FORMAT(2, 3) int FormatBounded(char (&buffer)[N], const char* format, ...) {
  va_list args;
  va_start(args, format);
  int written = FormatBoundedV(buffer, N, format, args);
  va_end(args);
  return written;
}

}  // namespace qzwin
