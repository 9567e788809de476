// Validating a schema cache file of the shape the service keeps, with many entries.
#include <string>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include "support/cache_file_text.h"
#include "xdr_validator.h"

namespace {

std::string CacheFileWithEntries(int entries) {
  std::string list;
  for (int i = 0; i < entries; ++i) {
    std::string name = "Schema" + std::to_string(i) + ".xsd";
    list += "\t\t<QZSchema urn=\"x-schema:" + name + "\" Filename=\"C:\\WINNT\\SYSTEM32\\" + name +
            "\"/>\r\n";
  }
  return qztest::CacheFile(list);
}

void BM_ValidateCacheFile(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  std::string xml = CacheFileWithEntries(entries);
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
