// Parse-error codes that XDR validation reports, and the helper that fills
// an XdrError. The codes are MSXML's; the names are ours so that they never
// collide with SDK macros.
#pragma once

#include <string>
#include <string_view>

#include "xdr_validator.h"

namespace qzwin::msxml::xdr {

// Instance faults.
inline constexpr HRESULT kElementUndeclared = static_cast<HRESULT>(0xC00CE00DL);
inline constexpr HRESULT kElementNotComplete = static_cast<HRESULT>(0xC00CE012L);
inline constexpr HRESULT kInvalidContent = static_cast<HRESULT>(0xC00CE014L);
inline constexpr HRESULT kAttributeNotDefined = static_cast<HRESULT>(0xC00CE015L);
inline constexpr HRESULT kAttributeValue = static_cast<HRESULT>(0xC00CE017L);
inline constexpr HRESULT kIllegalText = static_cast<HRESULT>(0xC00CE018L);
inline constexpr HRESULT kRequiredAttributeMissing = static_cast<HRESULT>(0xC00CE020L);
inline constexpr HRESULT kSchemaNotFound = static_cast<HRESULT>(0xC00CE028L);
inline constexpr HRESULT kDatatypeParse = static_cast<HRESULT>(0xC00CE201L);

// Faults of the schema itself.
inline constexpr HRESULT kElementTypeDefined = static_cast<HRESULT>(0xC00CE01BL);
inline constexpr HRESULT kElementTypeUndefined = static_cast<HRESULT>(0xC00CE01CL);
inline constexpr HRESULT kSchemaElementNotSupported = static_cast<HRESULT>(0xC00CE102L);
inline constexpr HRESULT kElementTypeNameMissing = static_cast<HRESULT>(0xC00CE103L);
inline constexpr HRESULT kElementRefTypeMissing = static_cast<HRESULT>(0xC00CE104L);
inline constexpr HRESULT kOrderUnknown = static_cast<HRESULT>(0xC00CE105L);
inline constexpr HRESULT kDatatypeNeedsTextOnly = static_cast<HRESULT>(0xC00CE106L);
inline constexpr HRESULT kMixedNeedsOrderMany = static_cast<HRESULT>(0xC00CE107L);
inline constexpr HRESULT kContentUnknown = static_cast<HRESULT>(0xC00CE108L);
inline constexpr HRESULT kModelUnknown = static_cast<HRESULT>(0xC00CE109L);
inline constexpr HRESULT kElementInTextOnly = static_cast<HRESULT>(0xC00CE10AL);
inline constexpr HRESULT kGroupWithoutElement = static_cast<HRESULT>(0xC00CE10BL);
inline constexpr HRESULT kAttributeTypeNameMissing = static_cast<HRESULT>(0xC00CE10DL);
inline constexpr HRESULT kAttributeDuplicated = static_cast<HRESULT>(0xC00CE10EL);
inline constexpr HRESULT kRequiredValueInvalid = static_cast<HRESULT>(0xC00CE111L);
inline constexpr HRESULT kAttributeDatatypeUnknown = static_cast<HRESULT>(0xC00CE112L);
inline constexpr HRESULT kDatatypeDuplicated = static_cast<HRESULT>(0xC00CE113L);
inline constexpr HRESULT kValuesWithoutEnumeration = static_cast<HRESULT>(0xC00CE114L);
inline constexpr HRESULT kEnumerationWithoutValues = static_cast<HRESULT>(0xC00CE115L);
inline constexpr HRESULT kAttributeRefTypeMissing = static_cast<HRESULT>(0xC00CE116L);
inline constexpr HRESULT kAttributeTypeUndeclared = static_cast<HRESULT>(0xC00CE117L);
inline constexpr HRESULT kGroupInTextOnly = static_cast<HRESULT>(0xC00CE118L);
inline constexpr HRESULT kDefaultValueInvalid = static_cast<HRESULT>(0xC00CE11BL);
inline constexpr HRESULT kElementInEmpty = static_cast<HRESULT>(0xC00CE11DL);
inline constexpr HRESULT kDatatypeTypeMissing = static_cast<HRESULT>(0xC00CE120L);
inline constexpr HRESULT kMinOccursInvalid = static_cast<HRESULT>(0xC00CE121L);
inline constexpr HRESULT kMaxOccursInvalid = static_cast<HRESULT>(0xC00CE122L);
inline constexpr HRESULT kElementDatatypeUnknown = static_cast<HRESULT>(0xC00CE21CL);

// Longest piece of document text (a value, a name) quoted in a reason.
inline constexpr size_t kMaxQuotedChars = 80;

// The text cut to kMaxQuotedChars bytes (on a UTF-8 boundary), "..." marking the cut.
std::string Quoted(std::string_view text);

// Fills *error (when given) and returns code.
HRESULT Fail(XdrError* error, HRESULT code, xmlNodePtr node, std::string reason);

}  // namespace qzwin::msxml::xdr
