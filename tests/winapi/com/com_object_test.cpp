// The plumbing of the stand-in's own COM objects: identity and the
// interface table, the reference count, the IDispatch stub and static class
// objects. The identity rule (QueryInterface for IUnknown gives one pointer,
// whatever interface it is asked through) is COM's own; refusing an outer
// unknown is the class factory's, WINDOWS-FACTS.md, "COM".
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <com_object.h>
#include <objidl.h>

namespace {

using qzwin::Answers;
using qzwin::ComObject;
using qzwin::InterfaceTable;

int g_alive = 0;

// A dual object with a second interface whose base it also answers.
class Probe final : public ComObject<Probe, IDispatch, IPersistStream> {
 public:
  using Interfaces = InterfaceTable<ComObject::Interfaces, Answers<IPersist, IPersistStream>>;

  Probe() { ++g_alive; }
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Save(IStream*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER*) override { return E_NOTIMPL; }

 private:
  ~Probe() override { --g_alive; }
};

void* Query(IUnknown* object, REFIID riid, HRESULT* hr) {
  void* out = &g_alive;  // anything but null, to see it cleared
  *hr = object->QueryInterface(riid, &out);
  return out;
}

TEST(ComObject, AnswersItsTableWithOneIdentity) {
  auto* probe = new Probe;
  IDispatch* dispatch = probe;
  IPersistStream* persist = probe;
  HRESULT hr = E_FAIL;

  void* unknown = Query(persist, IID_IUnknown, &hr);
  EXPECT_EQ(hr, S_OK);
  EXPECT_EQ(unknown, static_cast<IUnknown*>(dispatch));
  EXPECT_EQ(Query(dispatch, IID_IDispatch, &hr), dispatch);
  EXPECT_EQ(Query(dispatch, IID_IPersistStream, &hr), persist);
  EXPECT_EQ(Query(dispatch, IID_IPersist, &hr), static_cast<IPersist*>(persist));
  EXPECT_EQ(hr, S_OK);

  EXPECT_EQ(Query(dispatch, IID_IStream, &hr), nullptr);
  EXPECT_EQ(hr, E_NOINTERFACE);
  EXPECT_EQ(dispatch->QueryInterface(IID_IUnknown, nullptr), E_POINTER);

  // Four answers took four references; the creator holds the fifth.
  EXPECT_EQ(dispatch->AddRef(), 6u);
  for (int i = 0; i < 5; ++i) dispatch->Release();
  EXPECT_EQ(g_alive, 1);
  EXPECT_EQ(persist->Release(), 0u);
  EXPECT_EQ(g_alive, 0);
}

// Once the process has threads, references that they take and drop at the
// same time are all counted.
TEST(ComObject, CountsEveryReferenceOfThreadsThatShareAnObject) {
  constexpr ULONG kHeld = 1000;  // so that a lost count shows before the object goes
  constexpr int kThreads = 4;
  constexpr int kRounds = 100000;
  auto* probe = new Probe;
  IDispatch* dispatch = probe;
  for (ULONG i = 1; i < kHeld; ++i) dispatch->AddRef();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([dispatch] {
      for (int round = 0; round < kRounds; ++round) {
        dispatch->AddRef();
        dispatch->Release();
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(dispatch->AddRef(), kHeld + 1);
  for (ULONG i = 0; i <= kHeld; ++i) dispatch->Release();
  EXPECT_EQ(g_alive, 0);
}

TEST(ComObject, DualInterfacesCarryNoTypeInformation) {
  auto* probe = new Probe;
  UINT count = 1;
  EXPECT_EQ(probe->GetTypeInfoCount(&count), S_OK);
  EXPECT_EQ(count, 0u);
  ITypeInfo* info = reinterpret_cast<ITypeInfo*>(probe);
  EXPECT_EQ(probe->GetTypeInfo(0, 0, &info), DISP_E_BADINDEX);
  EXPECT_EQ(info, nullptr);
  LPOLESTR name = const_cast<LPOLESTR>(OLESTR("anything"));
  DISPID id = 0;
  EXPECT_EQ(probe->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), DISP_E_UNKNOWNNAME);
  DISPPARAMS none = {};
  EXPECT_EQ(probe->Invoke(0, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr), DISP_E_MEMBERNOTFOUND);
  probe->Release();
}

struct MakeProbe {
  IUnknown* operator()() const { return static_cast<IDispatch*>(new Probe); }
};

TEST(StaticClassFactory, KeepsItsCountAndCreatesOnlyWhatIsAskedFor) {
  IClassFactory* factory = nullptr;
  ASSERT_EQ(qzwin::GetStaticClassObject<MakeProbe>(IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  EXPECT_EQ(factory->AddRef(), 2u);
  EXPECT_EQ(factory->Release(), 1u);

  void* object = nullptr;
  EXPECT_EQ(factory->CreateInstance(factory, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IStream, &object), E_NOINTERFACE);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(g_alive, 0);  // the object that did not answer is gone

  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPersist, &object), S_OK);
  EXPECT_EQ(g_alive, 1);
  EXPECT_EQ(static_cast<IPersist*>(object)->Release(), 0u);
  EXPECT_EQ(g_alive, 0);

  void* other = &object;
  EXPECT_EQ(qzwin::GetStaticClassObject<MakeProbe>(IID_IStream, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
}

}  // namespace
