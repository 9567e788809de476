// Which entry of the encodings file is selected, what the two operations
// make of it, and what they leave alone when they fail.
#include "encodings/SelectedEncoding.h"
#include "encodings_test_support.h"
#include "support/resolver_installer.h"

_COM_SMARTPTR_TYPEDEF(IXMLDOMProcessingInstruction, __uuidof(IXMLDOMProcessingInstruction));

namespace encodingstest {
namespace {

const char* const kLatin1 = "version='1.0' encoding ='ISO-8859-1'";
const char* const kUtf8 = "version='1.0' encoding='UTF-8'";

class SelectedEncoding : public EncodingsTest {
 protected:
  // One service object's cache across calls.
  HRESULT Name(std::string* name) {
    BSTR answer = nullptr;
    HRESULT hr = ReadSelectedEncodingName(cache_, &answer);
    if (SUCCEEDED(hr)) *name = Narrow(answer);
    SysFreeString(answer);
    return hr;
  }
  // The data of the instruction appended to a new empty document.
  HRESULT Applied(std::string* data) {
    IXMLDOMDocument2Ptr doc = NewDocument();
    HRESULT hr = ApplySelectedEncoding(doc);
    if (FAILED(hr)) {
      EXPECT_EQ(0, ChildCount(doc));
      return hr;
    }
    EXPECT_EQ(1, ChildCount(doc));
    IXMLDOMNodePtr child;
    doc->get_lastChild(&child);
    IXMLDOMProcessingInstructionPtr pi = child;
    BSTR target = nullptr, text = nullptr;
    pi->get_target(&target);
    pi->get_data(&text);
    EXPECT_EQ("xml", Narrow(target));
    *data = Narrow(text);
    SysFreeString(target);
    SysFreeString(text);
    return hr;
  }

  _bstr_t cache_;
};

TEST_F(SelectedEncoding, TheActiveEntryIsUsedUnchanged) {
  std::string name, data;
  ASSERT_EQ(S_OK, Name(&name));
  EXPECT_EQ(std::string("<?xml ") + kLatin1 + "?>", name);
  ASSERT_EQ(S_OK, Applied(&data));
  EXPECT_EQ(kLatin1, data);
}

TEST_F(SelectedEncoding, ActiveIsComparedAsTextAndTheLastActiveEntryWins) {
  WriteEncodings(ExampleWith(Entry("01", "version='1.01'") + Entry("true", "version='1.02'") +
                             Entry(" 1", "version='1.03'") + Entry("1 ", "version='1.04'") + Entry(nullptr, "x") +
                             Entry("1", kUtf8) + Entry("0", "version='1.05'") + Entry("1", kLatin1) +
                             Entry("2", "version='1.06'")));
  std::string name, data;
  ASSERT_EQ(S_OK, Name(&name));
  EXPECT_EQ(std::string("<?xml ") + kLatin1 + "?>", name);
  ASSERT_EQ(S_OK, Applied(&data));
  EXPECT_EQ(kLatin1, data);
}

TEST_F(SelectedEncoding, WithNoActiveEntryTheDomDecidesAndTheEmptyDeclarationIsCached) {
  WriteEncodings(ExampleWith(Entry("0", kLatin1) + Entry("01", kUtf8)));
  std::string data;
  // The stand-in's DOM, like MSXML, refuses a declaration without version.
  EXPECT_EQ(static_cast<HRESULT>(0xC00CE507), Applied(&data));

  std::string name;
  ASSERT_EQ(S_OK, Name(&name));
  EXPECT_EQ("<?xml ?>", name);
  WriteEncodings(ExampleFile());
  ASSERT_EQ(S_OK, Name(&name));
  EXPECT_EQ("<?xml ?>", name);
}

TEST_F(SelectedEncoding, TheFirstAnswerIsKeptThroughChangesAndRemoval) {
  std::string first, again;
  ASSERT_EQ(S_OK, Name(&first));
  WriteEncodings(ExampleWith(Entry("1", kUtf8)));
  ASSERT_EQ(S_OK, Name(&again));
  EXPECT_EQ(first, again);
  RemoveEncodings();
  ASSERT_EQ(S_OK, Name(&again));
  EXPECT_EQ(first, again);

  // Another object has its own cache; applying always reads the file.
  WriteEncodings(ExampleWith(Entry("1", kUtf8)));
  _bstr_t otherCache;
  BSTR other = nullptr;
  ASSERT_EQ(S_OK, ReadSelectedEncodingName(otherCache, &other));
  EXPECT_EQ(std::string("<?xml ") + kUtf8 + "?>", Narrow(other));
  SysFreeString(other);
  std::string data;
  ASSERT_EQ(S_OK, Applied(&data));
  EXPECT_EQ(kUtf8, data);
}

TEST_F(SelectedEncoding, AFailureLeavesTheAnswerAndTheCacheAloneAndIsRetried) {
  struct Case {
    const char* what;
    std::string file;  // empty: no file
    HRESULT expected;  // 0: any failure
  };
  const Case cases[] = {
      {"missing file", "", E_FAIL},
      {"active entry without EncodingType", ExampleWith(Entry("1", kUtf8) + Entry("1", nullptr)), E_FAIL},
      {"malformed file", "<QZEncodings>", 0},
      {"invalid file", ExampleWith("\t\t<Encoding Active=\"1\" Unknown=\"x\"/>\r\n"), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (c.file.empty()) {
      RemoveEncodings();
    } else {
      WriteEncodings(c.file);
    }
    BSTR answer = SysAllocString(OLESTR("untouched"));
    const HRESULT hr = ReadSelectedEncodingName(cache_, &answer);
    EXPECT_TRUE(FAILED(hr));
    if (c.expected != 0) {
      EXPECT_EQ(c.expected, hr);
    }
    EXPECT_EQ("untouched", Narrow(answer));
    SysFreeString(answer);
    EXPECT_EQ(0u, cache_.length());
    std::string data;
    const HRESULT applied = Applied(&data);  // checks the document stayed empty
    EXPECT_TRUE(FAILED(applied));
    if (c.expected != 0) {
      EXPECT_EQ(c.expected, applied);
    }
  }
  // The next call reads the file again.
  WriteEncodings(ExampleFile());
  std::string name;
  ASSERT_EQ(S_OK, Name(&name));
  EXPECT_EQ(std::string("<?xml ") + kLatin1 + "?>", name);
}

TEST_F(SelectedEncoding, WithoutTheResolverTheFileIsNotFound) {
  ASSERT_EQ(S_OK, resolvertest::UnregisterResolver());
  std::string name, data;
  EXPECT_EQ(E_FAIL, Name(&name));
  EXPECT_EQ(E_FAIL, Applied(&data));
}

TEST_F(SelectedEncoding, NullArgumentsAreRefused) {
  EXPECT_EQ(E_INVALIDARG, ApplySelectedEncoding(nullptr));
  EXPECT_EQ(E_INVALIDARG, ReadSelectedEncodingName(cache_, nullptr));
  cache_ = "<?xml version='1.0'?>";
  EXPECT_EQ(E_INVALIDARG, ReadSelectedEncodingName(cache_, nullptr));
}

TEST_F(SelectedEncoding, TheInstructionIsAppendedAfterWhatTheDocumentHolds) {
  IXMLDOMDocument2Ptr withRoot = NewDocument("<r/>");
  withRoot->AddRef();
  const ULONG references = withRoot->Release();
  ASSERT_EQ(S_OK, ApplySelectedEncoding(withRoot));
  EXPECT_EQ("<r/>\r\n<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n", XmlOf(withRoot));
  withRoot->AddRef();
  EXPECT_EQ(references, withRoot->Release());  // the call's own reference is gone

  // A second declaration is refused by the DOM, and nothing changes.
  IXMLDOMDocument2Ptr declared = NewDocument("<?xml version='1.0'?><r/>");
  EXPECT_EQ(E_FAIL, ApplySelectedEncoding(declared));
  EXPECT_EQ("<?xml version=\"1.0\"?>\r\n<r/>\r\n", XmlOf(declared));
}

}  // namespace
}  // namespace encodingstest
