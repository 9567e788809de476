// The service's type library as clients and IDispatch read it through the
// stand-in's ITypeLib and ITypeInfo: entries, flags, help strings, dispatch
// ids, parameter names, vtable offsets and bases.
#include "qzschemas.h"

#include <comdef.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/narrow.h"

namespace {

constexpr SHORT kPtr = sizeof(void*);

using qztest::Narrow;

class PublishedTypeLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string path = QZ_TYPELIB;
    ITypeLib* lib = nullptr;
    ASSERT_EQ(LoadTypeLibEx(std::u16string(path.begin(), path.end()).c_str(), REGKIND_NONE, &lib), S_OK);
    lib_.Attach(lib);
  }

  ITypeInfoPtr Type(const GUID& guid, bool vtable = false) {
    ITypeInfo* info = nullptr;
    EXPECT_EQ(lib_->GetTypeInfoOfGuid(guid, &info), S_OK);
    ITypeInfoPtr result(info, false);
    if (vtable) {
      HREFTYPE href = 0;
      EXPECT_EQ(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &href), S_OK);
      EXPECT_EQ(info->GetRefTypeInfo(href, &info), S_OK);
      result.Attach(info);
    }
    return result;
  }

  static std::string Doc(ITypeInfo* info, MEMBERID memid, bool name = false) {
    BSTR text = nullptr;
    EXPECT_EQ(info->GetDocumentation(memid, name ? &text : nullptr, name ? nullptr : &text, nullptr, nullptr), S_OK);
    std::string result = Narrow(text);
    SysFreeString(text);
    return result;
  }

  static std::vector<std::string> Names(ITypeInfo* info, MEMBERID memid) {
    BSTR names[4] = {};
    UINT count = 0;
    EXPECT_EQ(info->GetNames(memid, names, 4, &count), S_OK);
    std::vector<std::string> result;
    for (UINT i = 0; i < count; ++i) {
      result.push_back(Narrow(names[i]));
      SysFreeString(names[i]);
    }
    return result;
  }

  static ITypeInfoPtr Base(ITypeInfo* info, UINT index = 0) {
    HREFTYPE href = 0;
    ITypeInfo* base = nullptr;
    EXPECT_EQ(info->GetRefTypeOfImplType(index, &href), S_OK);
    EXPECT_EQ(info->GetRefTypeInfo(href, &base), S_OK);
    return ITypeInfoPtr(base, false);
  }

  ITypeLibPtr lib_;
};

TEST_F(PublishedTypeLibraryTest, LibraryAttributes) {
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(lib_->GetLibAttr(&attr), S_OK);
  EXPECT_EQ(attr->guid, LIBID_QZSCHEMASLib);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 6);
  EXPECT_EQ(attr->lcid, 0x0409u);
  lib_->ReleaseTLibAttr(attr);
  BSTR doc = nullptr;
  ASSERT_EQ(lib_->GetDocumentation(-1, nullptr, &doc, nullptr, nullptr), S_OK);
  EXPECT_EQ(Narrow(doc), "qzschemas 1.6 Type Library");
  SysFreeString(doc);
}

TEST_F(PublishedTypeLibraryTest, DualInterfacesInVtableOrder) {
  ITypeInfoPtr service = Type(IID_IQZXMLSchemaService, true);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(service->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_INTERFACE);
  EXPECT_EQ(attr->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION), TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION);
  EXPECT_EQ(attr->cFuncs, 3);
  service->ReleaseTypeAttr(attr);
  EXPECT_EQ(Doc(service, MEMBERID_NIL), "IQZXMLSchemaService Interface");
  EXPECT_EQ(Doc(Base(service), MEMBERID_NIL, true), "IDispatch");

  const MEMBERID ids[] = {1, 2, 3};
  const std::vector<std::string> names[] = {{"Schemas", "ppVal"}, {"UseSelectedEncoding", "pDoc"},
                                            {"GetSelectedEncodingName", "pEncoding"}};
  for (UINT i = 0; i < 3; ++i) {
    FUNCDESC* desc = nullptr;
    ASSERT_EQ(service->GetFuncDesc(i, &desc), S_OK);
    EXPECT_EQ(desc->memid, ids[i]);
    EXPECT_EQ(desc->oVft, (7 + i) * kPtr);
    EXPECT_EQ(desc->invkind, i == 0 ? INVOKE_PROPERTYGET : INVOKE_FUNC);
    EXPECT_EQ(desc->elemdescFunc.tdesc.vt, VT_HRESULT);
    service->ReleaseFuncDesc(desc);
    EXPECT_EQ(Names(service, ids[i]), names[i]);
    EXPECT_EQ(Doc(service, ids[i]), "property Schemas");
  }

  ITypeInfoPtr service2 = Type(IID_IQZXMLSchemaService2, true);
  EXPECT_EQ(Doc(Base(service2), MEMBERID_NIL, true), "IQZXMLSchemaService");
  for (UINT i = 0; i < 2; ++i) {
    FUNCDESC* desc = nullptr;
    ASSERT_EQ(service2->GetFuncDesc(i, &desc), S_OK);
    EXPECT_EQ(desc->memid, static_cast<MEMBERID>(4 + i));
    EXPECT_EQ(desc->oVft, (10 + i) * kPtr);
    ASSERT_EQ(desc->cParams, 2);
    EXPECT_EQ(desc->lprgelemdescParam[0].tdesc.vt, VT_BSTR);
    EXPECT_EQ(desc->lprgelemdescParam[1].paramdesc.wParamFlags, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
    service2->ReleaseFuncDesc(desc);
    EXPECT_EQ(Names(service2, 4 + i)[2], "strErrroDescription");
    EXPECT_EQ(Doc(service2, 4 + i), "Method for register an xml Schema");
  }
}

TEST_F(PublishedTypeLibraryTest, DispatchIdsOfTheDualInterface) {
  ITypeInfoPtr service2 = Type(IID_IQZXMLSchemaService2);
  const char* names[] = {"schemas", "USESELECTEDENCODING", "GetSelectedEncodingName", "RegisterSchema",
                         "unregisterschema"};
  for (MEMBERID expected = 1; expected <= 5; ++expected) {
    std::string name = names[expected - 1];
    std::u16string wide(name.begin(), name.end());
    LPOLESTR text = wide.data();
    MEMBERID id = 0;
    EXPECT_EQ(service2->GetIDsOfNames(&text, 1, &id), S_OK) << name;
    EXPECT_EQ(id, expected);
  }
}

TEST_F(PublishedTypeLibraryTest, CoclassEventsAndPersistInterfaces) {
  ITypeInfoPtr coclass = Type(CLSID_QZXMLSchemaService);
  EXPECT_EQ(Doc(coclass, MEMBERID_NIL), "QZXMLSchemaService Class");
  const char* names[] = {"IQZXMLSchemaService", "IQZXMLSchemaService2", "_IQZXMLSchemaServiceEvents"};
  const INT flags[] = {IMPLTYPEFLAG_FDEFAULT, 0, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE};
  for (UINT i = 0; i < 3; ++i) {
    INT found = -1;
    EXPECT_EQ(coclass->GetImplTypeFlags(i, &found), S_OK);
    EXPECT_EQ(found, flags[i]);
    EXPECT_EQ(Doc(Base(coclass, i), MEMBERID_NIL, true), names[i]);
  }

  ITypeInfoPtr events = Type(DIID__IQZXMLSchemaServiceEvents);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(events->GetTypeAttr(&attr), S_OK);
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  EXPECT_EQ(attr->cFuncs + attr->cVars, 0);
  events->ReleaseTypeAttr(attr);
  EXPECT_EQ(Doc(events, MEMBERID_NIL), "_IQZXMLSchemaServiceEvents Interface");

  ITypeInfoPtr persist = Type(IID_IQZPersist);
  EXPECT_EQ(Doc(persist, MEMBERID_NIL), "");
  EXPECT_EQ(Doc(Base(persist), MEMBERID_NIL, true), "IUnknown");
  ITypeInfoPtr map = Type(IID_IQZPersistPropertyMap);
  EXPECT_EQ(Doc(Base(map), MEMBERID_NIL, true), "IQZPersist");
  FUNCDESC* getMapName = nullptr;
  ASSERT_EQ(map->GetFuncDesc(0, &getMapName), S_OK);
  EXPECT_EQ(getMapName->oVft, 4 * kPtr);
  EXPECT_EQ(Doc(map, getMapName->memid),
            "This one gets called upon solving relations among pointers when doin serialization");
  map->ReleaseFuncDesc(getMapName);
}

TEST_F(PublishedTypeLibraryTest, DomTypesAreMsxmlsOwnOrAClearFailure) {
  ITypeInfoPtr service = Type(IID_IQZXMLSchemaService, true);
  FUNCDESC* schemas = nullptr;
  ASSERT_EQ(service->GetFuncDesc(0, &schemas), S_OK);
  const TYPEDESC* pointee = schemas->lprgelemdescParam[0].tdesc.lptdesc->lptdesc;
  ASSERT_EQ(pointee->vt, VT_USERDEFINED);
  ITypeInfo* collection = nullptr;
  HRESULT hr = service->GetRefTypeInfo(pointee->hreftype, &collection);
  if (SUCCEEDED(hr)) {
    EXPECT_EQ(Doc(collection, MEMBERID_NIL, true), "IXMLDOMSchemaCollection");
    collection->Release();
  } else {
    EXPECT_EQ(hr, TYPE_E_LIBNOTREGISTERED);  // MSXML 6's library is imported, never embedded
  }
  service->ReleaseFuncDesc(schemas);
}

}  // namespace
