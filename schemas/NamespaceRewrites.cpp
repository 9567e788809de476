#include "schemas/NamespaceRewrites.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr char kEmptyDeclaration[] = "xmlns=\"\"";
constexpr size_t kEmptyDeclarationLength = sizeof(kEmptyDeclaration) - 1;
constexpr char kSchemaDeclaration[] = "xmlns=\"x-schema:";
constexpr size_t kSchemaDeclarationLength = sizeof(kSchemaDeclaration) - 1;
constexpr size_t kNotFound = static_cast<size_t>(-1);

// 8-bit text: one byte per character.
class NarrowText {
 public:
  NarrowText(unsigned char* data, size_t size) : m_pData(data) {
    const void* zero = std::memchr(data, 0, size);
    m_cchLength = zero != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(zero) - data) : size;
  }

  size_t Length() const { return m_cchLength; }
  unsigned Get(size_t i) const { return m_pData[i]; }
  void Put(size_t i, unsigned c) { m_pData[i] = static_cast<unsigned char>(c); }

  // First position in [from, to) that holds c, or kNotFound.
  size_t Find(unsigned c, size_t from, size_t to) const {
    if (from >= to) return kNotFound;
    const void* hit = std::memchr(m_pData + from, static_cast<int>(c), to - from);
    return hit != nullptr ? static_cast<size_t>(static_cast<const unsigned char*>(hit) - m_pData) : kNotFound;
  }

  bool Matches(size_t at, const char* pattern, size_t length) const {
    return at + length <= m_cchLength && std::memcmp(m_pData + at, pattern, length) == 0;
  }

 private:
  unsigned char* m_pData;
  size_t m_cchLength;
};

// 16-bit text: little-endian units, whatever the host's byte order.
class WideText {
 public:
  WideText(unsigned char* data, size_t size) : m_pData(data) {
    const size_t units = size / 2;
    m_cchLength = units;
    for (size_t i = 0; i < units; ++i) {
      if (Get(i) == 0) {
        m_cchLength = i;
        break;
      }
    }
  }

  size_t Length() const { return m_cchLength; }
  unsigned Get(size_t i) const { return m_pData[2 * i] | (static_cast<unsigned>(m_pData[2 * i + 1]) << 8); }
  void Put(size_t i, unsigned c) {
    m_pData[2 * i] = static_cast<unsigned char>(c & 0xFF);
    m_pData[2 * i + 1] = static_cast<unsigned char>(c >> 8);
  }

  // The patterns are ASCII, so a hit is a low byte equal to c at an even
  // offset with a zero high byte: memchr finds the candidates.
  size_t Find(unsigned c, size_t from, size_t to) const {
    const unsigned char* const end = m_pData + 2 * to;
    const unsigned char* at = m_pData + 2 * from;
    while (at < end) {
      const void* hit = std::memchr(at, static_cast<int>(c), static_cast<size_t>(end - at));
      if (hit == nullptr) return kNotFound;
      const size_t offset = static_cast<size_t>(static_cast<const unsigned char*>(hit) - m_pData);
      if (offset % 2 == 0 && m_pData[offset + 1] == 0) return offset / 2;
      at = m_pData + offset + 1;
    }
    return kNotFound;
  }

  bool Matches(size_t at, const char* pattern, size_t length) const {
    if (at + length > m_cchLength) return false;
    for (size_t i = 0; i < length; ++i) {
      if (Get(at + i) != static_cast<unsigned char>(pattern[i])) return false;
    }
    return true;
  }

 private:
  unsigned char* m_pData;
  size_t m_cchLength;
};

template <typename Text>
void ClearEmpty(Text text) {
  const size_t length = text.Length();
  for (size_t p = text.Find('x', 0, length); p != kNotFound; p = text.Find('x', p + 1, length)) {
    if (!text.Matches(p, kEmptyDeclaration, kEmptyDeclarationLength)) continue;
    for (size_t i = 0; i < kEmptyDeclarationLength; ++i) text.Put(p + i, ' ');
    // Blanks cannot begin a match: go on after them.
    p += kEmptyDeclarationLength - 1;
  }
}

// Rewrites one declaration that starts at p, if it is a run with a directory.
template <typename Text>
void StripOne(Text& text, size_t p) {
  const size_t pathStart = p + kSchemaDeclarationLength;
  // The closing quote must stand within the run limit; a quote further on, or
  // none before the end of the text, both leave the declaration alone.
  const size_t searchEnd = std::min(text.Length(), p + kMaxSchemaDeclarationRun);
  const size_t quote = text.Find('"', pathStart, searchEnd);
  if (quote == kNotFound) return;

  size_t lastBackslash = kNotFound;
  for (size_t i = pathStart; i < quote; ++i) {
    if (text.Get(i) == '\\') lastBackslash = i;
  }
  if (lastBackslash == kNotFound) return;

  // The file name and the closing quote move down to the path's start (a
  // forward copy is safe: the target lies before the source), then blanks.
  const size_t kept = quote - lastBackslash;
  for (size_t i = 0; i < kept; ++i) text.Put(pathStart + i, text.Get(lastBackslash + 1 + i));
  for (size_t i = pathStart + kept; i <= quote; ++i) text.Put(i, ' ');
}

template <typename Text>
void StripDirectories(Text text) {
  const size_t length = text.Length();
  for (size_t p = text.Find('x', 0, length); p != kNotFound; p = text.Find('x', p + 1, length)) {
    if (text.Matches(p, kSchemaDeclaration, kSchemaDeclarationLength)) StripOne(text, p);
  }
}

// Runs rewrite over the text in the width that its first byte decides.
template <typename Rewrite>
void InTextWidth(unsigned char* data, size_t size, Rewrite rewrite) {
  if (data == nullptr) return;
  if (size > 0 && data[0] == '<') {
    rewrite(NarrowText(data, size));
  } else {
    rewrite(WideText(data, size));
  }
}

}  // namespace

void ClearEmptyNamespaceDeclarations(unsigned char* data, size_t size) {
  InTextWidth(data, size, [](auto text) { ClearEmpty(text); });
}

void StripSchemaDirectories(unsigned char* data, size_t size) {
  InTextWidth(data, size, [](auto text) { StripDirectories(text); });
}
