// The parse-error codes the DOM reports (XMLDOM errors, 0xC00CExxx).
#pragma once

#include <winerror.h>

namespace qzwin::msxml {

inline constexpr HRESULT kUndefinedEntity = static_cast<HRESULT>(0xC00CE002);
inline constexpr HRESULT kElementNotDeclared = static_cast<HRESULT>(0xC00CE00D);
inline constexpr HRESULT kInvalidContent = static_cast<HRESULT>(0xC00CE014);
inline constexpr HRESULT kUndeclaredPrefix = static_cast<HRESULT>(0xC00CE01D);
inline constexpr HRESULT kRequiredAttributeMissing = static_cast<HRESULT>(0xC00CE020);
inline constexpr HRESULT kNothingToValidate = static_cast<HRESULT>(0xC00CE224);  // XML_E_NODTD
// The XML declaration's own syntax.
inline constexpr HRESULT kMissingEquals = static_cast<HRESULT>(0xC00CE501);
inline constexpr HRESULT kMissingQuote = static_cast<HRESULT>(0xC00CE502);
inline constexpr HRESULT kBadCharInString = static_cast<HRESULT>(0xC00CE506);
inline constexpr HRESULT kDeclarationSyntax = static_cast<HRESULT>(0xC00CE507);  // XML_E_XMLDECLSYNTAX
inline constexpr HRESULT kUnexpectedAttribute = static_cast<HRESULT>(0xC00CE56C);
inline constexpr HRESULT kBadSyntax = static_cast<HRESULT>(0xC00CE50D);
inline constexpr HRESULT kMultipleRoots = static_cast<HRESULT>(0xC00CE555);
inline constexpr HRESULT kInvalidAtTopLevel = static_cast<HRESULT>(0xC00CE556);
inline constexpr HRESULT kMissingRoot = static_cast<HRESULT>(0xC00CE558);  // XML_E_MISSINGROOT
inline constexpr HRESULT kUnclosedTag = static_cast<HRESULT>(0xC00CE55E);
inline constexpr HRESULT kEndTagMismatch = static_cast<HRESULT>(0xC00CE56D);
inline constexpr HRESULT kBadEncoding = static_cast<HRESULT>(0xC00CE56E);
// Not found, and a URL that is not a local path.
inline constexpr HRESULT kObjectNotFound = static_cast<HRESULT>(0x800C0006);

}  // namespace qzwin::msxml
