// Encodings whose bytes for markup are not plain ASCII (UTF-7, UTF-16
// big-endian, EBCDIC, ISO-2022 with its shift states, ...): save writes the
// document as UTF-8 first and converts the whole text afterwards, so that
// shift states are closed and line ends are encoded like the rest.
#pragma once

#include <string>

namespace qzwin::msxml {

// Whether the encoding writes every ASCII character as that same byte and
// starts with no header of its own: libxml2's writer can then convert node
// by node, with the declaration and line ends written in between as ASCII.
bool WritesAsciiAsItself(const std::string& encoding);

// The UTF-8 text in the encoding. `head` (the XML declaration and its line
// end, at the start of the text) stays ASCII when the encoding reads those
// bytes back as the same characters, as a reader finds the declaration
// before it knows the encoding. A character the encoding lacks becomes a
// character reference. False when the encoding cannot be written.
bool ConvertForSave(const std::string& text, size_t head, const std::string& encoding, std::string* bytes);

}  // namespace qzwin::msxml
