#include <gtest/gtest.h>
#include <oleauto.h>

#include <thread>

namespace {

IErrorInfo* MakeErrorInfo(const OLECHAR* description) {
  ICreateErrorInfo* create = nullptr;
  EXPECT_EQ(CreateErrorInfo(&create), S_OK);
  create->SetDescription(const_cast<LPOLESTR>(description));
  IErrorInfo* info = nullptr;
  EXPECT_EQ(create->QueryInterface(__uuidof(IErrorInfo), reinterpret_cast<void**>(&info)), S_OK);
  create->Release();
  return info;
}

TEST(ErrorInfo, CarriesItsFieldsAndUnsetOnesAreNull) {
  ICreateErrorInfo* create = nullptr;
  ASSERT_EQ(CreateErrorInfo(&create), S_OK);
  const GUID guid = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};
  create->SetGUID(guid);
  create->SetSource(const_cast<LPOLESTR>(OLESTR("Some.Source")));
  IErrorInfo* info = nullptr;
  ASSERT_EQ(create->QueryInterface(__uuidof(IErrorInfo), reinterpret_cast<void**>(&info)), S_OK);
  create->Release();

  GUID read{};
  EXPECT_EQ(info->GetGUID(&read), S_OK);
  EXPECT_EQ(read, guid);
  BSTR text = nullptr;
  EXPECT_EQ(info->GetSource(&text), S_OK);
  EXPECT_EQ(SysStringLen(text), 11u);
  SysFreeString(text);
  EXPECT_EQ(info->GetDescription(&text), S_OK);
  EXPECT_EQ(text, nullptr);
  DWORD context = 99;
  EXPECT_EQ(info->GetHelpContext(&context), S_OK);
  EXPECT_EQ(context, 0u);
  EXPECT_EQ(info->Release(), 0u);
}

TEST(ErrorInfo, GetHandsOutOnceAndThenReportsNone) {
  IErrorInfo* info = MakeErrorInfo(OLESTR("first"));
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
  IErrorInfo* first = MakeErrorInfo(OLESTR("first"));
  IErrorInfo* second = MakeErrorInfo(OLESTR("second"));
  SetErrorInfo(0, first);
  SetErrorInfo(0, second);
  EXPECT_EQ(first->Release(), 0u);  // the thread gave its reference back
  SetErrorInfo(0, nullptr);
  EXPECT_EQ(second->Release(), 0u);
  IErrorInfo* got = nullptr;
  EXPECT_EQ(GetErrorInfo(0, &got), S_FALSE);
}

TEST(ErrorInfo, BelongsToTheThreadThatSetIt) {
  IErrorInfo* info = MakeErrorInfo(OLESTR("mine"));
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

TEST(ErrorInfo, BadArguments) {
  EXPECT_EQ(CreateErrorInfo(nullptr), E_INVALIDARG);
  EXPECT_EQ(GetErrorInfo(0, nullptr), E_INVALIDARG);
  EXPECT_EQ(SetErrorInfo(1, nullptr), E_INVALIDARG);
}

}  // namespace
