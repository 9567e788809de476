// RegisterSchemaFile adding one entry to caches of 100, 1,000 and 10,000
// entries, against libxml2 reading and saving the same cache file, once in
// place and once through a flushed file renamed over it (the way the
// stand-in saves, so that a crash never leaves half a file). The ratios are
// what the cache's DOM, the entry search and the validation on load and save
// cost on top; the complexity fits show how each grows with the entries.
#include <fstream>
#include <string>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <fcntl.h>
#include <unistd.h>

#include <comdef.h>

#include "bench_platform.h"
#include "cache/SchemaRegistration.h"

namespace {

// A throw-away platform with a schema file to register.
struct Platform {
  qzbench::BenchPlatform base{"schemafiles_bench"};
  const _bstr_t schemaFile = "C:\\Schemas\\Added.xsd";

  Platform() {
    std::ofstream(base.DriveC("Schemas") / "Added.xsd") << "<xs:schema xmlns:xs='http://www.w3.org/2001/XMLSchema'/>";
  }

  // The module's default cache with its one entry followed by count - 1
  // more, in the layout the cache file has once saved.
  static std::string CacheText(int count) {
    const std::string resource = qzbench::DefaultCacheText();
    const size_t listEnd = resource.find("\t</QZSchemas>");
    std::string entries;
    for (int i = 1; i < count; ++i) {
      const std::string name = "Measurement" + std::to_string(i) + ".xsd";
      entries += "\t\t<QZSchema xmlns=\"x-schema:Tavel-basic-datatypes.xml\" urn=\"x-schema:" + name +
                 "\" Filename=\"C:\\Schemas\\" + name + "\"/>\r\n";
    }
    return resource.substr(0, listEnd) + entries + resource.substr(listEnd);
  }

  void WriteCache(const std::string& text) const { std::ofstream(base.CachePath(), std::ios::binary) << text; }
};

Platform* platform = nullptr;

void BM_RegisterSchema(benchmark::State& state) {
  const std::string cache = Platform::CacheText(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    platform->WriteCache(cache);
    state.ResumeTiming();
    BSTR sentence = nullptr;
    if (RegisterSchemaFile(platform->schemaFile, &sentence) != S_OK) state.SkipWithError("RegisterSchema failed");
    SysFreeString(sentence);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RegisterSchema)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// The stand-in's loader refuses files that its own loads do not allow;
// libxml2's loader without network is what xmlReadFile uses by default.
class Libxml2Loader {
 public:
  Libxml2Loader() : standIn_(xmlGetExternalEntityLoader()) { xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader); }
  ~Libxml2Loader() { xmlSetExternalEntityLoader(standIn_); }

 private:
  xmlExternalEntityLoader standIn_;
};

// Saves the document beside the file, flushes it to disk and renames it
// over the file, as a save that a crash cannot cut short must.
bool SaveWhole(xmlDocPtr document, const std::string& path) {
  const std::string temporary = path + ".bench";
  if (xmlSaveFile(temporary.c_str(), document) < 0) return false;
  const int fd = open(temporary.c_str(), O_RDONLY);
  const bool flushed = fd >= 0 && fsync(fd) == 0;
  if (fd >= 0) close(fd);
  return flushed && rename(temporary.c_str(), path.c_str()) == 0;
}

// xmlReadFile, then xmlSaveFile over the file itself or, whole, beside it.
void BM_Libxml2ReadAndSave(benchmark::State& state, bool whole) {
  platform->WriteCache(Platform::CacheText(static_cast<int>(state.range(0))));
  const Libxml2Loader loader;
  for (auto _ : state) {
    xmlDocPtr document = xmlReadFile(platform->base.CachePath().c_str(), nullptr, 0);
    const bool saved = document != nullptr && (whole ? SaveWhole(document, platform->base.CachePath())
                                                    : xmlSaveFile(platform->base.CachePath().c_str(), document) >= 0);
    if (!saved) state.SkipWithError("libxml2 could not read or save the cache");
    xmlFreeDoc(document);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK_CAPTURE(BM_Libxml2ReadAndSave, in_place, false)
    ->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_Libxml2ReadAndSave, whole, true)
    ->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

}  // namespace

int main(int argc, char** argv) {
  Platform prepared;
  platform = &prepared;
  return qzbench::RunBenchmarks(argc, argv);
}
