#include "byte_buffer.h"
#include "script_error.h"
#include "version_info.h"

namespace qzrc {
namespace {

constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedStructVersion = 0x00010000;
constexpr std::uint16_t kFixedInfoSize = 52;
constexpr std::uint16_t kBinaryType = 0;
constexpr std::uint16_t kTextType = 1;
const std::u16string kRootKey = u"VS_VERSION_INFO";

// Writes one block: wLength (patched at the end), wValueLength, wType, the
// key, the value and the children, each DWORD-aligned. wLength covers the
// block up to the end of its last child, padding between children included.
void WriteNode(const VersionNode& node, ByteBuffer* out) {
  out->AlignToDword();
  std::size_t start = out->size();
  out->Word(0);
  out->Word(node.valueLength);
  out->Word(node.isText ? kTextType : kBinaryType);
  out->Text(node.key);
  if (!node.value.empty()) {
    out->AlignToDword();
    out->Bytes(node.value);
  }
  for (const VersionNode& child : node.children) WriteNode(child, out);
  std::size_t length = out->size() - start;
  if (length > 0xFFFF) throw std::length_error("version block is longer than 65535 bytes");
  out->SetWord(start, static_cast<std::uint16_t>(length));
}

}  // namespace

std::string VersionInfoBytes(const VersionInfo& info) {
  const FixedFileInfo& fixed = info.fixed;
  ByteBuffer value;
  for (std::uint32_t field : {kFixedSignature, kFixedStructVersion, fixed.fileVersionMs, fixed.fileVersionLs,
                              fixed.productVersionMs, fixed.productVersionLs, fixed.fileFlagsMask, fixed.fileFlags,
                              fixed.fileOs, fixed.fileType, fixed.fileSubtype, 0u, 0u}) {
    value.Dword(field);
  }
  VersionNode root;
  root.key = kRootKey;
  root.value = value.bytes();
  root.valueLength = kFixedInfoSize;
  root.children = info.blocks;
  ByteBuffer out;
  WriteNode(root, &out);
  return out.bytes();
}

}  // namespace qzrc
