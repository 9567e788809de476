// InitSchemaCache over a cache of 100 entries naming 100 distinct XSD files,
// side by side with libxml2 compiling the same 100 files directly. The ratio is what
// the cache file, the DOM documents and the collection cost on top of
// compiling the schemas.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <libxml/xmlschemas.h>

#include "bench_platform.h"
#include "side_by_side.h"
#include "module/QZModule.h"

namespace {

constexpr int kSchemaCount = 100;
constexpr int kFieldsPerSchema = 20;

// A schema of the platform's shape: a measurement element with typed fields,
// an enumeration and a named complex type.
std::string SchemaText(const std::string& targetNamespace, int index) {
  std::string xsd = "<?xml version=\"1.0\"?>\n<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" targetNamespace=\"" +
                    targetNamespace + "\" xmlns=\"" + targetNamespace + "\" elementFormDefault=\"qualified\">\n";
  xsd += "  <xs:simpleType name=\"Unit\"><xs:restriction base=\"xs:string\">"
         "<xs:enumeration value=\"mV\"/><xs:enumeration value=\"mA\"/><xs:enumeration value=\"Hz\"/>"
         "</xs:restriction></xs:simpleType>\n";
  xsd += "  <xs:complexType name=\"Value\"><xs:simpleContent><xs:extension base=\"xs:decimal\">"
         "<xs:attribute name=\"unit\" type=\"Unit\"/></xs:extension></xs:simpleContent></xs:complexType>\n";
  xsd += "  <xs:element name=\"Measurement" + std::to_string(index) + "\"><xs:complexType><xs:sequence>\n";
  for (int field = 0; field < kFieldsPerSchema; ++field) {
    const char* type = field % 3 == 0 ? "Value" : field % 3 == 1 ? "xs:string" : "xs:dateTime";
    xsd += "    <xs:element name=\"Field" + std::to_string(field) + "\" type=\"" + type +
           "\" minOccurs=\"0\" maxOccurs=\"unbounded\"/>\n";
  }
  xsd += "  </xs:sequence><xs:attribute name=\"id\" type=\"xs:ID\" use=\"required\"/></xs:complexType></xs:element>\n";
  return xsd + "</xs:schema>\n";
}

// A throw-away platform with 100 schema files and a cache that lists them.
struct Platform {
  qzbench::BenchPlatform base{"collection_bench"};
  std::vector<std::string> schemaFiles;  // POSIX paths

  Platform() {
    const std::filesystem::path schemas = base.DriveC("Schemas");
    std::string entries;
    for (int i = 0; i < kSchemaCount; ++i) {
      const std::string name = "Measurement" + std::to_string(i) + ".xsd";
      const std::string urn = "x-schema:" + name;
      const std::filesystem::path file = schemas / name;
      std::ofstream(file, std::ios::binary) << SchemaText(urn, i);
      schemaFiles.push_back(file.string());
      entries += "\t\t<QZSchema urn=\"" + urn + "\" Filename=\"C:\\Schemas\\" + name + "\"/>\r\n";
    }
    std::ofstream(base.CachePath(), std::ios::binary) << CacheText(entries);
  }

  // The module's default cache with its one entry replaced by entries.
  static std::string CacheText(const std::string& entries) {
    const std::string resource = qzbench::DefaultCacheText();
    return resource.substr(0, resource.find("\t<QZSchemas ")) + "\t<QZSchemas xmlns=\"x-schema:#QZSchemas\">\r\n" +
           entries + "\t</QZSchemas>\r\n</QZSchemasRoot>\r\n";
  }
};

Platform* platform = nullptr;

// Each file is read into memory and compiled from there: the stand-in's
// entity loader, installed process-wide by the first load, keeps libxml2
// from opening files itself. The schemas are held until all are compiled,
// as a collection holds them.
bool Libxml2CompileSchemas() {
  std::vector<xmlSchemaPtr> schemas;
  for (const std::string& file : platform->schemaFiles) {
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    xmlSchemaParserCtxtPtr parser = xmlSchemaNewMemParserCtxt(bytes.data(), static_cast<int>(bytes.size()));
    schemas.push_back(xmlSchemaParse(parser));
    xmlSchemaFreeParserCtxt(parser);
  }
  bool ok = true;
  for (xmlSchemaPtr schema : schemas) {
    ok = ok && schema != nullptr;
    xmlSchemaFree(schema);
  }
  return ok;
}

void BM_InitSchemaCache(benchmark::State& state) {
  CQZModule module;
  const qzbench::Side initSchemaCache = [&module] { return module.InitSchemaCache() == S_OK; };
  qzbench::SideBySide(state, initSchemaCache, Libxml2CompileSchemas);
  IXMLDOMSchemaCollectionPtr schemas;
  LONG length = 0;
  if (FAILED(module.GetSchemas(&schemas)) || FAILED(schemas->get_length(&length)) || length != kSchemaCount) {
    state.SkipWithError("the collection does not hold every schema");
  }
}
BENCHMARK(BM_InitSchemaCache)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

int main(int argc, char** argv) {
  Platform prepared;
  platform = &prepared;
  return qzbench::RunBenchmarks(argc, argv);
}
