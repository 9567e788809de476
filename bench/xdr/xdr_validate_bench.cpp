// Validating a schema cache file of the shape the service keeps, with many entries.
#include <string>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include "xdr_validator.h"

namespace {

std::string CacheFile(int entries) {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n"
      "<QZSchemasRoot xmlns=\"urn:schemas-microsoft-com:xml-data\" "
      "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">\r\n"
      "\t<Schema name=\"QZSchemas\" xmlns=\"urn:schemas-microsoft-com:xml-data\" "
      "xmlns:dt=\"urn:schemas-microsoft-com:datatypes\">\r\n"
      "\t\t<AttributeType name=\"urn\" dt:type=\"string\" required=\"yes\"/>\r\n"
      "\t\t<AttributeType name=\"Filename\" dt:type=\"string\" required=\"yes\"/>\r\n"
      "\t\t<ElementType name=\"QZSchema\" content=\"mixed\">\r\n"
      "\t\t\t<attribute type=\"urn\"/>\r\n\t\t\t<attribute type=\"Filename\"/>\r\n"
      "\t\t</ElementType>\r\n"
      "\t\t<ElementType name=\"QZSchemas\" content=\"mixed\">\r\n"
      "\t\t\t<element type=\"QZSchema\" minOccurs=\"1\" maxOccurs=\"*\"/>\r\n"
      "\t\t</ElementType>\r\n"
      "\t</Schema>\r\n"
      "\t<QZSchemas xmlns=\"x-schema:#QZSchemas\">\r\n";
  for (int i = 0; i < entries; ++i) {
    std::string name = "Schema" + std::to_string(i) + ".xsd";
    xml += "\t\t<QZSchema urn=\"x-schema:" + name + "\" Filename=\"C:\\WINNT\\SYSTEM32\\" + name +
           "\"/>\r\n";
  }
  return xml + "\t</QZSchemas>\r\n</QZSchemasRoot>\r\n";
}

void BM_ValidateCacheFile(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  std::string xml = CacheFile(entries);
  xmlDocPtr doc = xmlReadMemory(xml.data(), static_cast<int>(xml.size()), "qzschemas.xml",
                                nullptr, XML_PARSE_NONET);
  for (auto _ : state) {
    HRESULT hr = qzwin::msxml::ValidateInlineXdr(doc, nullptr);
    if (hr != S_OK) state.SkipWithError("the cache file did not validate");
    benchmark::DoNotOptimize(hr);
  }
  state.SetItemsProcessed(state.iterations() * entries);
  xmlFreeDoc(doc);
}
BENCHMARK(BM_ValidateCacheFile)->Arg(1)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
