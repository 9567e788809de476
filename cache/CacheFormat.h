// The schema cache file's format as its users select in it: the selection
// namespaces, the expressions, and the basic data types entry.
#pragma once

// The file name of the basic data types schema in the system directory, and
// the URN of its cache entry.
#define BASIC_DATATYPES_FILE_NAME "Tavel-basic-datatypes.xml"
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

// The basic data types entries of a freshly written default cache.
#define DEFAULT_BASIC_DATATYPES_XPATH \
  "//qz1:QZSchemasRoot/qz:QZSchemas/qz:QZSchema[@urn = \"x-schema:Tavel-basic-datatypes.xml\"]"

// The basic data types entries inside the first QZSchemas element of the
// root, chosen by local name and namespace so that no selection namespaces
// are needed.
#define REGISTERED_BASIC_DATATYPES_XPATH                                                                      \
  "/*[local-name()='QZSchemasRoot' and namespace-uri()='urn:schemas-microsoft-com:xml-data']"                 \
  "/*[local-name()='QZSchemas' and namespace-uri()='x-schema:#QZSchemas'][1]"                                 \
  "/*[local-name()='QZSchema' and namespace-uri()='x-schema:#QZSchemas' and @urn = 'x-schema:Tavel-basic-datatypes.xml']"

// The two expressions with which schema files are registered and
// unregistered: the root's QZSchemas lists, and the entries with one URN
// (a printf format for the URN). They need no selection namespaces: each
// step matches by local name in any namespace, so that the list of the
// default file and the entries of both namespaces (the list's own and the
// basic data types namespace that registration writes) are found. The URN
// is tested first, as it rules out nearly every entry at once.
#define SCHEMA_LISTS_XPATH "/*[local-name()='QZSchemasRoot']/*[local-name()='QZSchemas']"
#define SCHEMA_ENTRY_XPATH_FORMAT SCHEMA_LISTS_XPATH "/*[@urn = \"%s\"][local-name()='QZSchema']"
