#include "character_data.h"

#include "utf.h"

namespace qzwin::msxml {

namespace {

std::u16string WideContent(xmlNodePtr node) { return Utf8ToUtf16(NodeText(node)); }

}  // namespace

HRESULT CharacterDataOps::Length(xmlNodePtr node, LONG* length) {
  if (length == nullptr) return E_INVALIDARG;
  *length = static_cast<LONG>(WideContent(node).size());
  return S_OK;
}

HRESULT CharacterDataOps::Substring(xmlNodePtr node, LONG offset, LONG count, BSTR* data) {
  if (data == nullptr) return E_INVALIDARG;
  *data = nullptr;
  std::u16string text = WideContent(node);
  if (offset < 0 || count < 0 || static_cast<size_t>(offset) > text.size()) return E_INVALIDARG;
  std::u16string part = text.substr(offset, count);
  *data = SysAllocStringLen(part.data(), static_cast<UINT>(part.size()));
  return *data != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT CharacterDataOps::Replace(xmlNodePtr node, LONG offset, LONG count, BSTR data) {
  std::u16string text = WideContent(node);
  if (offset < 0 || count < 0 || static_cast<size_t>(offset) > text.size()) return E_INVALIDARG;
  std::u16string inserted = data != nullptr ? std::u16string(data, SysStringLen(data)) : std::u16string();
  text.replace(offset, count, inserted);
  xmlNodeSetContent(node, BAD_CAST Utf16ToUtf8(text).c_str());
  return S_OK;
}

}  // namespace qzwin::msxml
