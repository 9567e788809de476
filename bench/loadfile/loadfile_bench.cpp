// LoadFile on a 10 MB platform document against libxml2 parsing the same
// bytes from memory, and the two rewrite passes on their own. The first
// pair's ratio is what reading, rewriting and the DOM layer cost on top of
// the parse.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <unistd.h>

#include "errors/XMLDOMPtr.h"
#include "schemas/CreateDocument.h"
#include "schemas/NamespaceRewrites.h"
#include "schemas/XMLDocument.h"

namespace {

constexpr size_t kDocumentBytes = 10 * 1024 * 1024;

// Entries in the shape of the platform's documents: a schema named by an
// absolute path, and elements that clear their default namespace.
const std::string& Document() {
  static const std::string text = [] {
    std::string xml = "<QZData xmlns=\"x-schema:C:\\WINNT\\SYSTEM32\\Tavel-basic-datatypes.xml\">\n";
    for (int i = 0; xml.size() < kDocumentBytes; ++i) {
      xml += "  <Entry id=\"" + std::to_string(i) + "\"><Value xmlns=\"\" unit=\"mV\">" + std::to_string(i * 7) +
             "</Value><Schema xmlns=\"x-schema:D:\\Platform\\Schemas\\Entry" + std::to_string(i % 50) +
             ".xml\"/></Entry>\n";
    }
    return xml + "</QZData>\n";
  }();
  return text;
}

// The document on disk for the whole run, removed at exit.
struct DocumentFile {
  std::string path =
      (std::filesystem::temp_directory_path() / ("loadfile_bench_" + std::to_string(getpid()) + ".xml")).string();
  DocumentFile() { std::ofstream(path, std::ios::binary) << Document(); }
  ~DocumentFile() { std::filesystem::remove(path); }
};

const std::string& DocumentPath() {
  static const DocumentFile file;
  return file.path;
}

struct Com {
  Com() { CoInitialize(nullptr); }
  ~Com() { CoUninitialize(); }
};

void BM_LoadFile(benchmark::State& state) {
  Com com;
  const std::string& path = DocumentPath();
  for (auto _ : state) {
    IXMLDOMDocument2Ptr doc;
    if (FAILED(CreateDocument(&doc))) state.SkipWithError("CreateDocument failed");
    CXMLDocument holder;
    holder.SetDocument(doc);
    if (holder.LoadFile(path.c_str()) != S_OK) state.SkipWithError("LoadFile failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Document().size()));
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond);

// The parser's input: the document as LoadFile hands it on, rewritten.
const std::string& RewrittenDocument() {
  static const std::string text = [] {
    std::string bytes = Document();
    ClearEmptyNamespaceDeclarations(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    StripSchemaDirectories(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    return bytes;
  }();
  return text;
}

// The text that LoadFile hands on, through IPersistStream::Load from memory:
// what reading and rewriting add is the difference to BM_LoadFile.
void BM_PersistStreamLoad(benchmark::State& state) {
  Com com;
  const std::string& text = RewrittenDocument();
  for (auto _ : state) {
    IXMLDOMDocument2Ptr doc;
    if (FAILED(CreateDocument(&doc))) state.SkipWithError("CreateDocument failed");
    IStreamPtr stream;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    stream->Write(text.data(), static_cast<ULONG>(text.size()), nullptr);
    LARGE_INTEGER start = {};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    IPersistStreamPtr persist = doc;
    if (persist->Load(stream) != S_OK) state.SkipWithError("Load failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_PersistStreamLoad)->Unit(benchmark::kMillisecond);

void BM_Libxml2ParseMemory(benchmark::State& state) {
  const std::string& text = RewrittenDocument();
  for (auto _ : state) {
    xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (doc == nullptr) state.SkipWithError("libxml2 refused the document");
    xmlFreeDoc(doc);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_Libxml2ParseMemory)->Unit(benchmark::kMillisecond);

// Both passes over a fresh copy each time; the copy is not timed.
void RewritePasses(benchmark::State& state, const std::string& text) {
  std::vector<unsigned char> buffer(text.size());
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(buffer.data(), text.data(), text.size());
    state.ResumeTiming();
    ClearEmptyNamespaceDeclarations(buffer.data(), buffer.size());
    StripSchemaDirectories(buffer.data(), buffer.size());
    benchmark::DoNotOptimize(buffer.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_RewritesNarrow(benchmark::State& state) { RewritePasses(state, Document()); }
BENCHMARK(BM_RewritesNarrow)->Unit(benchmark::kMillisecond);

void BM_RewritesWide(benchmark::State& state) {
  static const std::string wide = [] {
    std::string bytes = "\xFF\xFE";
    for (char c : Document()) {
      bytes += c;
      bytes += '\0';
    }
    return bytes;
  }();
  RewritePasses(state, wide);
}
BENCHMARK(BM_RewritesWide)->Unit(benchmark::kMillisecond);

}  // namespace
