// MSXML 6: the DOM interfaces, class ids and constants in use, with the SDK's
// names, vtable order and signatures.
#pragma once

#include <oaidl.h>
#include <objidl.h>
#include <wtypes.h>

typedef enum tagDOMNodeType {
  NODE_INVALID = 0,
  NODE_ELEMENT = 1,
  NODE_ATTRIBUTE = 2,
  NODE_TEXT = 3,
  NODE_CDATA_SECTION = 4,
  NODE_ENTITY_REFERENCE = 5,
  NODE_ENTITY = 6,
  NODE_PROCESSING_INSTRUCTION = 7,
  NODE_COMMENT = 8,
  NODE_DOCUMENT = 9,
  NODE_DOCUMENT_TYPE = 10,
  NODE_DOCUMENT_FRAGMENT = 11,
  NODE_NOTATION = 12
} DOMNodeType;

EXTERN_C const IID LIBID_MSXML2;
EXTERN_C const CLSID CLSID_DOMDocument60;
EXTERN_C const CLSID CLSID_FreeThreadedDOMDocument60;
EXTERN_C const CLSID CLSID_XMLSchemaCache60;

EXTERN_C const IID IID_IXMLDOMImplementation;
EXTERN_C const IID IID_IXMLDOMNode;
EXTERN_C const IID IID_IXMLDOMDocumentFragment;
EXTERN_C const IID IID_IXMLDOMDocument;
EXTERN_C const IID IID_IXMLDOMDocument2;
EXTERN_C const IID IID_IXMLDOMNodeList;
EXTERN_C const IID IID_IXMLDOMNamedNodeMap;
EXTERN_C const IID IID_IXMLDOMCharacterData;
EXTERN_C const IID IID_IXMLDOMAttribute;
EXTERN_C const IID IID_IXMLDOMElement;
EXTERN_C const IID IID_IXMLDOMText;
EXTERN_C const IID IID_IXMLDOMComment;
EXTERN_C const IID IID_IXMLDOMProcessingInstruction;
EXTERN_C const IID IID_IXMLDOMCDATASection;
EXTERN_C const IID IID_IXMLDOMDocumentType;
EXTERN_C const IID IID_IXMLDOMEntityReference;
EXTERN_C const IID IID_IXMLDOMParseError;
EXTERN_C const IID IID_IXMLDOMSchemaCollection;

struct IXMLDOMNode;
struct IXMLDOMDocument;
struct IXMLDOMNodeList;
struct IXMLDOMNamedNodeMap;
struct IXMLDOMElement;
struct IXMLDOMAttribute;
struct IXMLDOMText;
struct IXMLDOMComment;
struct IXMLDOMCDATASection;
struct IXMLDOMProcessingInstruction;
struct IXMLDOMEntityReference;
struct IXMLDOMDocumentFragment;
struct IXMLDOMDocumentType;
struct IXMLDOMParseError;
struct IXMLDOMSchemaCollection;

MIDL_INTERFACE("2933BF8F-7B36-11d2-B20E-00C04F983E60") IXMLDOMImplementation : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE hasFeature(BSTR feature, BSTR version, VARIANT_BOOL* hasFeature) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMImplementation, IID_IXMLDOMImplementation)

MIDL_INTERFACE("2933BF80-7B36-11d2-B20E-00C04F983E60") IXMLDOMNode : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_nodeName(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_nodeValue(VARIANT* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_nodeValue(VARIANT value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_nodeType(DOMNodeType* type) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_parentNode(IXMLDOMNode** parent) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_childNodes(IXMLDOMNodeList** childList) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_firstChild(IXMLDOMNode** firstChild) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_lastChild(IXMLDOMNode** lastChild) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_previousSibling(IXMLDOMNode** previousSibling) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_nextSibling(IXMLDOMNode** nextSibling) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_attributes(IXMLDOMNamedNodeMap** attributeMap) = 0;
  virtual HRESULT STDMETHODCALLTYPE insertBefore(IXMLDOMNode* newChild, VARIANT refChild,
                                                 IXMLDOMNode** outNewChild) = 0;
  virtual HRESULT STDMETHODCALLTYPE replaceChild(IXMLDOMNode* newChild, IXMLDOMNode* oldChild,
                                                 IXMLDOMNode** outOldChild) = 0;
  virtual HRESULT STDMETHODCALLTYPE removeChild(IXMLDOMNode* childNode, IXMLDOMNode** oldChild) = 0;
  virtual HRESULT STDMETHODCALLTYPE appendChild(IXMLDOMNode* newChild, IXMLDOMNode** outNewChild) = 0;
  virtual HRESULT STDMETHODCALLTYPE hasChildNodes(VARIANT_BOOL* hasChild) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_ownerDocument(IXMLDOMDocument** XMLDOMDocument) = 0;
  virtual HRESULT STDMETHODCALLTYPE cloneNode(VARIANT_BOOL deep, IXMLDOMNode** cloneRoot) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_nodeTypeString(BSTR* nodeType) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_text(BSTR* text) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_text(BSTR text) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_specified(VARIANT_BOOL* isSpecified) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_definition(IXMLDOMNode** definitionNode) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_nodeTypedValue(VARIANT* typedValue) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_nodeTypedValue(VARIANT typedValue) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_dataType(VARIANT* dataTypeName) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_dataType(BSTR dataTypeName) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_xml(BSTR* xmlString) = 0;
  virtual HRESULT STDMETHODCALLTYPE transformNode(IXMLDOMNode* stylesheet, BSTR* xmlString) = 0;
  virtual HRESULT STDMETHODCALLTYPE selectNodes(BSTR queryString, IXMLDOMNodeList** resultList) = 0;
  virtual HRESULT STDMETHODCALLTYPE selectSingleNode(BSTR queryString, IXMLDOMNode** resultNode) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_parsed(VARIANT_BOOL* isParsed) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_namespaceURI(BSTR* namespaceURI) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_prefix(BSTR* prefixString) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_baseName(BSTR* nameString) = 0;
  virtual HRESULT STDMETHODCALLTYPE transformNodeToObject(IXMLDOMNode* stylesheet, VARIANT outputObject) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMNode, IID_IXMLDOMNode)

MIDL_INTERFACE("3efaa413-272f-11d2-836f-0000f87a7782") IXMLDOMDocumentFragment : public IXMLDOMNode {};
QZ_DECLARE_UUIDOF(IXMLDOMDocumentFragment, IID_IXMLDOMDocumentFragment)

MIDL_INTERFACE("2933BF81-7B36-11d2-B20E-00C04F983E60") IXMLDOMDocument : public IXMLDOMNode {
  virtual HRESULT STDMETHODCALLTYPE get_doctype(IXMLDOMDocumentType** documentType) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_implementation(IXMLDOMImplementation** impl) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_documentElement(IXMLDOMElement** DOMElement) = 0;
  virtual HRESULT STDMETHODCALLTYPE putref_documentElement(IXMLDOMElement* DOMElement) = 0;
  virtual HRESULT STDMETHODCALLTYPE createElement(BSTR tagName, IXMLDOMElement** element) = 0;
  virtual HRESULT STDMETHODCALLTYPE createDocumentFragment(IXMLDOMDocumentFragment** docFrag) = 0;
  virtual HRESULT STDMETHODCALLTYPE createTextNode(BSTR data, IXMLDOMText** text) = 0;
  virtual HRESULT STDMETHODCALLTYPE createComment(BSTR data, IXMLDOMComment** comment) = 0;
  virtual HRESULT STDMETHODCALLTYPE createCDATASection(BSTR data, IXMLDOMCDATASection** cdata) = 0;
  virtual HRESULT STDMETHODCALLTYPE createProcessingInstruction(BSTR target, BSTR data,
                                                                IXMLDOMProcessingInstruction** pi) = 0;
  virtual HRESULT STDMETHODCALLTYPE createAttribute(BSTR name, IXMLDOMAttribute** attribute) = 0;
  virtual HRESULT STDMETHODCALLTYPE createEntityReference(BSTR name, IXMLDOMEntityReference** entityRef) = 0;
  virtual HRESULT STDMETHODCALLTYPE getElementsByTagName(BSTR tagName, IXMLDOMNodeList** resultList) = 0;
  virtual HRESULT STDMETHODCALLTYPE createNode(VARIANT Type, BSTR name, BSTR namespaceURI, IXMLDOMNode** node) = 0;
  virtual HRESULT STDMETHODCALLTYPE nodeFromID(BSTR idString, IXMLDOMNode** node) = 0;
  virtual HRESULT STDMETHODCALLTYPE load(VARIANT xmlSource, VARIANT_BOOL* isSuccessful) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_readyState(LONG* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_parseError(IXMLDOMParseError** errorObj) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_url(BSTR* urlString) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_async(VARIANT_BOOL* isAsync) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_async(VARIANT_BOOL isAsync) = 0;
  virtual HRESULT STDMETHODCALLTYPE abort() = 0;
  virtual HRESULT STDMETHODCALLTYPE loadXML(BSTR bstrXML, VARIANT_BOOL* isSuccessful) = 0;
  virtual HRESULT STDMETHODCALLTYPE save(VARIANT destination) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_validateOnParse(VARIANT_BOOL* isValidating) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_validateOnParse(VARIANT_BOOL isValidating) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_resolveExternals(VARIANT_BOOL* isResolving) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_resolveExternals(VARIANT_BOOL isResolving) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_preserveWhiteSpace(VARIANT_BOOL* isPreserving) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_preserveWhiteSpace(VARIANT_BOOL isPreserving) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_onreadystatechange(VARIANT readystatechangeSink) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ondataavailable(VARIANT ondataavailableSink) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_ontransformnode(VARIANT ontransformnodeSink) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMDocument, IID_IXMLDOMDocument)

MIDL_INTERFACE("2933BF95-7B36-11d2-B20E-00C04F983E60") IXMLDOMDocument2 : public IXMLDOMDocument {
  virtual HRESULT STDMETHODCALLTYPE get_namespaces(IXMLDOMSchemaCollection** namespaceCollection) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_schemas(VARIANT* otherCollection) = 0;
  virtual HRESULT STDMETHODCALLTYPE putref_schemas(VARIANT otherCollection) = 0;
  virtual HRESULT STDMETHODCALLTYPE validate(IXMLDOMParseError** errorObj) = 0;
  virtual HRESULT STDMETHODCALLTYPE setProperty(BSTR name, VARIANT value) = 0;
  virtual HRESULT STDMETHODCALLTYPE getProperty(BSTR name, VARIANT* value) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMDocument2, IID_IXMLDOMDocument2)

MIDL_INTERFACE("2933BF82-7B36-11d2-B20E-00C04F983E60") IXMLDOMNodeList : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** listItem) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_length(LONG* listLength) = 0;
  virtual HRESULT STDMETHODCALLTYPE nextNode(IXMLDOMNode** nextItem) = 0;
  virtual HRESULT STDMETHODCALLTYPE reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown** ppUnk) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMNodeList, IID_IXMLDOMNodeList)

MIDL_INTERFACE("2933BF83-7B36-11d2-B20E-00C04F983E60") IXMLDOMNamedNodeMap : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE getNamedItem(BSTR name, IXMLDOMNode** namedItem) = 0;
  virtual HRESULT STDMETHODCALLTYPE setNamedItem(IXMLDOMNode* newItem, IXMLDOMNode** nameItem) = 0;
  virtual HRESULT STDMETHODCALLTYPE removeNamedItem(BSTR name, IXMLDOMNode** namedItem) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_item(LONG index, IXMLDOMNode** listItem) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_length(LONG* listLength) = 0;
  virtual HRESULT STDMETHODCALLTYPE getQualifiedItem(BSTR baseName, BSTR namespaceURI, IXMLDOMNode** qualifiedItem) = 0;
  virtual HRESULT STDMETHODCALLTYPE removeQualifiedItem(BSTR baseName, BSTR namespaceURI,
                                                        IXMLDOMNode** qualifiedItem) = 0;
  virtual HRESULT STDMETHODCALLTYPE nextNode(IXMLDOMNode** nextItem) = 0;
  virtual HRESULT STDMETHODCALLTYPE reset() = 0;
  virtual HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown** ppUnk) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMNamedNodeMap, IID_IXMLDOMNamedNodeMap)

MIDL_INTERFACE("2933BF84-7B36-11d2-B20E-00C04F983E60") IXMLDOMCharacterData : public IXMLDOMNode {
  virtual HRESULT STDMETHODCALLTYPE get_data(BSTR* data) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_data(BSTR data) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_length(LONG* dataLength) = 0;
  virtual HRESULT STDMETHODCALLTYPE substringData(LONG offset, LONG count, BSTR* data) = 0;
  virtual HRESULT STDMETHODCALLTYPE appendData(BSTR data) = 0;
  virtual HRESULT STDMETHODCALLTYPE insertData(LONG offset, BSTR data) = 0;
  virtual HRESULT STDMETHODCALLTYPE deleteData(LONG offset, LONG count) = 0;
  virtual HRESULT STDMETHODCALLTYPE replaceData(LONG offset, LONG count, BSTR data) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMCharacterData, IID_IXMLDOMCharacterData)

MIDL_INTERFACE("2933BF85-7B36-11d2-B20E-00C04F983E60") IXMLDOMAttribute : public IXMLDOMNode {
  virtual HRESULT STDMETHODCALLTYPE get_name(BSTR* attributeName) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_value(VARIANT* attributeValue) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_value(VARIANT attributeValue) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMAttribute, IID_IXMLDOMAttribute)

MIDL_INTERFACE("2933BF86-7B36-11d2-B20E-00C04F983E60") IXMLDOMElement : public IXMLDOMNode {
  virtual HRESULT STDMETHODCALLTYPE get_tagName(BSTR* tagName) = 0;
  virtual HRESULT STDMETHODCALLTYPE getAttribute(BSTR name, VARIANT* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE setAttribute(BSTR name, VARIANT value) = 0;
  virtual HRESULT STDMETHODCALLTYPE removeAttribute(BSTR name) = 0;
  virtual HRESULT STDMETHODCALLTYPE getAttributeNode(BSTR name, IXMLDOMAttribute** attributeNode) = 0;
  virtual HRESULT STDMETHODCALLTYPE setAttributeNode(IXMLDOMAttribute* DOMAttribute,
                                                     IXMLDOMAttribute** attributeNode) = 0;
  virtual HRESULT STDMETHODCALLTYPE removeAttributeNode(IXMLDOMAttribute* DOMAttribute,
                                                        IXMLDOMAttribute** attributeNode) = 0;
  virtual HRESULT STDMETHODCALLTYPE getElementsByTagName(BSTR tagName, IXMLDOMNodeList** resultList) = 0;
  virtual HRESULT STDMETHODCALLTYPE normalize() = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMElement, IID_IXMLDOMElement)

MIDL_INTERFACE("2933BF87-7B36-11d2-B20E-00C04F983E60") IXMLDOMText : public IXMLDOMCharacterData {
  virtual HRESULT STDMETHODCALLTYPE splitText(LONG offset, IXMLDOMText** rightHandTextNode) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMText, IID_IXMLDOMText)

MIDL_INTERFACE("2933BF88-7B36-11d2-B20E-00C04F983E60") IXMLDOMComment : public IXMLDOMCharacterData {};
QZ_DECLARE_UUIDOF(IXMLDOMComment, IID_IXMLDOMComment)

MIDL_INTERFACE("2933BF89-7B36-11d2-B20E-00C04F983E60") IXMLDOMProcessingInstruction : public IXMLDOMNode {
  virtual HRESULT STDMETHODCALLTYPE get_target(BSTR* name) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_data(BSTR* value) = 0;
  virtual HRESULT STDMETHODCALLTYPE put_data(BSTR value) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMProcessingInstruction, IID_IXMLDOMProcessingInstruction)

MIDL_INTERFACE("2933BF8A-7B36-11d2-B20E-00C04F983E60") IXMLDOMCDATASection : public IXMLDOMText {};
QZ_DECLARE_UUIDOF(IXMLDOMCDATASection, IID_IXMLDOMCDATASection)

MIDL_INTERFACE("2933BF8B-7B36-11d2-B20E-00C04F983E60") IXMLDOMDocumentType : public IXMLDOMNode {
  virtual HRESULT STDMETHODCALLTYPE get_name(BSTR* rootName) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_entities(IXMLDOMNamedNodeMap** entityMap) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_notations(IXMLDOMNamedNodeMap** notationMap) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMDocumentType, IID_IXMLDOMDocumentType)

MIDL_INTERFACE("2933BF8E-7B36-11d2-B20E-00C04F983E60") IXMLDOMEntityReference : public IXMLDOMNode {};
QZ_DECLARE_UUIDOF(IXMLDOMEntityReference, IID_IXMLDOMEntityReference)

MIDL_INTERFACE("3efaa426-272f-11d2-836f-0000f87a7782") IXMLDOMParseError : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_errorCode(LONG* errorCode) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_url(BSTR* urlString) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_reason(BSTR* reasonString) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_srcText(BSTR* sourceString) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_line(LONG* lineNumber) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_linepos(LONG* linePosition) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_filepos(LONG* filePosition) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMParseError, IID_IXMLDOMParseError)

MIDL_INTERFACE("373984c8-b845-449b-91e7-45ac83036ade") IXMLDOMSchemaCollection : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE add(BSTR namespaceURI, VARIANT var) = 0;
  virtual HRESULT STDMETHODCALLTYPE get(BSTR namespaceURI, IXMLDOMNode** schemaNode) = 0;
  virtual HRESULT STDMETHODCALLTYPE remove(BSTR namespaceURI) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_length(LONG* length) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_namespaceURI(LONG index, BSTR* length) = 0;
  virtual HRESULT STDMETHODCALLTYPE addCollection(IXMLDOMSchemaCollection* otherCollection) = 0;
  virtual HRESULT STDMETHODCALLTYPE get__newEnum(IUnknown** ppUnk) = 0;
};
QZ_DECLARE_UUIDOF(IXMLDOMSchemaCollection, IID_IXMLDOMSchemaCollection)

