// VERSIONINFO statements and their binary form: a VS_VERSIONINFO block with
// VS_FIXEDFILEINFO and the BLOCK/VALUE tree below it (StringFileInfo with
// its string tables, VarFileInfo with Translation).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "statement_reader.h"

namespace qzrc {

struct FixedFileInfo {
  std::uint32_t fileVersionMs = 0, fileVersionLs = 0;
  std::uint32_t productVersionMs = 0, productVersionLs = 0;
  std::uint32_t fileFlagsMask = 0, fileFlags = 0;
  std::uint32_t fileOs = 0, fileType = 0, fileSubtype = 0;
};

// A BLOCK (children, no value) or a VALUE (a value, no children).
struct VersionNode {
  std::u16string key;
  bool isText = false;            // wType 1: the value is a UTF-16 string
  std::string value;              // the value's bytes
  std::uint16_t valueLength = 0;  // in characters for text, in bytes otherwise
  std::vector<VersionNode> children;
};

struct VersionInfo {
  FixedFileInfo fixed;
  std::vector<VersionNode> blocks;
};

// Reads the statement after "<id> VERSIONINFO" up to its END.
VersionInfo ParseVersionInfo(StatementReader& reader);

std::string VersionInfoBytes(const VersionInfo& info);

}  // namespace qzrc
