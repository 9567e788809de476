// The XDR data types (namespace urn:schemas-microsoft-com:datatypes) and the
// check of a text against one of them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qzwin::msxml::xdr {

enum class DatatypeKind {
  kString,  // also every type that is checked as a plain string (see DatatypeFromName)
  kEnumeration,
  kBoolean,
  kChar,
  kInteger,  // int, i1..i8, ui1..ui8: see Datatype::min/max
  kNumber,   // number, float, r4, r8
  kFixed14_4,
  kDate,
  kDateTime,
  kDateTimeTz,
  kTime,
  kTimeTz,
  kUuid,
  kBinHex,
  kBinBase64,
};

struct Datatype {
  DatatypeKind kind = DatatypeKind::kString;
  std::string name = "string";      // as the schema spells it, for messages
  std::vector<std::string> values;  // kEnumeration: the allowed tokens
  int bits = 32;                    // kInteger: width of the range
  bool is_signed = true;            // kInteger
};

// The data type with the given dt:type name (case-insensitive), or nothing
// for an unknown name. Names checked only as strings: string, uri, id, idref,
// idrefs, entity, entities, notation, nmtoken, nmtokens.
std::optional<Datatype> DatatypeFromName(std::string_view name);

// Splits a dt:values list at XML white space.
std::vector<std::string> SplitValues(std::string_view values);

// Whether text is a valid value of the type. Leading and trailing white space
// is ignored for every type but string.
bool IsValidValue(const Datatype& type, std::string_view text);

}  // namespace qzwin::msxml::xdr
