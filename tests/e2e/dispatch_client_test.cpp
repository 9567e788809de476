// The service as a script client sees it: created by its ProgID and driven
// only through IDispatch, by name (GetIDsOfNames) and Invoke, on a platform
// that the command-line client set up.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <comdef.h>
#include <msxml6.h>
#include <objbase.h>
#include <oleauto.h>

#include "cli_runner.h"
#include "support/temp_root.h"

namespace {

class ScriptClient : public testing::Test {
 protected:
  void SetUp() override {
    const e2e::CliRun setup = e2e::RunCli(qztest::TempRoot(), "setup");
    ASSERT_EQ(0, setup.exitCode) << setup.out << setup.err;
    std::filesystem::copy_file(QZ_EXAMPLES_DIR "/qzencodings.xml", e2e::OnDrive(qztest::TempRoot(), e2e::kEncodings),
                               std::filesystem::copy_options::overwrite_existing);
    ASSERT_EQ(S_OK, CoInitialize(nullptr));
    CLSID clsid;
    ASSERT_EQ(S_OK, CLSIDFromProgID(OLESTR("Qzschemas.QZXMLSchemaService"), &clsid));
    ASSERT_EQ(S_OK, 
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, reinterpret_cast<void**>(&service_)));
  }
  void TearDown() override {
    service_ = nullptr;
    CoUninitialize();
  }

  // Calls the member `name` with the arguments given (in order), as a
  // script does; the result lands in *result. A failing method comes back as
  // DISP_E_EXCEPTION; its own HRESULT, which a script sees, is returned.
  HRESULT Call(const OLECHAR* name, WORD flags, std::initializer_list<_variant_t> arguments, _variant_t* result) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = service_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    // Invoke takes the arguments last to first.
    std::vector<VARIANTARG> reversed(arguments.begin(), arguments.end());
    std::reverse(reversed.begin(), reversed.end());
    DISPPARAMS parameters = {reversed.empty() ? nullptr : reversed.data(), nullptr,
                             static_cast<UINT>(reversed.size()), 0};
    EXCEPINFO exception = {};
    UINT badArgument = 0;
    hr = service_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, result, &exception, &badArgument);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    return hr == DISP_E_EXCEPTION ? exception.scode : hr;
  }

  // The number of schemas in the collection that Schemas hands out.
  LONG CollectionLength() {
    _variant_t schemas;
    EXPECT_EQ(S_OK, Call(OLESTR("Schemas"), DISPATCH_PROPERTYGET, {}, &schemas));
    EXPECT_EQ(VT_DISPATCH, schemas.vt);
    IXMLDOMSchemaCollection* collection = nullptr;
    LONG length = -1;
    if (schemas.vt == VT_DISPATCH && schemas.pdispVal != nullptr &&
        SUCCEEDED(schemas.pdispVal->QueryInterface(IID_IXMLDOMSchemaCollection, reinterpret_cast<void**>(&collection)))) {
      collection->get_length(&length);
      collection->Release();
    }
    return length;
  }

 private:
  IDispatchPtr service_;
};

TEST_F(ScriptClient, RegistersReadsTheEncodingAndUnregistersByName) {
  EXPECT_EQ(1, CollectionLength());

  std::string schema = std::string("Z:") + QZ_EXAMPLES_DIR + "/sensor-calibration.xsd";
  std::replace(schema.begin(), schema.end(), '/', '\\');
  _variant_t sentence;
  ASSERT_EQ(S_OK, Call(OLESTR("RegisterSchema"), DISPATCH_METHOD, {_variant_t(schema.c_str())}, &sentence));
  ASSERT_EQ(VT_BSTR, sentence.vt);
  EXPECT_EQ("Schema cache succesfully updated with [" + schema + "]",
            std::string(static_cast<const char*>(_bstr_t(sentence.bstrVal))));
  // The collection handed out stays as it was built.
  EXPECT_EQ(1, CollectionLength());

  _variant_t declaration;
  ASSERT_EQ(S_OK, Call(OLESTR("GetSelectedEncodingName"), DISPATCH_METHOD, {}, &declaration));
  ASSERT_EQ(VT_BSTR, declaration.vt);
  EXPECT_EQ("<?xml version='1.0' encoding ='ISO-8859-1'?>",
            std::string(static_cast<const char*>(_bstr_t(declaration.bstrVal))));

  _variant_t ignored;
  EXPECT_EQ(S_OK, Call(OLESTR("UnRegisterSchema"), DISPATCH_METHOD, {_variant_t(schema.c_str())}, &ignored));
  EXPECT_EQ(E_FAIL, Call(OLESTR("UnRegisterSchema"), DISPATCH_METHOD, {_variant_t(schema.c_str())}, &ignored));
  EXPECT_EQ(DISP_E_UNKNOWNNAME, Call(OLESTR("Frobnicate"), DISPATCH_METHOD, {}, &ignored));
}

}  // namespace
