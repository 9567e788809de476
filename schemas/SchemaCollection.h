// Building the schema collection from the loaded schema cache document.
#pragma once

#include <comdef.h>
#include <msxml6.h>

#include <functional>

// The URN of the basic data types schema's cache entry.
#define BASIC_DATATYPES_URN "x-schema:Tavel-basic-datatypes.xml"

// The prefixes qz1 (the root's namespace) and qz (the entries' namespace)
// exist only for selection.
#define CACHE_SELECTION_NAMESPACES \
  "xmlns:qz1='urn:schemas-microsoft-com:xml-data' xmlns:qz='x-schema:#QZSchemas'"

// Every entry of the cache, in file order: the QZSchema children of the
// root's QZSchemas elements. Entries written by registration carry the basic
// data types namespace instead of the list's own, and count as well.
#define CACHE_ENTRIES_XPATH                                                   \
  "qz1:QZSchemasRoot/qz:QZSchemas/*[self::qz:QZSchema or "                    \
  "(local-name()='QZSchema' and namespace-uri()='" BASIC_DATATYPES_URN "')]"

// Told of each entry that the collection refuses, as the build meets it.
using RefusedEntryHandler = std::function<void(const _bstr_t& urn, const _bstr_t& fileName)>;

// Makes a new collection and adds to it, in file order, the schema that
// each entry of the loaded cache document names under the entry's URN.
// An entry whose file does not load is passed over; one that the
// collection refuses goes to onRefused. An entry without urn or Filename
// fails the whole build with E_FAIL. Leaves the cache selection namespaces
// set on cacheDoc.
HRESULT BuildSchemaCollection(IXMLDOMDocument2* cacheDoc, IXMLDOMSchemaCollection** out,
                              const RefusedEntryHandler& onRefused);
