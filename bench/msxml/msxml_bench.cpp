// The DOM stand-in against plain libxml2 on the same bytes: parse, select
// and save a document of 10,000 elements. The stand-in's own overhead is the
// ratio of each pair.
#include <cstdio>
#include <filesystem>
#include <string>

#include <benchmark/benchmark.h>
#include <comdef.h>
#include <libxml/parser.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>
#include <msxml6.h>
#include <objbase.h>
#include <unistd.h>

namespace {

constexpr int kElements = 10000;

_COM_SMARTPTR_TYPEDEF(IXMLDOMDocument2, __uuidof(IXMLDOMDocument2));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNode, __uuidof(IXMLDOMNode));
_COM_SMARTPTR_TYPEDEF(IXMLDOMNodeList, __uuidof(IXMLDOMNodeList));
_COM_SMARTPTR_TYPEDEF(IPersistStream, __uuidof(IPersistStream));
_COM_SMARTPTR_TYPEDEF(IStream, __uuidof(IStream));

const std::string& Document() {
  static const std::string text = [] {
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Items xmlns=\"x-schema:bench.xsd\">\n";
    for (int i = 0; i < kElements; ++i) {
      xml += "  <Item id=\"" + std::to_string(i) + "\" kind=\"" + (i % 2 ? "odd" : "even") + "\">value " +
             std::to_string(i) + "</Item>\n";
    }
    return xml + "</Items>\n";
  }();
  return text;
}

const char* const kXPath = "/b:Items/b:Item[@kind='odd']";

std::string SavePath(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string("msxml_bench_") + name + "_" +
                                                    std::to_string(getpid()) + ".xml"))
      .string();
}

struct Com {
  Com() { CoInitialize(nullptr); }
  ~Com() { CoUninitialize(); }
};

IXMLDOMDocument2Ptr NewDocument() {
  IXMLDOMDocument2Ptr doc;
  doc.CreateInstance(CLSID_DOMDocument60, nullptr, CLSCTX_ALL);
  doc->put_async(VARIANT_FALSE);
  doc->setProperty(_bstr_t("SelectionNamespaces"), _variant_t("xmlns:b='x-schema:bench.xsd'"));
  return doc;
}

IStreamPtr StreamOfDocument() {
  IStreamPtr stream;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  ULONG written = 0;
  stream->Write(Document().data(), static_cast<ULONG>(Document().size()), &written);
  return stream;
}

void LoadInto(IXMLDOMDocument2* doc, IStream* stream) {
  LARGE_INTEGER start{};
  stream->Seek(start, STREAM_SEEK_SET, nullptr);
  IPersistStreamPtr persist = doc;
  if (persist->Load(stream) != S_OK) std::abort();
}

xmlDocPtr PlainParse() {
  return xmlReadMemory(Document().data(), static_cast<int>(Document().size()), nullptr, nullptr,
                       XML_PARSE_NONET | XML_PARSE_NOBLANKS);
}

void StandInParse(benchmark::State& state) {
  Com com;
  IStreamPtr stream = StreamOfDocument();
  IXMLDOMDocument2Ptr doc = NewDocument();
  for (auto _ : state) LoadInto(doc, stream);
}
BENCHMARK(StandInParse)->Unit(benchmark::kMillisecond);

void PlainParse(benchmark::State& state) {
  for (auto _ : state) xmlFreeDoc(PlainParse());
}
BENCHMARK(PlainParse)->Unit(benchmark::kMillisecond);

void StandInSelect(benchmark::State& state) {
  Com com;
  IStreamPtr stream = StreamOfDocument();
  IXMLDOMDocument2Ptr doc = NewDocument();
  LoadInto(doc, stream);
  for (auto _ : state) {
    IXMLDOMNodeListPtr list;
    doc->selectNodes(_bstr_t(kXPath), &list);
    LONG length = 0;
    list->get_length(&length);
    for (LONG i = 0; i < length; ++i) {
      IXMLDOMNodePtr node;
      list->get_item(i, &node);
      benchmark::DoNotOptimize(node.GetInterfacePtr());
    }
  }
}
BENCHMARK(StandInSelect)->Unit(benchmark::kMillisecond);

void PlainSelect(benchmark::State& state) {
  xmlDocPtr doc = PlainParse();
  for (auto _ : state) {
    xmlXPathContextPtr context = xmlXPathNewContext(doc);
    xmlXPathRegisterNs(context, BAD_CAST "b", BAD_CAST "x-schema:bench.xsd");
    xmlXPathObjectPtr result = xmlXPathEvalExpression(BAD_CAST kXPath, context);
    for (int i = 0; i < result->nodesetval->nodeNr; ++i) benchmark::DoNotOptimize(result->nodesetval->nodeTab[i]);
    xmlXPathFreeObject(result);
    xmlXPathFreeContext(context);
  }
  xmlFreeDoc(doc);
}
BENCHMARK(PlainSelect)->Unit(benchmark::kMillisecond);

void StandInSave(benchmark::State& state) {
  Com com;
  IStreamPtr stream = StreamOfDocument();
  IXMLDOMDocument2Ptr doc = NewDocument();
  LoadInto(doc, stream);
  std::string path = SavePath("standin");
  for (auto _ : state) {
    if (doc->save(_variant_t(path.c_str())) != S_OK) std::abort();
  }
  std::remove(path.c_str());
}
BENCHMARK(StandInSave)->Unit(benchmark::kMillisecond);

void PlainSave(benchmark::State& state) {
  xmlDocPtr doc = PlainParse();
  std::string path = SavePath("plain");
  for (auto _ : state) {
    if (xmlSaveFormatFileEnc(path.c_str(), doc, "UTF-8", 1) < 0) std::abort();
  }
  std::remove(path.c_str());
  xmlFreeDoc(doc);
}
BENCHMARK(PlainSave)->Unit(benchmark::kMillisecond);

}  // namespace
