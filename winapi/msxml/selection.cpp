#include "selection.h"

#include <memory>

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include "child_path.h"
#include "error_collector.h"
#include "qualified_name.h"

namespace qzwin::msxml {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void Silent(void*, xmlErrorPtr) {}

// One XPath context per thread, reused for every selection: making a context
// registers all of XPath's functions anew, which costs more than evaluating a
// short expression over a small document. Each use sets it up afresh.
xmlXPathContextPtr ContextFor(xmlNodePtr context, const SelectionNamespaces& namespaces) {
  thread_local std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> reused(nullptr, xmlXPathFreeContext);
  if (!reused) {
    reused.reset(xmlXPathNewContext(context->doc));
    if (!reused) return nullptr;
    reused->error = Silent;
  }
  xmlXPathContextPtr xpath = reused.get();
  xmlXPathRegisteredNsCleanup(xpath);
  xmlResetError(&xpath->lastError);
  xpath->doc = context->doc;
  xpath->node = context;
  for (const auto& [prefix, uri] : namespaces.prefixes) xmlXPathRegisterNs(xpath, BAD_CAST prefix.c_str(), BAD_CAST uri.c_str());
  return xpath;
}

}  // namespace

HRESULT ParseSelectionNamespaces(const std::string& text, SelectionNamespaces* out) {
  SelectionNamespaces parsed;
  parsed.text = text;
  size_t i = 0;
  auto skipSpace = [&] {
    while (i < text.size() && IsSpace(text[i])) ++i;
  };
  skipSpace();
  while (i < text.size()) {
    if (text.compare(i, 5, "xmlns") != 0) return E_FAIL;
    i += 5;
    std::string prefix;
    if (i < text.size() && text[i] == ':') {
      size_t start = ++i;
      while (i < text.size() && !IsSpace(text[i]) && text[i] != '=') ++i;
      prefix = text.substr(start, i - start);
      QualifiedName name;
      if (!SplitQualifiedName(prefix, &name) || !name.prefix.empty()) return E_FAIL;
    }
    skipSpace();
    if (i >= text.size() || text[i] != '=') return E_FAIL;
    ++i;
    skipSpace();
    if (i >= text.size() || (text[i] != '\'' && text[i] != '"')) return E_FAIL;
    char quote = text[i++];
    size_t end = text.find(quote, i);
    if (end == std::string::npos) return E_FAIL;
    std::string uri = text.substr(i, end - i);
    i = end + 1;
    if (i < text.size() && !IsSpace(text[i])) return E_FAIL;
    // A default namespace is accepted but means nothing to XPath 1.0.
    if (!prefix.empty()) {
      if (uri.empty()) return E_FAIL;
      parsed.prefixes.emplace_back(prefix, uri);
    }
    skipSpace();
  }
  *out = std::move(parsed);
  return S_OK;
}

HRESULT SelectNodes(xmlNodePtr context, const SelectionNamespaces& namespaces, const std::string& expression,
                    std::vector<xmlNodePtr>* nodes) {
  nodes->clear();
  // Plain child paths need no engine; their names carry no prefixes, so the
  // selection namespaces do not matter to them.
  if (SelectChildPath(context, expression, nodes)) return S_OK;
  // The context's handler takes what compiling and evaluating report; the
  // collector takes what libxml2 reports past it.
  FirstErrorCollector quiet;
  xmlXPathContextPtr xpath = ContextFor(context, namespaces);
  if (xpath == nullptr) return E_OUTOFMEMORY;
  std::unique_ptr<xmlXPathCompExpr, decltype(&xmlXPathFreeCompExpr)> compiled(
      xmlXPathCtxtCompile(xpath, BAD_CAST expression.c_str()), xmlXPathFreeCompExpr);
  if (!compiled) return E_FAIL;
  std::unique_ptr<xmlXPathObject, decltype(&xmlXPathFreeObject)> result(xmlXPathCompiledEval(compiled.get(), xpath),
                                                                         xmlXPathFreeObject);
  if (!result || result->type != XPATH_NODESET) return E_FAIL;
  if (xmlNodeSetPtr set = result->nodesetval) {
    nodes->reserve(set->nodeNr);
    for (int i = 0; i < set->nodeNr; ++i) {
      // Namespace nodes are copies that live only as long as the result.
      if (set->nodeTab[i]->type != XML_NAMESPACE_DECL) nodes->push_back(set->nodeTab[i]);
    }
  }
  return S_OK;
}

}  // namespace qzwin::msxml
