#include "source_writer.h"

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "script_error.h"

namespace qzrc {
namespace {

namespace fs = std::filesystem;

// Characters of literal per line of generated source; short lines keep
// diagnostics and diffs readable, the compiler does not care.
constexpr std::size_t kLiteralLineLength = 96;
// "\ooo" and its terminator.
constexpr std::size_t kOctalEscapeSize = 5;

std::string ReadBytes(const ScriptResource& resource, const fs::path& scriptPath) {
  std::ifstream file(resource.file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!file.good() && !file.eof()) {
    throw ScriptError(scriptPath, resource.line, "cannot read data file " + resource.file.string());
  }
  if (bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
    throw ScriptError(scriptPath, resource.line, "data file " + resource.file.string() + " is too large for a resource");
  }
  return bytes;
}

bool IsPlain(unsigned char byte) { return byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"' && byte != '?'; }

// Plain ASCII as it is, everything else as a three-digit octal escape, which
// never runs into the character after it.
void AppendEscaped(unsigned char byte, std::string* text) {
  if (IsPlain(byte)) {
    *text += static_cast<char>(byte);
    return;
  }
  char escape[kOctalEscapeSize];
  std::snprintf(escape, sizeof escape, "\\%03o", byte);
  *text += escape;
}

// The bytes as adjacent string literals, a line break after each line feed
// and wherever a line grows long.
void WriteLiteral(const std::string& bytes, std::ostream& out) {
  std::string line = "    \"";
  out << "\n";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    auto byte = static_cast<unsigned char>(bytes[i]);
    AppendEscaped(byte, &line);
    bool more = i + 1 < bytes.size();
    if (more && (line.size() >= kLiteralLineLength || byte == '\n')) {
      out << line << "\"\n";
      line = "    \"";
    }
  }
  out << line << "\"";
}

void WriteStringLiteral(const std::string& text, std::ostream& out) {
  std::string literal = "\"";
  for (char c : text) AppendEscaped(static_cast<unsigned char>(c), &literal);
  out << literal << '"';
}

}  // namespace

void WriteResourceSource(const ResourceScript& script, const fs::path& scriptPath, std::ostream& out) {
  out << "// Resources of " << scriptPath.filename().string() << ", written by qzrc. Do not edit.\n"
      << "#include <qzwin/resources.h>\n\n"
      << "namespace {\n";

  // One array per data file, shared by resources that name the same file.
  std::map<fs::path, std::size_t> arrayOfFile;
  std::vector<std::size_t> arrayOfResource;
  std::size_t compiledArrays = 0;
  for (const ScriptResource& resource : script.resources) {
    if (resource.file.empty()) {
      std::size_t index = arrayOfFile.size() + compiledArrays++;
      out << "\n// compiled from line " << resource.line << "\n"
          << "alignas(8) const unsigned char kData" << index << "[] =";
      WriteLiteral(resource.data, out);
      out << ";\n";
      arrayOfResource.push_back(index);
      continue;
    }
    fs::path key = resource.file.lexically_normal();
    auto found = arrayOfFile.find(key);
    if (found == arrayOfFile.end()) {
      std::size_t index = arrayOfFile.size() + compiledArrays;
      found = arrayOfFile.emplace(key, index).first;
      // Aligned like resource data on Windows, for readers that cast it to structures.
      out << "\n// " << resource.file.filename().string() << "\n"
          << "alignas(8) const unsigned char kData" << index << "[] =";
      WriteLiteral(ReadBytes(resource, scriptPath), out);
      out << ";\n";
    }
    arrayOfResource.push_back(found->second);
  }

  if (script.resources.empty()) {
    out << "\nconst qzwin::ResourceTable kTable = {nullptr, 0};\n";
  } else {
    out << "\nconst qzwin::ResourceEntry kEntries[] = {\n";
    for (std::size_t i = 0; i < script.resources.size(); ++i) {
      const ScriptResource& resource = script.resources[i];
      std::size_t array = arrayOfResource[i];
      out << "    {" << resource.typeId << ", ";
      if (resource.typeName.empty()) {
        out << "nullptr";
      } else {
        WriteStringLiteral(resource.typeName, out);
      }
      out << ", " << resource.nameId << ", " << resource.language << ", kData" << array << ", sizeof kData" << array
          << " - 1},\n";
    }
    out << "};\n\n"
        << "const qzwin::ResourceTable kTable = {kEntries, sizeof kEntries / sizeof kEntries[0]};\n";
  }

  out << "\n"
      << "// Registered while the module is loaded; the table's own address tells\n"
      << "// the kernel which module it belongs to.\n"
      << "struct Registration {\n"
      << "  Registration() { qzwin::RegisterModuleResources(&kTable, &kTable); }\n"
      << "  ~Registration() { qzwin::UnregisterModuleResources(&kTable); }\n"
      << "  Registration(const Registration&) = delete;\n"
      << "  Registration& operator=(const Registration&) = delete;\n"
      << "} const registration;\n\n"
      << "}  // namespace\n";
}

}  // namespace qzrc
