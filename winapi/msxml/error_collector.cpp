#include "error_collector.h"

#include <cstdarg>
#include <cstdio>

#include <libxml/globals.h>

#include "parse_error.h"

namespace qzwin::msxml {

namespace {

// The most of one generic message that is kept; the rest is cut.
constexpr size_t kGenericMessageSize = 512;

}  // namespace

FirstErrorCollector::FirstErrorCollector()
    : previousStructured_(xmlStructuredError),
      previousStructuredContext_(xmlStructuredErrorContext),
      previousGeneric_(xmlGenericError),
      previousGenericContext_(xmlGenericErrorContext) {
  xmlSetStructuredErrorFunc(this, Collect);
  xmlSetGenericErrorFunc(this, CollectText);
}

FirstErrorCollector::~FirstErrorCollector() {
  xmlSetGenericErrorFunc(previousGenericContext_, previousGeneric_);
  xmlSetStructuredErrorFunc(previousStructuredContext_, previousStructured_);
}

void FirstErrorCollector::Collect(void* self, xmlErrorPtr error) {
  auto* collector = static_cast<FirstErrorCollector*>(self);
  if (collector->found_ || error == nullptr || error->level == XML_ERR_WARNING) return;
  collector->found_ = true;
  collector->code_ = error->code;
  collector->domain_ = error->domain;
  collector->message_ = ReasonOf(error->message);
  collector->node_ = static_cast<xmlNodePtr>(error->node);
  collector->line_ = error->line;
}

void FirstErrorCollector::CollectText(void* self, const char* format, ...) {
  auto* collector = static_cast<FirstErrorCollector*>(self);
  if (collector->found_ || format == nullptr) return;
  char text[kGenericMessageSize];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof text, format, arguments);
  va_end(arguments);
  collector->found_ = true;
  collector->code_ = XML_ERR_INTERNAL_ERROR;
  collector->message_ = ReasonOf(text);
}

}  // namespace qzwin::msxml
