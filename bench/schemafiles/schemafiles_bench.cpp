// RegisterSchemaFile adding one entry to caches of 100, 1,000 and 10,000
// entries, and UnRegisterSchemaFile taking it out again, each side by side
// with libxml2 reading and saving the same cache file: once in place
// (xmlReadFile + xmlSaveFile, the plain parse and save) and once through a
// file written beside it that then takes its place (the way the stand-in
// saves, so that a crash never leaves half a file). A row's ratios are what
// the cache's DOM, the entry search and the validation on load and save cost
// on top; the complexity fits show how each grows with the entries.
//
// The sides run in turns, so that a machine whose speed drifts slows both
// alike, and every timed run starts with the cache file flushed to disk, so
// that no side pays for writing back what the other left behind.
#include <cstdio>
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
#include "side_by_side.h"
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

  // Writes the cache file and flushes it to disk.
  void WriteCache(const std::string& text) const {
    std::ofstream(base.CachePath(), std::ios::binary | std::ios::trunc) << text;
    FlushCache();
  }

  // Flushes the cache file to disk.
  bool FlushCache() const {
    const int fd = open(base.CachePath().c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool flushed = fsync(fd) == 0;
    close(fd);
    return flushed;
  }

  bool Register() const {
    BSTR sentence = nullptr;
    const bool registered = RegisterSchemaFile(schemaFile, &sentence) == S_OK;
    SysFreeString(sentence);
    return registered;
  }

  bool Unregister() const { return UnRegisterSchemaFile(schemaFile, nullptr) == S_OK; }
};

Platform* platform = nullptr;

// The stand-in's loader refuses files that its own loads do not allow;
// libxml2's loader without network is what xmlReadFile uses by default.
class Libxml2Loader {
 public:
  Libxml2Loader() : standIn_(xmlGetExternalEntityLoader()) { xmlSetExternalEntityLoader(xmlNoNetExternalEntityLoader); }
  ~Libxml2Loader() { xmlSetExternalEntityLoader(standIn_); }

 private:
  xmlExternalEntityLoader standIn_;
};

// Saves the document beside the file and exchanges the two, then removes
// the old one, as the stand-in's save does so that a crash never leaves half
// a file.
bool SaveWhole(xmlDocPtr document, const std::string& path) {
  const std::string temporary = path + ".bench";
  if (xmlSaveFile(temporary.c_str(), document) < 0) return false;
  return renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, path.c_str(), RENAME_EXCHANGE) == 0 &&
         unlink(temporary.c_str()) == 0;
}

// xmlReadFile, then xmlSaveFile over the file itself or, whole, beside it.
bool Libxml2ReadAndSave(bool whole) {
  const Libxml2Loader loader;
  const std::string& path = platform->base.CachePath();
  xmlDocPtr document = xmlReadFile(path.c_str(), nullptr, 0);
  const bool saved =
      document != nullptr && (whole ? SaveWhole(document, path) : xmlSaveFile(path.c_str(), document) >= 0);
  xmlFreeDoc(document);
  return saved;
}

using Method = bool (Platform::*)() const;

// Times `method` on a cache of the row's entries, in turns with libxml2's
// read and save; `undo`, untimed, puts the cache back for the next turn,
// and the cache is flushed after either side.
// With `registered`, the cache starts with the schema file in it.
void OnCache(benchmark::State& state, bool whole, bool registered, Method method, Method undo) {
  platform->WriteCache(Platform::CacheText(static_cast<int>(state.range(0))));
  if (registered && !platform->Register()) {
    state.SkipWithError("RegisterSchema failed");
    return;
  }
  qzbench::SideBySide(
      state, [method] { return (platform->*method)(); }, [whole] { return Libxml2ReadAndSave(whole); },
      [undo] { return (platform->*undo)() && platform->FlushCache(); }, [] { return platform->FlushCache(); });
  state.SetComplexityN(state.range(0));
}

// The rows of every method: the cache sizes, timed by SideBySide, with
// the fit of how the time grows with the entries.
void OnCacheSizes(benchmark::internal::Benchmark* rows) {
  rows->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->UseManualTime()->Complexity(benchmark::oN);
}

void BM_RegisterSchema(benchmark::State& state, bool whole) {
  OnCache(state, whole, false, &Platform::Register, &Platform::Unregister);
}
BENCHMARK_CAPTURE(BM_RegisterSchema, in_place, false)->Apply(OnCacheSizes);
BENCHMARK_CAPTURE(BM_RegisterSchema, whole, true)->Apply(OnCacheSizes);

void BM_UnRegisterSchema(benchmark::State& state, bool whole) {
  OnCache(state, whole, true, &Platform::Unregister, &Platform::Register);
}
BENCHMARK_CAPTURE(BM_UnRegisterSchema, in_place, false)->Apply(OnCacheSizes);
BENCHMARK_CAPTURE(BM_UnRegisterSchema, whole, true)->Apply(OnCacheSizes);

}  // namespace

int main(int argc, char** argv) {
  Platform prepared;
  platform = &prepared;
  return qzbench::RunBenchmarks(argc, argv);
}
