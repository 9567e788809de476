// Registering and unregistering schema files in the schema cache file: the
// answers, what is written, and what is left alone.
#include <filesystem>
#include <fstream>
#include <string>

#include <qzwin/platform.h>

#include "cache/SchemaRegistration.h"
#include "module/QZModule.h"
#include "support/resolver_installer.h"
#include "schema_registration_support.h"

namespace cachetest {
namespace {

const std::string kInternalError = "Internal error in the module";
const HRESULT kUrnTooLong = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

std::string Updated(const std::string& name) { return "Schema cache succesfully updated with [" + name + "]"; }
std::string AlreadyRegistered(const std::string& name) { return "The file:[" + name + "] is already regsitered"; }
std::string EntryOf(const std::string& urn, const std::string& name) {
  return "<QZSchema xmlns=\"x-schema:Tavel-basic-datatypes.xml\" urn=\"" + urn + "\" Filename=\"" + name + "\"/>";
}

// A null name is answered with 123 and its sentence, or refused; the
// description of an unregistration is never written.
TEST_F(RegistrationTest, NullArguments) {
  BSTR description = nullptr;
  EXPECT_EQ(123, RegisterSchemaFile(nullptr, &description));
  EXPECT_STREQ("You cant register without a file name rememebr to set the: strSchemaFileName parameter",
               static_cast<const char*>(_bstr_t(description, false)));
  EXPECT_EQ(123, RegisterSchemaFile(nullptr, nullptr));

  BSTR untouched = SysAllocString(OLESTR("kept"));
  BSTR held = untouched;
  EXPECT_EQ(E_INVALIDARG, UnRegisterSchemaFile(nullptr, &held));
  const std::string name = SchemaFile("My.xsd");
  ASSERT_EQ(S_OK, Register(name).hr);
  EXPECT_EQ(S_OK, UnRegisterSchemaFile(_bstr_t(name.c_str()), &held));
  EXPECT_EQ(untouched, held);
  SysFreeString(untouched);
}

// Nothing at the path: the cache is not even looked for.
TEST_F(RegistrationTest, MissingFileIsAnsweredBeforeTheCacheIsRead) {
  ASSERT_EQ(S_OK, resolvertest::UnregisterResolver());
  const Answer answer = Register("C:\\Temp\\Absent.xsd");
  EXPECT_EQ(123, answer.hr);
  EXPECT_EQ("The file:[C:\\Temp\\Absent.xsd] Does not exist", answer.sentence);

  const Answer present = Register(SchemaFile("Present.xsd"));
  EXPECT_EQ(REGDB_E_CLASSNOTREG, present.hr);
  EXPECT_EQ(kInternalError, present.sentence);
  EXPECT_EQ(REGDB_E_CLASSNOTREG, Unregister("C:\\Temp\\Absent.xsd"));
}

TEST_F(RegistrationTest, RegisteringTwiceAddsOneEntry) {
  const std::string name = SchemaFile("My.xsd");
  EXPECT_EQ(Updated(name), Register(name).sentence);
  const std::string once = ReadCache();
  EXPECT_EQ(1u, CountOf(once, EntryOf("x-schema:My.xsd", name))) << once;
  EXPECT_EQ(1u, CountOf(once, "urn=\"x-schema:Tavel-basic-datatypes.xml\""));

  const Answer again = Register(name);
  EXPECT_EQ(S_OK, again.hr);
  EXPECT_EQ(AlreadyRegistered(name), again.sentence);
  EXPECT_EQ(once, ReadCache());
}

// URNs alone are compared, exactly: the same name elsewhere is registered,
// the same name in other case is not.
TEST_F(RegistrationTest, OnlyTheUrnCounts) {
  const std::string first = SchemaFile("one/My.xsd");
  ASSERT_EQ(S_OK, Register(first).hr);
  const std::string before = ReadCache();

  const std::string elsewhere = SchemaFile("two/My.xsd");
  const Answer answer = Register(elsewhere);
  EXPECT_EQ(S_OK, answer.hr);
  EXPECT_EQ(AlreadyRegistered(elsewhere), answer.sentence);
  EXPECT_EQ(before, ReadCache());

  const std::string otherCase = SchemaFile("two/my.xsd");
  EXPECT_EQ(Updated(otherCase), Register(otherCase).sentence);
  EXPECT_EQ(1u, CountOf(ReadCache(), EntryOf("x-schema:my.xsd", otherCase)));
}

// A directory passes the existence test; its last component is the URN.
TEST_F(RegistrationTest, DirectoryIsRegisteredByItsName) {
  SchemaFile("Schemas.d/inside.xsd");
  const std::string directory = PathOf("Schemas.d");
  EXPECT_EQ(Updated(directory), Register(directory).sentence);
  EXPECT_EQ(1u, CountOf(ReadCache(), EntryOf("x-schema:Schemas.d", directory)));
}

TEST_F(RegistrationTest, WithoutADescriptionTheResultsAreTheSame) {
  const std::string name = SchemaFile("My.xsd");
  EXPECT_EQ(S_OK, RegisterSchemaFile(_bstr_t(name.c_str()), nullptr));
  EXPECT_EQ(1u, CountOf(ReadCache(), "urn=\"x-schema:My.xsd\""));
  EXPECT_EQ(S_OK, RegisterSchemaFile(_bstr_t(name.c_str()), nullptr));
  EXPECT_EQ(123, RegisterSchemaFile(_bstr_t("C:\\Temp\\Absent.xsd"), nullptr));
}

// The collection already built keeps its schemas until it is built again,
// which then takes the registered entry.
TEST_F(RegistrationTest, CollectionSeesTheSchemaOnlyWhenRebuilt) {
  const std::string name = SchemaFile("Probe.xsd", "x-schema:Probe.xsd");
  ASSERT_EQ(S_OK, module_.InitSchemaCache());
  IXMLDOMSchemaCollectionPtr built;
  ASSERT_EQ(S_OK, module_.GetSchemas(&built));

  ASSERT_EQ(Updated(name), Register(name).sentence);
  IXMLDOMSchemaCollectionPtr current;
  ASSERT_EQ(S_OK, module_.GetSchemas(&current));
  EXPECT_EQ(built, current);
  LONG length = -1;
  EXPECT_EQ(S_OK, current->get_length(&length));
  EXPECT_EQ(0, length);

  ASSERT_EQ(S_OK, module_.InitSchemaCache());
  ASSERT_EQ(S_OK, module_.GetSchemas(&current));
  EXPECT_EQ(S_OK, current->get_length(&length));
  EXPECT_EQ(1, length);
}

TEST_F(RegistrationTest, UnregisteringRemovesTheEntryOfADeletedFile) {
  const std::string name = SchemaFile("Gone.xsd");
  ASSERT_EQ(S_OK, Register(name).hr);
  std::filesystem::remove(Posix(name.c_str()));
  EXPECT_EQ(S_OK, Unregister(name));
  const std::string after = ReadCache();
  EXPECT_EQ(0u, CountOf(after, "Gone.xsd")) << after;
  EXPECT_EQ(1u, CountOf(after, "urn=\"x-schema:Tavel-basic-datatypes.xml\""));
}

// Where nothing was removed, nothing is written: the file keeps the
// declaration that a load would have blanked.
TEST_F(RegistrationTest, UnregisteringWhatIsNotThereWritesNothing) {
  const std::string before = CacheWith("\t<!-- xmlns=\"\" -->\r\n" + Schemas(kBasicDatatypesEntry));
  WriteCache(before);
  EXPECT_EQ(E_FAIL, Unregister("C:\\Schemas\\Never.xsd"));
  EXPECT_EQ(before, ReadCache());
}

TEST_F(RegistrationTest, UnregisteringTakesTheFirstOfTwoEntries) {
  WriteCache(CacheWith(Schemas(std::string(kBasicDatatypesEntry) + Entry("x-schema:Twice.xsd", "C:\\first\\Twice.xsd") +
                               Entry("x-schema:Twice.xsd", "C:\\second\\Twice.xsd"))));
  EXPECT_EQ(S_OK, Unregister("Twice.xsd"));
  const std::string after = ReadCache();
  EXPECT_EQ(0u, CountOf(after, "C:\\first\\Twice.xsd")) << after;
  EXPECT_EQ(1u, CountOf(after, "C:\\second\\Twice.xsd"));
}

// The file is written back as loaded, with the loader's rewrites: entries
// that name their namespace by path become registered entries like others.
TEST_F(RegistrationTest, LoadRewritesAreWrittenBack) {
  WriteCache(CacheWith("\t<!-- xmlns=\"\" -->\r\n" +
                       Schemas(std::string(kBasicDatatypesEntry) +
                               "\t\t<QZSchema xmlns=\"x-schema:C:\\Old\\Tavel-basic-datatypes.xml\" "
                               "urn=\"x-schema:Old.xsd\" Filename=\"C:\\Old\\Old.xsd\"/>\r\n")));
  const std::string name = SchemaFile("New.xsd");
  ASSERT_EQ(Updated(name), Register(name).sentence);
  const std::string after = ReadCache();
  EXPECT_EQ(0u, CountOf(after, "xmlns=\"\"")) << after;
  EXPECT_EQ(1u, CountOf(after, EntryOf("x-schema:Old.xsd", "C:\\Old\\Old.xsd")));
  EXPECT_EQ(1u, CountOf(after, EntryOf("x-schema:New.xsd", name)));

  const std::string old = SchemaFile("Old.xsd");
  EXPECT_EQ(AlreadyRegistered(old), Register(old).sentence);
  EXPECT_EQ(S_OK, Unregister("Old.xsd"));
  EXPECT_EQ(0u, CountOf(ReadCache(), "Old.xsd"));
}

// A document that does not validate is not saved: a closed list takes no
// entry of another namespace, and the last entry cannot go.
TEST_F(RegistrationTest, InvalidResultLeavesTheFileAsItWas) {
  std::string closed = CacheWith(Schemas(kBasicDatatypesEntry));
  closed.replace(closed.find("name=\"QZSchemas\" content=\"mixed\""), 32,
                 "name=\"QZSchemas\" content=\"mixed\" model=\"closed\"");
  WriteCache(closed);
  const Answer answer = Register(SchemaFile("My.xsd"));
  EXPECT_EQ(E_FAIL, answer.hr);
  EXPECT_EQ("Schema cache couln't be updated, writing the fil failed.", answer.sentence);
  EXPECT_EQ(closed, ReadCache());

  const std::string single = CacheWith(Schemas(kBasicDatatypesEntry));
  WriteCache(single);
  EXPECT_EQ(E_FAIL, Unregister("Tavel-basic-datatypes.xml"));
  EXPECT_EQ(single, ReadCache());
}

// A cache file that cannot be written is left as it was.
TEST_F(RegistrationTest, ReadOnlyCacheIsNotWritten) {
  const std::string cache =
      CacheWith(Schemas(std::string(kBasicDatatypesEntry) + Entry("x-schema:Old.xsd", "C:\\Old.xsd")));
  WriteCache(cache);
  std::filesystem::permissions(Posix(kCachePath), std::filesystem::perms::owner_read);
  const Answer answer = Register(SchemaFile("My.xsd"));
  EXPECT_EQ(E_FAIL, answer.hr);
  EXPECT_EQ("Schema cache couln't be updated, writing the fil failed.", answer.sentence);
  EXPECT_EQ(E_FAIL, Unregister("Old.xsd"));
  EXPECT_EQ(cache, ReadCache());

  // Writable again, the same calls go through.
  std::filesystem::permissions(Posix(kCachePath), std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
  EXPECT_EQ(S_OK, Unregister("Old.xsd"));
  EXPECT_EQ(S_OK, Register(SchemaFile("My.xsd")).hr);
}

// Without a cache, or with one that does not parse, there is no list to
// add to and no entry to remove; nothing is created.
TEST_F(RegistrationTest, UnreadableCache) {
  const std::string name = SchemaFile("My.xsd");
  WriteCache("<QZSchemasRoot><QZSchemas>");
  const Answer answer = Register(name);
  EXPECT_EQ(E_FAIL, answer.hr);
  EXPECT_EQ("Error in parsing the schema cache file", answer.sentence);
  EXPECT_EQ("<QZSchemasRoot><QZSchemas>", ReadCache());

  std::filesystem::remove(Posix(kCachePath));
  EXPECT_EQ("Error in parsing the schema cache file", Register(name).sentence);
  EXPECT_EQ(E_FAIL, Unregister(name));
  EXPECT_FALSE(std::filesystem::exists(Posix(kCachePath)));
}

// A URN of 259 characters fits; one more is refused, never cut into the
// URN of some other file. (Only a short directory leaves the whole path
// within MAX_PATH.)
TEST_F(RegistrationTest, UrnsThatDoNotFitAreRefused) {
  const std::string fits = "C:\\" + std::string(246, 'f') + ".xsd";
  const std::string tooLong = "C:\\" + std::string(247, 'f') + ".xsd";
  std::ofstream(Posix(fits.c_str())) << "schema";
  std::ofstream(Posix(tooLong.c_str())) << "schema";
  EXPECT_EQ(Updated(fits), Register(fits).sentence);

  const std::string before = ReadCache();
  const Answer answer = Register(tooLong);
  EXPECT_EQ(kUrnTooLong, answer.hr);
  EXPECT_EQ(kInternalError, answer.sentence);
  EXPECT_EQ(kUrnTooLong, Unregister(tooLong));
  EXPECT_EQ(before, ReadCache());
}

// A sentence too long for its buffer is cut there, without half a character.
TEST_F(RegistrationTest, LongSentenceIsCutAtAWholeCharacter) {
  std::string name = "C:\\x";
  for (int i = 0; i < 1100; ++i) name += "\xC3\xA9";  // U+00E9, two bytes
  const Answer answer = Register(name);
  EXPECT_EQ(123, answer.hr);
  // 14 bytes before the name leave 2033 for it: the split character goes.
  ASSERT_EQ(RESULT_SENTENCE_SIZE - 2, answer.sentence.size());
  EXPECT_EQ(0u, answer.sentence.compare(0, 13, "The file:[C:\\"));
  EXPECT_EQ("\xC3\xA9", answer.sentence.substr(answer.sentence.size() - 2));
}

}  // namespace
}  // namespace cachetest
