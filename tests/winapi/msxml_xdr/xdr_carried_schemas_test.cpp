// The XDR schemas the library carries, used as inline schemas: report
// projects written to them validate.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "xdr_errors.h"
#include "xdr_test_support.h"

using namespace xdrtest;
namespace xdr = qzwin::msxml::xdr;

namespace {

// The schema file's text without its XML declaration, followed by the instance.
std::string Inline(const char* file, std::string_view instance) {
  std::ifstream in(std::string(QZ_RESOURCES_DIR) + "/" + file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  std::string schema = text.str();
  EXPECT_FALSE(schema.empty()) << file;
  if (schema.starts_with("<?xml")) schema.erase(0, schema.find("?>") + 2);
  return "<Project>" + schema + std::string(instance) + "</Project>";
}

TEST(XdrCarriedSchemas, ReportProjects) {
  const char project[] =
      "<ReportProject xmlns='x-schema:#Standard-report'>"
      "<ProjectRef>"
      "<DBConnection ServerName='s' DatabaseName='d' UserName='u' Password='p' authentication='0'/>"
      "<HTMLDocument FileName='C:\\a.htm'/><ReportTemplateFile FileName='C:\\t.xml'/>"
      "DBCONNECTION</ProjectRef>"
      "</ReportProject>";
  std::string valid = Inline("Standard-report.xml", project);
  valid.replace(valid.find("DBCONNECTION"), 12, "");
  Result r = Validate(valid);
  EXPECT_EQ(r.hr, S_OK) << r.error.reason;

  std::string twice = Inline("Standard-report.xml", project);
  twice.replace(twice.find("DBCONNECTION"), 12, "<DBConnection ServerName='s' DatabaseName='d' "
                "UserName='u' Password='p' authentication='0'/>");
  EXPECT_EQ(Validate(twice).hr, xdr::kInvalidContent);  // maxOccurs 1, also in mixed content

  r = Validate(Inline("Standard-report.xml",
                      "<Plugins xmlns='x-schema:#Standard-report'>"
                      "<Plugin IID='Q.Plugin' Enabled='on'/></Plugins>"));
  EXPECT_EQ(r.hr, xdr::kDatatypeParse);
}

TEST(XdrCarriedSchemas, TemplatesReferToTypesTheyDoNotDeclare) {
  // QZTable names the attribute Autofill, which only the report project schema declares.
  Result r = Validate(Inline("QZTemplates.xml", "<QZTemplates xmlns='x-schema:#QZTemplates'/>"));
  EXPECT_EQ(r.hr, xdr::kAttributeTypeUndeclared);
  EXPECT_EQ(NodeName(r.error.node), "attribute");
}

}  // namespace
