// The schema cache file as the service keeps it on disk, with its inline
// schema, around the entries given. Shared by the tests and the benchmarks.
#pragma once

#include <string>

namespace qztest {

inline constexpr char kCacheSchemaHead[] =
    "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
    "<!-- source file name: ...\\Shared\\qzschemas\\qzschemas.htm  -->\r\n"
    "<QZSchemasRoot xmlns=\"urn:schemas-microsoft-com:xml-data\" "
    "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">\r\n"
    "\t<Schema name=\"QZSchemas\" xmlns=\"urn:schemas-microsoft-com:xml-data\" "
    "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">\r\n"
    "\t\t<AttributeType name=\"urn\" dt:type=\"string\" required=\"yes\"/>\r\n"
    "\t\t<AttributeType name=\"Filename\" dt:type=\"string\" required=\"yes\"/>\r\n"
    "\t\t<ElementType name=\"QZSchema\" content=\"mixed\">\r\n"
    "\t\t\t<attribute type=\"urn\"/>\r\n"
    "\t\t\t<attribute type=\"Filename\"/>\r\n"
    "\t\t</ElementType>\r\n";

inline constexpr char kDefaultCacheEntry[] =
    "\t\t<QZSchema urn=\"x-schema:Tavel-basic-datatypes.xml\" "
    "Filename=\"C:\\WINNT\\SYSTEM32\\Tavel-basic-datatypes.xml\"/>\r\n";

// closed: the list's element type gets model="closed" (the file's own is open).
inline std::string CacheFile(const std::string& entries, bool closed = false) {
  return std::string(kCacheSchemaHead) + "\t\t<ElementType name=\"QZSchemas\" content=\"mixed\"" +
         (closed ? " model=\"closed\"" : "") +
         ">\r\n"
         "\t\t\t<element type=\"QZSchema\" minOccurs=\"1\" maxOccurs=\"*\"/>\r\n"
         "\t\t</ElementType>\r\n"
         "\t</Schema>\r\n"
         "\t<QZSchemas xmlns=\"x-schema:#QZSchemas\">\r\n" +
         entries + "\t</QZSchemas>\r\n</QZSchemasRoot>\r\n";
}

}  // namespace qztest
