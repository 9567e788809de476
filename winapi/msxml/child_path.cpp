#include "child_path.h"

#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

namespace qzwin::msxml {

namespace {

// The most digits a position may have; longer numbers go to the engine.
constexpr size_t kMaxPositionDigits = 9;

struct Test {
  enum Kind { kLocalName, kNamespaceUri, kAttribute } kind;
  std::string attribute;  // kAttribute: the attribute's name
  std::string value;      // the literal compared with
};

// Either a position or tests that must all hold.
struct Predicate {
  long position = 0;  // 0: not a position
  std::vector<Test> tests;
};

struct Step {
  std::string name;  // empty: "*"
  std::vector<Predicate> predicates;
};

struct Path {
  bool absolute = false;
  std::vector<Step> steps;
};

bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A recursive-descent reader of the accepted grammar; any other text makes
// it fail, and the expression goes to the engine.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<Path> ReadPath() {
    Path path;
    SkipSpace();
    path.absolute = Take('/');
    for (;;) {
      std::optional<Step> step = ReadStep();
      if (!step) return std::nullopt;
      path.steps.push_back(std::move(*step));
      SkipSpace();
      if (AtEnd()) return path;
      if (!Take('/') || Peek() == '/') return std::nullopt;
    }
  }

 private:
  std::optional<Step> ReadStep() {
    Step step;
    SkipSpace();
    if (!Take('*')) {
      std::optional<std::string> name = ReadName();
      // A name followed by "(" or ":" is a function, node test, axis or prefix.
      if (!name || Peek() == '(' || Peek() == ':') return std::nullopt;
      step.name = std::move(*name);
    }
    for (;;) {
      SkipSpace();
      if (!Take('[')) return step;
      std::optional<Predicate> predicate = ReadPredicate();
      if (!predicate) return std::nullopt;
      step.predicates.push_back(std::move(*predicate));
    }
  }

  std::optional<Predicate> ReadPredicate() {
    Predicate predicate;
    SkipSpace();
    if (Peek() >= '0' && Peek() <= '9') {
      size_t digits = 0;
      while (Peek() >= '0' && Peek() <= '9') {
        if (++digits > kMaxPositionDigits) return std::nullopt;
        predicate.position = predicate.position * 10 + (text_[at_++] - '0');
      }
      SkipSpace();
      // Position 0 selects nothing, like any position past the last node.
      if (!Take(']')) return std::nullopt;
      if (predicate.position == 0) predicate.position = -1;
      return predicate;
    }
    for (;;) {
      std::optional<Test> test = ReadTest();
      if (!test) return std::nullopt;
      predicate.tests.push_back(std::move(*test));
      SkipSpace();
      if (Take(']')) return predicate;
      if (!TakeWord("and")) return std::nullopt;
    }
  }

  std::optional<Test> ReadTest() {
    Test test{Test::kAttribute, {}, {}};
    SkipSpace();
    if (Take('@')) {
      SkipSpace();
      std::optional<std::string> name = ReadName();
      if (!name || Peek() == ':' || Peek() == '(') return std::nullopt;
      test.attribute = std::move(*name);
    } else {
      std::optional<std::string> function = ReadName();
      if (!function) return std::nullopt;
      if (*function == "local-name") {
        test.kind = Test::kLocalName;
      } else if (*function == "namespace-uri") {
        test.kind = Test::kNamespaceUri;
      } else {
        return std::nullopt;
      }
      SkipSpace();
      if (!Take('(')) return std::nullopt;
      SkipSpace();
      if (!Take(')')) return std::nullopt;
    }
    SkipSpace();
    if (!Take('=')) return std::nullopt;
    SkipSpace();
    std::optional<std::string> literal = ReadLiteral();
    if (!literal) return std::nullopt;
    test.value = std::move(*literal);
    return test;
  }

  // ASCII names only: the engine judges which other characters names take.
  std::optional<std::string> ReadName() {
    if (!IsNameStart(Peek())) return std::nullopt;
    size_t start = at_;
    while (IsNameChar(Peek())) ++at_;
    if (static_cast<unsigned char>(Peek()) >= 0x80) return std::nullopt;
    return std::string(text_.substr(start, at_ - start));
  }

  std::optional<std::string> ReadLiteral() {
    char quote = Peek();
    if (quote != '"' && quote != '\'') return std::nullopt;
    size_t end = text_.find(quote, at_ + 1);
    if (end == std::string_view::npos) return std::nullopt;
    std::string literal(text_.substr(at_ + 1, end - at_ - 1));
    at_ = end + 1;
    return literal;
  }

  // The operator "and": the word, not the start of a longer name.
  bool TakeWord(std::string_view word) {
    if (text_.substr(at_, word.size()) != word || IsNameChar(CharAt(at_ + word.size()))) return false;
    at_ += word.size();
    return true;
  }

  bool Take(char c) {
    if (Peek() != c) return false;
    ++at_;
    return true;
  }
  void SkipSpace() {
    while (IsSpace(Peek())) ++at_;
  }
  char CharAt(size_t i) const { return i < text_.size() ? text_[i] : '\0'; }
  char Peek() const { return CharAt(at_); }
  bool AtEnd() const { return at_ >= text_.size(); }

  std::string_view text_;
  size_t at_ = 0;
};

bool Equals(const xmlChar* text, const std::string& literal) {
  return std::strcmp(text != nullptr ? reinterpret_cast<const char*>(text) : "", literal.c_str()) == 0;
}

// An attribute's string value compared with a literal; a value of one text
// node, the usual case, is compared where it lies.
bool AttributeEquals(xmlAttrPtr attribute, const std::string& literal) {
  xmlNodePtr value = attribute->children;
  if (value == nullptr) return literal.empty();
  if (value->next == nullptr && value->type == XML_TEXT_NODE) return Equals(value->content, literal);
  xmlChar* text = xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(attribute));
  bool equal = Equals(text, literal);
  xmlFree(text);
  return equal;
}

bool Holds(const Test& test, xmlNodePtr element) {
  switch (test.kind) {
    case Test::kLocalName:
      return Equals(element->name, test.value);
    case Test::kNamespaceUri:
      return Equals(element->ns != nullptr ? element->ns->href : nullptr, test.value);
    case Test::kAttribute:
      // A name without prefix names an attribute in no namespace.
      for (xmlAttrPtr attribute = element->properties; attribute != nullptr; attribute = attribute->next) {
        if (attribute->ns == nullptr && Equals(attribute->name, test.attribute) &&
            AttributeEquals(attribute, test.value)) {
          return true;
        }
      }
      return false;
  }
  return false;
}

// Keeps the candidates that the predicate accepts, in order.
void Filter(const Predicate& predicate, std::vector<xmlNodePtr>* candidates) {
  if (predicate.position != 0) {
    const bool inRange = predicate.position > 0 && static_cast<size_t>(predicate.position) <= candidates->size();
    xmlNodePtr kept = inRange ? (*candidates)[predicate.position - 1] : nullptr;
    candidates->clear();
    if (kept != nullptr) candidates->push_back(kept);
    return;
  }
  size_t kept = 0;
  for (xmlNodePtr candidate : *candidates) {
    bool accepted = true;
    for (const Test& test : predicate.tests) {
      if (!Holds(test, candidate)) {
        accepted = false;
        break;
      }
    }
    if (accepted) (*candidates)[kept++] = candidate;
  }
  candidates->resize(kept);
}

// The element children of context that the step selects, appended to out.
void ApplyStep(const Step& step, xmlNodePtr context, std::vector<xmlNodePtr>* scratch, std::vector<xmlNodePtr>* out) {
  scratch->clear();
  for (xmlNodePtr child = context->children; child != nullptr; child = child->next) {
    // A name without prefix names an element in no namespace.
    if (child->type != XML_ELEMENT_NODE) continue;
    if (!step.name.empty() && (child->ns != nullptr || !Equals(child->name, step.name))) continue;
    scratch->push_back(child);
  }
  for (const Predicate& predicate : step.predicates) Filter(predicate, scratch);
  out->insert(out->end(), scratch->begin(), scratch->end());
}

}  // namespace

bool SelectChildPath(xmlNodePtr context, const std::string& expression, std::vector<xmlNodePtr>* nodes) {
  // Attributes and the like have no children to step into; the engine
  // knows what such contexts select.
  if (context == nullptr || context->doc == nullptr ||
      (context->type != XML_ELEMENT_NODE && context->type != XML_DOCUMENT_NODE)) {
    return false;
  }
  std::optional<Path> path = Reader(expression).ReadPath();
  if (!path) return false;

  // The child steps of one node give nodes in document order, each once.
  std::vector<xmlNodePtr> current{path->absolute ? reinterpret_cast<xmlNodePtr>(context->doc) : context};
  std::vector<xmlNodePtr> next;
  std::vector<xmlNodePtr> scratch;
  for (const Step& step : path->steps) {
    next.clear();
    for (xmlNodePtr node : current) ApplyStep(step, node, &scratch, &next);
    current.swap(next);
  }
  *nodes = std::move(current);
  return true;
}

}  // namespace qzwin::msxml
