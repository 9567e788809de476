// The MSFT type library file: sizes and field offsets. The format is not
// documented by its maker; this follows what widl writes.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qzwin::typelib::msft {

constexpr std::uint32_t kSignature = 0x5446534D;  // "MSFT"

// The header, then (with kHelpDllFlag) one more INT, then one INT per type
// info, then the segment directory.
constexpr std::size_t kHeaderSize = 0x54;
constexpr std::size_t kHeaderPosGuid = 0x08;
constexpr std::size_t kHeaderHashLcid = 0x0C;
constexpr std::size_t kHeaderLcid = 0x10;
constexpr std::size_t kHeaderVarFlags = 0x14;  // low nibble: SYSKIND
constexpr std::size_t kHeaderVersion = 0x18;   // major in the low word
constexpr std::size_t kHeaderFlags = 0x1C;
constexpr std::size_t kHeaderTypeInfoCount = 0x20;
constexpr std::size_t kHeaderHelpString = 0x24;
constexpr std::size_t kHeaderHelpContext = 0x2C;
constexpr std::size_t kHeaderName = 0x38;
constexpr std::size_t kHeaderHelpFile = 0x3C;
constexpr std::size_t kHeaderDispatchHref = 0x4C;
constexpr std::int32_t kHelpDllFlag = 0x100;

enum Segment {
  kSegTypeInfo = 0,
  kSegImportInfo = 1,
  kSegImportFiles = 2,
  kSegReferences = 3,
  kSegGuid = 5,
  kSegName = 7,
  kSegString = 8,
  kSegTypeDesc = 9,
  kSegArrayDesc = 10,
  kSegCustData = 11,
  kSegmentCount = 15
};
constexpr std::size_t kSegmentEntrySize = 16;  // offset, length, two reserved INTs

// One type info record of the type info segment.
constexpr std::size_t kTypeInfoSize = 0x64;
constexpr std::size_t kTiKind = 0x00;  // TYPEKIND in bits 0-3, alignment in bits 11-15
constexpr std::size_t kTiMemberOffset = 0x04;
constexpr std::size_t kTiElementCounts = 0x18;  // functions in the low word, variables in the high
constexpr std::size_t kTiPosGuid = 0x2C;
constexpr std::size_t kTiFlags = 0x30;
constexpr std::size_t kTiName = 0x34;
constexpr std::size_t kTiVersion = 0x38;
constexpr std::size_t kTiDocString = 0x3C;
constexpr std::size_t kTiHelpContext = 0x44;
constexpr std::size_t kTiImplTypeCount = 0x4C;  // INT16
constexpr std::size_t kTiVtableSize = 0x4E;     // INT16
constexpr std::size_t kTiSize = 0x50;
constexpr std::size_t kTiDataType1 = 0x54;  // base interface, first reference or alias type

constexpr std::size_t kGuidEntrySize = 24;   // GUID, hreftype, next in hash chain
constexpr std::size_t kNameIntroSize = 12;   // hreftype, next in hash chain, length in the low byte
constexpr std::size_t kImportInfoSize = 12;  // flags, import file offset, GUID offset or index
constexpr std::int32_t kImportByGuid = 0x00010000;
constexpr std::size_t kImportFileFixedSize = 14;  // GUID offset, LCID, major, minor, encoded length
constexpr std::size_t kReferenceSize = 16;        // hreftype, flags, custom data, next
constexpr std::size_t kTypeDescSize = 8;
constexpr std::size_t kArrayDescFixedSize = 8;  // element type, dimension count, total size
constexpr std::size_t kArrayBoundSize = 8;      // element count, lower bound

// A function record: the fixed part, optional fields, default values (one
// INT per parameter, when kFuncHasDefaults is set), then the parameters.
constexpr std::size_t kFuncFixedSize = 24;
constexpr std::size_t kFuncDataType = 4;
constexpr std::size_t kFuncFlags = 8;
constexpr std::size_t kFuncVtableOffset = 12;  // INT16
constexpr std::size_t kFuncKinds = 16;         // funckind 0-2, invkind 3-6, callconv 8-11
constexpr std::size_t kFuncParamCount = 20;    // INT16
constexpr std::size_t kFuncOptionalCount = 22; // INT16
constexpr std::size_t kFuncHelpContext = 24;
constexpr std::size_t kFuncHelpString = 28;
constexpr std::int32_t kFuncHasDefaults = 0x1000;
constexpr std::size_t kParamSize = 12;  // data type, name offset, flags

constexpr std::size_t kVarFixedSize = 20;
constexpr std::size_t kVarDataType = 4;
constexpr std::size_t kVarFlags = 8;
constexpr std::size_t kVarKind = 12;  // INT16
constexpr std::size_t kVarValue = 16;
constexpr std::size_t kVarHelpContext = 20;
constexpr std::size_t kVarHelpString = 24;

// A data type field: a basic VARTYPE when the high bit is set, else an
// offset into the type description segment.
constexpr std::uint32_t kBasicTypeFlag = 0x80000000u;

// An inline constant: its VARTYPE in bits 26-30 and 26 bits of value.
constexpr std::uint32_t kInlineValueTypeMask = 0x7C000000u;
constexpr int kInlineValueTypeShift = 26;
constexpr std::uint32_t kInlineValueMask = 0x03FFFFFFu;

}  // namespace qzwin::typelib::msft
