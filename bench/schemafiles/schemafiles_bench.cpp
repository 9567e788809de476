// RegisterSchemaFile adding one entry to caches of 100, 1,000 and 10,000
// entries, and UnRegisterSchemaFile taking it out again, against libxml2
// reading and saving the same cache file, once in place (xmlReadFile +
// xmlSaveFile) and once through a flushed file renamed over it (the way the
// stand-in saves, so that a crash never leaves half a file). The ratios are
// what the cache's DOM, the entry search and the validation on load and save
// cost on top; the complexity fits show how each grows with the entries.
//
// Every timed step starts with the cache file flushed to disk, so that no
// side pays for writing back what another step left behind. The table at
// the end gives the ratios, by wall-clock and by CPU time: the in-place save
// is the plain parse and save; the whole save is the fair one for wall-clock
// time, as it flushes the file as the stand-in must.
#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

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

  // Writes the cache file and flushes it to disk.
  void WriteCache(const std::string& text) const {
    std::ofstream(base.CachePath(), std::ios::binary | std::ios::trunc) << text;
    const int fd = open(base.CachePath().c_str(), O_RDONLY);
    if (fd >= 0) {
      fsync(fd);
      close(fd);
    }
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

// Registers the schema file; taking it out again, untimed, restores the cache.
void BM_RegisterSchema(benchmark::State& state) {
  platform->WriteCache(Platform::CacheText(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    if (!platform->Register()) state.SkipWithError("RegisterSchema failed");
    state.PauseTiming();
    if (!platform->Unregister()) state.SkipWithError("UnRegisterSchema failed");
    state.ResumeTiming();
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_RegisterSchema)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

// Takes the schema file out of the cache, having registered it untimed.
void BM_UnRegisterSchema(benchmark::State& state) {
  platform->WriteCache(Platform::CacheText(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    state.PauseTiming();
    if (!platform->Register()) state.SkipWithError("RegisterSchema failed");
    state.ResumeTiming();
    if (!platform->Unregister()) state.SkipWithError("UnRegisterSchema failed");
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_UnRegisterSchema)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

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

// The console report, and then for each cache size the ratio of each of
// the two methods to each of the two libxml2 runs, by wall-clock and CPU time.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& reports) override {
    ConsoleReporter::ReportRuns(reports);
    for (const Run& run : reports) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred || run.iterations == 0) continue;
      Times& times = times_[run.run_name.args][run.run_name.function_name];
      times = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()};
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    if (times_.empty()) return;
    std::ostream& out = GetOutputStream();
    out << "\nRatios (wall-clock / CPU) against libxml2's read and save of the same cache:\n";
    out << Line("entries", "method", "in place", "whole (flushed)");
    for (const auto& [entries, byName] : times_) {
      for (const char* method : {"BM_RegisterSchema", "BM_UnRegisterSchema"}) {
        const auto measured = byName.find(method);
        if (measured == byName.end()) continue;
        out << Line(entries.c_str(), method + 3, Ratio(measured->second, byName, "BM_Libxml2ReadAndSave/in_place").c_str(),
                    Ratio(measured->second, byName, "BM_Libxml2ReadAndSave/whole").c_str());
      }
    }
  }

 private:
  struct Times {
    double real = 0;
    double cpu = 0;
  };

  static std::string Line(const char* entries, const char* method, const char* inPlace, const char* whole) {
    char text[kLineSize];
    std::snprintf(text, sizeof text, "%-8s %-18s %-20s %-20s\n", entries, method, inPlace, whole);
    return text;
  }

  static std::string Ratio(const Times& measured, const std::map<std::string, Times>& byName, const char* baseline) {
    const auto found = byName.find(baseline);
    if (found == byName.end() || found->second.real <= 0 || found->second.cpu <= 0) return "-";
    char text[kRatioTextSize];
    std::snprintf(text, sizeof text, "%.2fx / %.2fx", measured.real / found->second.real,
                  measured.cpu / found->second.cpu);
    return text;
  }

  static constexpr size_t kRatioTextSize = 32;
  static constexpr size_t kLineSize = 128;
  // Entries, then the benchmark's name.
  std::map<std::string, std::map<std::string, Times>> times_;
};

}  // namespace

int main(int argc, char** argv) {
  Platform prepared;
  platform = &prepared;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
