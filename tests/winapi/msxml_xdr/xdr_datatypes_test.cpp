// Values of the data types at the edges of what each one accepts.
#include <gtest/gtest.h>

#include "xdr_datatypes.h"

namespace xdr = qzwin::msxml::xdr;

namespace {

struct Case {
  const char* type;
  const char* value;
  bool valid;
};

TEST(XdrDatatypeValues, EdgesOfEachType) {
  const Case cases[] = {
      {"i1", "-128", true},        {"i1", "128", false},        {"I4", " 2147483647 ", true},
      {"i4", "2147483648", false}, {"i4", "-2147483648", true}, {"int", "+5", true},
      {"int", "5.0", false},       {"int", "", false},          {"i8", "-9223372036854775808", true},
      {"i8", "9223372036854775808", false},
      {"ui1", "255", true},        {"ui1", "-1", false},        {"ui8", "18446744073709551615", true},
      {"ui8", "18446744073709551616", false},
      {"number", "-123.456E+10", true}, {"number", ".5", true}, {"number", "1e", false},
      {"number", ".", false},      {"float", "1,5", false},
      {"fixed.14.4", "9999.0044", true}, {"fixed.14.4", "1.00001", false},
      {"fixed.14.4", "123456789012345", false},
      {"boolean", "1", true},      {"boolean", "true", false},
      {"char", "x", true},         {"char", "\xC3\xA9", true},  {"char", "xy", false},
      {"date", "1994-11-05", true}, {"date", "2000-02-29", true}, {"date", "1900-02-29", false},
      {"date", "1994-11-05T08:15:27", false},
      {"dateTime", "1988-04-07T18:39:09.123456789", true}, {"dateTime", "1988-04-07", true},
      {"dateTime", "1988-04-07T25:00:00", false}, {"dateTime", "1988-04-07T18:39:09-08:00", false},
      {"dateTime.tz", "1988-04-07T18:39:09-08:00", true}, {"dateTime.tz", "1988-04-07T18:39Z", true},
      {"time", "08:15:27", true},  {"time", "08:60:00", false},
      {"time.tz", "08:15:27+01:00", true},
      {"uuid", "333C7BC4-460F-11D0-BC04-0080C7055A83", true}, {"uuid", "333C7BC4", false},
      {"bin.hex", "0aFF", true},   {"bin.hex", "0aF", false},
      {"bin.base64", "QUJD", true}, {"bin.base64", "QU=D", false},
  };
  for (const Case& c : cases) {
    std::optional<xdr::Datatype> type = xdr::DatatypeFromName(c.type);
    ASSERT_TRUE(type) << c.type;
    EXPECT_EQ(xdr::IsValidValue(*type, c.value), c.valid) << c.type << " '" << c.value << "'";
  }
  EXPECT_FALSE(xdr::DatatypeFromName("colour"));
}

TEST(XdrDatatypeValues, EnumerationsCompareWholeTokens) {
  xdr::Datatype type = *xdr::DatatypeFromName("enumeration");
  type.values = xdr::SplitValues(" Horizontal\tVertical ");
  ASSERT_EQ(type.values.size(), 2u);
  EXPECT_TRUE(xdr::IsValidValue(type, "Vertical"));
  EXPECT_TRUE(xdr::IsValidValue(type, " Vertical "));
  EXPECT_FALSE(xdr::IsValidValue(type, "vertical"));
  EXPECT_FALSE(xdr::IsValidValue(type, "Horizontal Vertical"));
  EXPECT_FALSE(xdr::IsValidValue(type, ""));
}

}  // namespace
