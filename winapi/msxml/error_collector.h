// Keeps libxml2 quiet: while a collector lives, every error libxml2 reports
// on this thread comes to it instead of the process's standard error.
#pragma once

#include <string>

#include <libxml/tree.h>
#include <libxml/xmlerror.h>

namespace qzwin::msxml {

// Installs itself as the thread's structured and generic error handler and
// keeps the first error (warnings are taken and dropped). The handlers it
// found are put back when it goes, so collectors nest: an inner one sees
// only what happens while it lives. libxml2 keeps these handlers per
// thread, so documents on other threads are not disturbed.
//
// Contexts with error setters of their own (schema parser and validation
// contexts) may be pointed at Collect too; errors that name no context
// (encoding conversion, input/output, included documents) reach the
// thread's handlers.
class FirstErrorCollector {
 public:
  FirstErrorCollector();
  ~FirstErrorCollector();
  FirstErrorCollector(const FirstErrorCollector&) = delete;
  FirstErrorCollector& operator=(const FirstErrorCollector&) = delete;

  static void Collect(void* self, xmlErrorPtr error);

  bool found() const { return found_; }
  int code() const { return code_; }
  int domain() const { return domain_; }  // an xmlErrorDomain
  const std::string& message() const { return message_; }
  xmlNodePtr node() const { return node_; }
  int line() const { return line_; }

 private:
  // libxml2's printf-like channel, used when no structured handler is set
  // and for a few messages of its own.
  static void CollectText(void* self, const char* format, ...);

  bool found_ = false;
  int code_ = 0;
  int domain_ = XML_FROM_NONE;
  std::string message_;
  xmlNodePtr node_ = nullptr;
  int line_ = 0;

  xmlStructuredErrorFunc previousStructured_;
  void* previousStructuredContext_;
  xmlGenericErrorFunc previousGeneric_;
  void* previousGenericContext_;
};

}  // namespace qzwin::msxml
