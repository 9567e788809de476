// The schema cache file's format as its users select in it: the selection
// namespaces, the expressions, and the basic data types entry.
#pragma once

// The selection namespaces, the entries' expression and the basic data
// types URN, with which the schema collection reads the cache.
#include "schemas/SchemaCollection.h"

// The file name of the basic data types schema in the system directory.
#define BASIC_DATATYPES_FILE_NAME "Tavel-basic-datatypes.xml"

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

// The expressions with which schema files are registered, unregistered and
// listed: the root's QZSchemas lists, all their entries, and the entries
// with one URN (a printf format for the URN). They need no selection namespaces: each
// step matches by local name in any namespace, so that the list of the
// default file and the entries of both namespaces (the list's own and the
// basic data types namespace that registration writes) are found. The URN
// is tested first, as it rules out nearly every entry at once.
#define SCHEMA_LISTS_XPATH "/*[local-name()='QZSchemasRoot']/*[local-name()='QZSchemas']"
#define SCHEMA_ENTRIES_XPATH SCHEMA_LISTS_XPATH "/*[local-name()='QZSchema']"
#define SCHEMA_ENTRY_XPATH_FORMAT SCHEMA_LISTS_XPATH "/*[@urn = \"%s\"][local-name()='QZSchema']"
