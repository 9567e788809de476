#include "declaration.h"

#include "parse_error_codes.h"

namespace qzwin::msxml {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.' || c == ':';
}

// Reads the data one pseudo-attribute at a time.
class DeclarationReader {
 public:
  explicit DeclarationReader(std::string_view data) : data_(data) {}

  void SkipBlanks() {
    while (at_ < data_.size() && IsBlank(data_[at_])) ++at_;
  }
  bool AtEnd() const { return at_ >= data_.size(); }

  // One `name = 'value'`, the reader standing on its first character.
  HRESULT ReadPair(std::string* name, std::string* value) {
    size_t start = at_;
    while (at_ < data_.size() && IsNameChar(data_[at_])) ++at_;
    if (at_ == start) return kDeclarationSyntax;
    name->assign(data_.substr(start, at_ - start));
    if (*name != "version" && *name != "encoding" && *name != "standalone") return kUnexpectedAttribute;
    SkipBlanks();
    if (AtEnd() || data_[at_] != '=') return kMissingEquals;
    ++at_;
    SkipBlanks();
    if (AtEnd() || (data_[at_] != '"' && data_[at_] != '\'')) return kMissingQuote;
    const char quote = data_[at_++];
    size_t close = data_.find(quote, at_);
    if (close == std::string_view::npos) return kBadCharInString;
    value->assign(data_.substr(at_, close - at_));
    at_ = close + 1;
    // Pseudo-attributes are separated by blanks.
    if (!AtEnd() && !IsBlank(data_[at_])) return kDeclarationSyntax;
    return S_OK;
  }

 private:
  std::string_view data_;
  size_t at_ = 0;
};

std::string Quoted(const std::string& value) {
  // A value typed in single quotes may hold a double quote.
  const char quote = value.find('"') == std::string::npos ? '"' : '\'';
  return quote + value + quote;
}

}  // namespace

bool IsDeclaration(xmlNodePtr node) {
  return node != nullptr && node->type == XML_PI_NODE && xmlStrEqual(node->name, BAD_CAST "xml");
}

HRESULT ParseDeclaration(const std::optional<std::string_view>& data, Declaration* out) {
  if (!data) return kDeclarationSyntax;
  Declaration declaration;
  DeclarationReader reader(*data);
  // version first, then encoding, then standalone, each at most once.
  size_t next = 0;
  reader.SkipBlanks();
  while (!reader.AtEnd()) {
    std::string name, value;
    HRESULT hr = reader.ReadPair(&name, &value);
    if (FAILED(hr)) return hr;
    const size_t index = name == "version" ? 0 : name == "encoding" ? 1 : 2;
    if (index < next || (next == 0 && index != 0)) return kDeclarationSyntax;
    if (index == 0) declaration.version = value;
    if (index == 1) declaration.encoding = value;
    if (index == 2) declaration.standalone = value;
    next = index + 1;
    reader.SkipBlanks();
  }
  if (next == 0) return kDeclarationSyntax;  // no version
  *out = std::move(declaration);
  return S_OK;
}

std::string DeclarationMarkup(const Declaration& declaration) {
  std::string markup = "<?xml version=" + Quoted(declaration.version);
  if (declaration.encoding) markup += " encoding=" + Quoted(*declaration.encoding);
  if (declaration.standalone) markup += " standalone=" + Quoted(*declaration.standalone);
  return markup + "?>";
}

std::string DeclarationMarkupOf(xmlNodePtr node) {
  const char* data = reinterpret_cast<const char*>(node->content);
  Declaration declaration;
  if (SUCCEEDED(ParseDeclaration(std::string_view(data != nullptr ? data : ""), &declaration))) {
    return DeclarationMarkup(declaration);
  }
  return std::string("<?xml ") + (data != nullptr ? data : "") + "?>";
}

}  // namespace qzwin::msxml
