// IXMLDOMCharacterData and the node types built on it: text, CDATA sections
// and comments. Offsets and lengths count UTF-16 units, as the DOM's do.
#pragma once

#include <string>
#include <type_traits>

#include "node_impl.h"

namespace qzwin::msxml {

// Shared by every character-data type; works on the node's UTF-16 text.
struct CharacterDataOps {
  static HRESULT Length(xmlNodePtr node, LONG* length);
  static HRESULT Substring(xmlNodePtr node, LONG offset, LONG count, BSTR* data);
  // Replaces `count` units at `offset` with `data` (insert: count 0, delete: data empty).
  static HRESULT Replace(xmlNodePtr node, LONG offset, LONG count, BSTR data);
};

template <class I>
class CharacterData : public NodeImpl<CharacterData<I>, I> {
 public:
  // Character data answers IXMLDOMCharacterData too; a CDATA section is also text.
  using Interfaces = InterfaceTable<typename NodeImpl<CharacterData, I>::Interfaces, Answers<IXMLDOMCharacterData, I>,
                                    std::conditional_t<std::is_base_of_v<IXMLDOMText, I>, Answers<IXMLDOMText, I>,
                                                       InterfaceTable<>>>;

  using NodeImpl<CharacterData, I>::NodeImpl;

  HRESULT STDMETHODCALLTYPE get_data(BSTR* data) override { return this->get_text(data); }
  HRESULT STDMETHODCALLTYPE put_data(BSTR data) override { return this->put_text(data); }
  HRESULT STDMETHODCALLTYPE get_length(LONG* dataLength) override {
    return CharacterDataOps::Length(this->xml(), dataLength);
  }
  HRESULT STDMETHODCALLTYPE substringData(LONG offset, LONG count, BSTR* data) override {
    return CharacterDataOps::Substring(this->xml(), offset, count, data);
  }
  HRESULT STDMETHODCALLTYPE appendData(BSTR data) override {
    LONG length = 0;
    CharacterDataOps::Length(this->xml(), &length);
    return CharacterDataOps::Replace(this->xml(), length, 0, data);
  }
  HRESULT STDMETHODCALLTYPE insertData(LONG offset, BSTR data) override {
    return CharacterDataOps::Replace(this->xml(), offset, 0, data);
  }
  HRESULT STDMETHODCALLTYPE deleteData(LONG offset, LONG count) override {
    return CharacterDataOps::Replace(this->xml(), offset, count, nullptr);
  }
  HRESULT STDMETHODCALLTYPE replaceData(LONG offset, LONG count, BSTR data) override {
    return CharacterDataOps::Replace(this->xml(), offset, count, data);
  }
};

template <class I>
class TextLike : public CharacterData<I> {
 public:
  using CharacterData<I>::CharacterData;
  HRESULT STDMETHODCALLTYPE splitText(LONG offset, IXMLDOMText** rightHandTextNode) override { return E_NOTIMPL; }
};

using Text = TextLike<IXMLDOMText>;
using CDATASection = TextLike<IXMLDOMCDATASection>;
using Comment = CharacterData<IXMLDOMComment>;

}  // namespace qzwin::msxml
