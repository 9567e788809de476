// The XML declaration as the DOM holds it: a processing instruction "xml"
// whose data is read as the pseudo-attributes version, encoding and
// standalone when the instruction is made, and which is written anew from
// them, not as it was typed.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <libxml/tree.h>
#include <winerror.h>

namespace qzwin::msxml {

struct Declaration {
  std::string version;
  std::optional<std::string> encoding;
  std::optional<std::string> standalone;
};

// True for a processing instruction with the target "xml".
bool IsDeclaration(xmlNodePtr node);

// Reads the data of a declaration: version (required, first), then
// encoding, then standalone, each `name = 'value'` or `name = "value"`, blanks
// allowed around `=`. S_OK, or the parse-error code MSXML gives: a null,
// empty or out-of-order data is a declaration syntax error, an unknown name
// is refused as such, a missing `=`, a missing quote or an unterminated
// value have their own codes.
HRESULT ParseDeclaration(const std::optional<std::string_view>& data, Declaration* out);

// The declaration as save and the xml property write it: double quotes,
// single blanks.
std::string DeclarationMarkup(const Declaration& declaration);

// The markup of a declaration node; its data as typed when it does not read
// as a declaration (which the DOM does not let happen).
std::string DeclarationMarkupOf(xmlNodePtr node);

}  // namespace qzwin::msxml
