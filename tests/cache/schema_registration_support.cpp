#include "schema_registration_support.h"

#include <filesystem>
#include <fstream>

#include <qzwin/platform.h>

#include "cache/SchemaRegistration.h"
#include "support/temp_root.h"

namespace cachetest {

void RegistrationTest::SetUp() {
  CacheTest::SetUp();
  WriteCache(CacheWith(Schemas(kBasicDatatypesEntry)));
  folder_ = qztest::FreshDirectory(testing::UnitTest::GetInstance()->current_test_info()->name()).string();
}

std::string RegistrationTest::SchemaFile(const std::string& name, const std::string& targetNamespace) {
  const std::filesystem::path path = std::filesystem::path(folder_) / name;
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" targetNamespace=\""
                                        << targetNamespace << "\"><xs:element name=\"Probe\"/></xs:schema>\n";
  return PathOf(name);
}

std::string RegistrationTest::PathOf(const std::string& name) const {
  return qzwin::ToWindowsPath((std::filesystem::path(folder_) / name).string());
}

Answer RegistrationTest::Register(const std::string& path) {
  BSTR description = nullptr;
  const HRESULT hr = RegisterSchemaFile(_bstr_t(path.c_str()), &description);
  const _bstr_t sentence(description, false);
  const char* narrow = sentence;
  return {hr, narrow != nullptr ? narrow : "(none)"};
}

HRESULT RegistrationTest::Unregister(const std::string& path) {
  return UnRegisterSchemaFile(_bstr_t(path.c_str()), nullptr);
}

}  // namespace cachetest
