// Encodings whose bytes for markup are not plain ASCII (UTF-7, UTF-16
// big-endian, EBCDIC, ISO-2022 with its shift states, ...): save writes the
// document as UTF-8 first and converts the whole text afterwards, so that
// shift states are closed and line ends are encoded like the rest.
#pragma once

#include <string>

namespace qzwin::msxml {

// How save writes a document in an encoding.
enum class SaveRoute {
  // The encoding writes every ASCII character as that same byte and starts
  // with no header of its own: libxml2's writer converts node by node, the
  // declaration and line ends are written in between as ASCII.
  kWriter,
  // As above, through a converter that iconv does not have (libxml2's ICU
  // ones, HZ say): what is written is checked to load again.
  kWriterChecked,
  // Written as UTF-8 and converted whole (ConvertForSave), then checked to
  // load again.
  kConvertAfter,
};
SaveRoute SaveRouteOf(const std::string& encoding);

// Whether saved bytes load again: well-formed, read in the encoding they
// declare. Encodings that a reader cannot tell from the first bytes
// (UTF-32 with a byte-order mark, say) fail here.
bool LoadsAgain(const std::string& bytes);

// The UTF-8 text in the encoding. `head` (the XML declaration and its line
// end, at the start of the text) stays ASCII when the encoding reads those
// bytes back as the same characters, as a reader finds the declaration
// before it knows the encoding. A character the encoding lacks becomes a
// character reference. False when the encoding cannot be written.
bool ConvertForSave(const std::string& text, size_t head, const std::string& encoding, std::string* bytes);

}  // namespace qzwin::msxml
