// Every registry test runs on a registry of its own: a fresh platform root.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/temp_root.h"

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    root_ = qztest::FreshDirectory("registry");
    setenv("QZ_ROOT", root_.c_str(), 1);
  }

  std::filesystem::path RegistryFile() const { return root_ / "registry" / "registry.txt"; }

  // Creates (or opens) a key below HKCR with all rights; fails the test otherwise.
  HKEY Create(const char* path, HKEY parent = HKEY_CLASSES_ROOT) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    return key;
  }

  bool Exists(const char* path, HKEY parent = HKEY_CLASSES_ROOT) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  std::string QueryString(HKEY key, const char* name) {
    char buffer[512] = "";
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS) {
      return "<missing>";
    }
    return std::string(buffer, size > 0 ? size - 1 : 0);
  }

  void SetString(HKEY key, const char* name, const std::string& text) {
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                            static_cast<DWORD>(text.size() + 1)));
  }

  std::filesystem::path root_;
};
