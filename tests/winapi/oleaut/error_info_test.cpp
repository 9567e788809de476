#include <gtest/gtest.h>
#include <oleauto.h>

#include <thread>

#include "test_objects.h"

namespace {

using oleauttest::NewErrorInfo;

TEST(ErrorInfo, CarriesItsFieldsAndUnsetOnesAreNull) {
  const GUID guid = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
  IErrorInfo* info = NewErrorInfo(nullptr, OLESTR("Some.Source"), guid);
  GUID read{};
  EXPECT_EQ(info->GetGUID(&read), S_OK);
  EXPECT_EQ(read, guid);
  BSTR text = nullptr;
  EXPECT_EQ(info->GetSource(&text), S_OK);
  EXPECT_EQ(SysStringLen(text), 11u);
  SysFreeString(text);
  EXPECT_EQ(info->GetDescription(&text), S_OK);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(info->Release(), 0u);
}

TEST(ErrorInfo, GetHandsOutOnceAndThenReportsNone) {
  IErrorInfo* info = NewErrorInfo(OLESTR("first"));
  ASSERT_EQ(SetErrorInfo(0, info), S_OK);
  info->Release();  // the thread keeps its own reference

  IErrorInfo* got = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &got), S_OK);
  EXPECT_EQ(got, info);
  EXPECT_EQ(got->Release(), 0u);

  got = reinterpret_cast<IErrorInfo*>(1);
  EXPECT_EQ(GetErrorInfo(0, &got), S_FALSE);
  EXPECT_EQ(got, nullptr);
}

TEST(ErrorInfo, SetReplacesAndNullClears) {
  IErrorInfo* first = NewErrorInfo(OLESTR("first"));
  IErrorInfo* second = NewErrorInfo(OLESTR("second"));
  SetErrorInfo(0, first);
  SetErrorInfo(0, second);
  EXPECT_EQ(first->Release(), 0u);  // the thread gave its reference back
  SetErrorInfo(0, nullptr);
  EXPECT_EQ(second->Release(), 0u);
  IErrorInfo* got = nullptr;
  EXPECT_EQ(GetErrorInfo(0, &got), S_FALSE);
}

TEST(ErrorInfo, BelongsToTheThreadThatSetIt) {
  IErrorInfo* info = NewErrorInfo(OLESTR("mine"));
  SetErrorInfo(0, info);

  HRESULT otherSees = E_FAIL;
  std::thread other([&] {
    IErrorInfo* got = nullptr;
    otherSees = GetErrorInfo(0, &got);
    // What this thread sets is given back when the thread ends.
    SetErrorInfo(0, info);
  });
  other.join();
  EXPECT_EQ(otherSees, S_FALSE);

  IErrorInfo* got = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &got), S_OK);
  EXPECT_EQ(got, info);
  got->Release();
  EXPECT_EQ(info->Release(), 0u);
}

}  // namespace
