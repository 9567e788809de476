// LoadFile and IPersistStream::Load of a 10 MB platform document, each side
// by side with libxml2 parsing the same bytes from memory, and the two
// rewrite passes on their own. A row's ratio is what reading, rewriting and
// the DOM layer cost on top of the parse.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <libxml/parser.h>
#include <unistd.h>

#include "errors/XMLDOMPtr.h"
#include "side_by_side.h"
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

// libxml2 alone: the rewritten bytes parsed from memory into a tree.
bool Libxml2ParseMemory() {
  const std::string& text = RewrittenDocument();
  xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), nullptr, nullptr,
                                XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
  xmlFreeDoc(doc);
  return doc != nullptr;
}

bool LoadFile() {
  IXMLDOMDocument2Ptr doc;
  if (FAILED(CreateDocument(&doc))) return false;
  CXMLDocument holder;
  holder.SetDocument(doc);
  return holder.LoadFile(DocumentPath().c_str()) == S_OK;
}

// The text that LoadFile hands on, put in a stream on global memory and
// loaded through IPersistStream: what reading and rewriting add is the
// difference to LoadFile.
bool PersistStreamLoad() {
  const std::string& text = RewrittenDocument();
  IXMLDOMDocument2Ptr doc;
  if (FAILED(CreateDocument(&doc))) return false;
  IStreamPtr stream;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
      FAILED(stream->Write(text.data(), static_cast<ULONG>(text.size()), nullptr))) {
    return false;
  }
  LARGE_INTEGER start = {};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  IPersistStreamPtr persist = doc;
  return persist->Load(stream) == S_OK;
}

void BM_LoadFile(benchmark::State& state) {
  Com com;
  DocumentPath();
  RewrittenDocument();
  qzbench::SideBySide(state, LoadFile, Libxml2ParseMemory);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Document().size()));
}
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_PersistStreamLoad(benchmark::State& state) {
  Com com;
  RewrittenDocument();
  qzbench::SideBySide(state, PersistStreamLoad, Libxml2ParseMemory);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Document().size()));
}
BENCHMARK(BM_PersistStreamLoad)->Unit(benchmark::kMillisecond)->UseManualTime();

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
