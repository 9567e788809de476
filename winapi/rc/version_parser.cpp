#include <cctype>

#include "byte_buffer.h"
#include "version_info.h"

namespace qzrc {
namespace {

// Blocks inside blocks deeper than this are refused rather than recursed into.
constexpr int kMaxBlockDepth = 16;
constexpr int kVersionParts = 4;

// "a, b, c, d": a.b in the high DWORD, c.d in the low one; parts left out are 0.
void ReadVersion(StatementReader& reader, std::uint32_t* ms, std::uint32_t* ls) {
  std::uint16_t parts[kVersionParts] = {};
  parts[0] = reader.Word("version part");
  for (int i = 1; i < kVersionParts && reader.Accept(","); ++i) parts[i] = reader.Word("version part");
  *ms = (static_cast<std::uint32_t>(parts[0]) << 16) | parts[1];
  *ls = (static_cast<std::uint32_t>(parts[2]) << 16) | parts[3];
}

void ReadFixedStatements(StatementReader& reader, FixedFileInfo* fixed) {
  for (const Token* next = reader.Peek(); next != nullptr && next->kind == Token::Kind::kWord; next = reader.Peek()) {
    std::string keyword = Upper(next->text);
    if (keyword == "BEGIN") return;
    Token statement = reader.Take("a version statement");
    if (keyword == "FILEVERSION") {
      ReadVersion(reader, &fixed->fileVersionMs, &fixed->fileVersionLs);
    } else if (keyword == "PRODUCTVERSION") {
      ReadVersion(reader, &fixed->productVersionMs, &fixed->productVersionLs);
    } else if (keyword == "FILEFLAGSMASK") {
      fixed->fileFlagsMask = reader.Value().value;
    } else if (keyword == "FILEFLAGS") {
      fixed->fileFlags = reader.Value().value;
    } else if (keyword == "FILEOS") {
      fixed->fileOs = reader.Value().value;
    } else if (keyword == "FILETYPE") {
      fixed->fileType = reader.Value().value;
    } else if (keyword == "FILESUBTYPE") {
      fixed->fileSubtype = reader.Value().value;
    } else {
      throw reader.Error(statement.line, "unknown version statement '" + statement.text + "'; expected BEGIN");
    }
  }
}

// VALUE "key", v1, v2...: texts make a text value (with its terminator),
// numbers a binary one of WORDs (DWORDs with an L suffix).
VersionNode ReadValue(StatementReader& reader) {
  VersionNode node;
  node.key = reader.Text("a value name");
  std::u16string text;
  ByteBuffer binary;
  bool hasText = false;
  bool hasNumbers = false;
  int line = reader.Line();
  while (reader.Accept(",")) {
    const Token* next = reader.Peek();
    if (next != nullptr && next->kind == Token::Kind::kString) {
      text += reader.TextOf(reader.Take("a value"));
      hasText = true;
    } else {
      Number number = reader.Value();
      if (number.isLong) {
        binary.Dword(number.value);
      } else {
        binary.Word(static_cast<std::uint16_t>(number.value & 0xFFFF));
      }
      hasNumbers = true;
    }
  }
  if (hasText && hasNumbers) throw reader.Error(line, "a VALUE holds either texts or numbers, not both");
  if (hasText) {
    ByteBuffer out;
    out.Text(text);
    node.isText = true;
    node.value = out.bytes();
    node.valueLength = static_cast<std::uint16_t>(text.size() + 1);
  } else {
    node.value = binary.bytes();
    node.valueLength = static_cast<std::uint16_t>(node.value.size());
  }
  return node;
}

std::vector<VersionNode> ReadChildren(StatementReader& reader, int depth) {
  std::vector<VersionNode> children;
  reader.Begin("the block");
  while (!reader.End()) {
    Token keyword = reader.Take("BLOCK or VALUE");
    std::string upper = keyword.kind == Token::Kind::kWord ? Upper(keyword.text) : std::string();
    if (upper == "BLOCK") {
      if (depth >= kMaxBlockDepth) throw reader.Error(keyword.line, "blocks nested too deeply");
      VersionNode block;
      block.key = reader.Text("a block name");
      block.isText = true;
      block.children = ReadChildren(reader, depth + 1);
      children.push_back(std::move(block));
    } else if (upper == "VALUE") {
      children.push_back(ReadValue(reader));
    } else {
      throw reader.Error(keyword.line, "expected BLOCK, VALUE or END, found '" + keyword.text + "'");
    }
  }
  return children;
}

}  // namespace

VersionInfo ParseVersionInfo(StatementReader& reader) {
  VersionInfo info;
  ReadFixedStatements(reader, &info.fixed);
  info.blocks = ReadChildren(reader, 0);
  return info;
}

}  // namespace qzrc
