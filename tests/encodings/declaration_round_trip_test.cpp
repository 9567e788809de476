// What a user gets from the applied declaration: a document saved in the
// selected encoding.
#include <fstream>
#include <sstream>

#include "encodings/SelectedEncoding.h"
#include "encodings_test_support.h"
#include "support/temp_root.h"

namespace encodingstest {
namespace {

using DeclarationRoundTrip = EncodingsTest;

TEST_F(DeclarationRoundTrip, ADocumentSavedAfterTheDeclarationHoldsIso88591Bytes) {
  IXMLDOMDocument2Ptr doc = NewDocument();
  ASSERT_EQ(S_OK, ApplySelectedEncoding(doc));
  IXMLDOMElementPtr root;
  ASSERT_EQ(S_OK, doc->createElement(_bstr_t("Messwert"), &root));
  ASSERT_EQ(S_OK, root->setAttribute(_bstr_t("Einheit"), _variant_t("\xC2\xB5m")));
  ASSERT_EQ(S_OK, root->put_text(_bstr_t("Gr\xC3\xB6\xC3\x9F" "e")));
  IXMLDOMNodePtr out;
  ASSERT_EQ(S_OK, doc->appendChild(root, &out));

  const std::filesystem::path path = qztest::FreshDirectory("roundtrip") / "Messwert.xml";
  ASSERT_EQ(S_OK, doc->save(_variant_t(path.string().c_str())));
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  EXPECT_EQ("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<Messwert Einheit=\"\xB5m\">Gr\xF6\xDF" "e</Messwert>\r\n",
            bytes.str());

  // Read back, the text is what was written.
  IXMLDOMDocument2Ptr reread = NewDocument();
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(S_OK, reread->load(_variant_t(path.string().c_str()), &ok));
  IXMLDOMElementPtr rereadRoot;
  ASSERT_EQ(S_OK, reread->get_documentElement(&rereadRoot));
  BSTR text = nullptr;
  rereadRoot->get_text(&text);
  EXPECT_EQ("Gr\xC3\xB6\xC3\x9F" "e", Narrow(text));
  SysFreeString(text);
}

}  // namespace
}  // namespace encodingstest
