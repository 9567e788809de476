// libxml2's two error channels, taken by a collector while it lives and
// given back when it goes, so nothing reaches the process's stderr.
#include <gtest/gtest.h>

#include <libxml/xmlerror.h>

#include "winapi/msxml/error_collector.h"

namespace msxmltest {
namespace {

using qzwin::msxml::FirstErrorCollector;

TEST(ErrorCollector, TakesTheGenericChannelAndNests) {
  testing::internal::CaptureStderr();
  {
    FirstErrorCollector outer;
    {
      FirstErrorCollector inner;
      xmlGenericError(xmlGenericErrorContext, "first %s\n", "complaint");
      EXPECT_TRUE(inner.found());
      EXPECT_EQ("First complaint.", inner.message());
    }
    EXPECT_FALSE(outer.found());
    xmlGenericError(xmlGenericErrorContext, "second complaint\n");
    EXPECT_TRUE(outer.found());
    EXPECT_EQ("Second complaint.", outer.message());
  }
  EXPECT_EQ("", testing::internal::GetCapturedStderr());
}

}  // namespace
}  // namespace msxmltest
