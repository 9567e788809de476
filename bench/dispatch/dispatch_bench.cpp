// A method called the way script clients call it, by name through IDispatch
// over type information (GetIDsOfNames, then Invoke), against the same
// method called through its vtable; and Invoke alone, with the id known.
#include <benchmark/benchmark.h>
#include <oleauto.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "dispatch_bench.h"
#include "support/type_info_dispatch.h"

namespace {

// A static object: it lives as long as the program, so its count is fixed.
class Adder : public qztest::TypeInfoDispatch<IDispatchBench> {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE Add(LONG a, LONG b, LONG* sum) override {
    *sum = a + b;
    return S_OK;
  }
};

// The object, with the type info of its interface from the built library.
Adder* LoadedAdder() {
  static Adder* adder = [] {
    const std::string path = DISPATCH_BENCH_TLB;
    std::u16string wide(path.begin(), path.end());
    ITypeLib* library = nullptr;
    auto* made = new Adder;
    if (FAILED(LoadTypeLib(reinterpret_cast<LPCOLESTR>(wide.c_str()), &library)) ||
        FAILED(library->GetTypeInfoOfGuid(__uuidof(IDispatchBench), &made->info))) {
      std::fprintf(stderr, "cannot load %s\n", path.c_str());
      std::exit(1);
    }
    library->Release();
    return made;
  }();
  return adder;
}

HRESULT InvokeAdd(IDispatch* object, DISPID id, VARIANT* result) {
  VARIANT args[2];
  args[0].vt = args[1].vt = VT_I4;
  args[0].lVal = 2;  // b: arguments stand in reverse order
  args[1].lVal = 1;
  DISPPARAMS params = {args, nullptr, 2, 0};
  return object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, result, nullptr, nullptr);
}

void BM_VtableCall(benchmark::State& state) {
  IDispatchBench* object = LoadedAdder();
  for (auto _ : state) {
    benchmark::DoNotOptimize(object);  // keeps the call virtual
    LONG sum = 0;
    object->Add(1, 2, &sum);
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(BM_VtableCall);

void BM_NamesThenInvoke(benchmark::State& state) {
  IDispatch* object = LoadedAdder();
  OLECHAR name[] = {'A', 'd', 'd', 0};
  LPOLESTR names[] = {name};
  for (auto _ : state) {
    DISPID id = DISPID_UNKNOWN;
    object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    VARIANT result;
    VariantInit(&result);
    if (FAILED(InvokeAdd(object, id, &result)) || result.lVal != 3) state.SkipWithError("Add failed");
  }
}
BENCHMARK(BM_NamesThenInvoke);

void BM_InvokeKnownId(benchmark::State& state) {
  IDispatch* object = LoadedAdder();
  for (auto _ : state) {
    VARIANT result;
    VariantInit(&result);
    if (FAILED(InvokeAdd(object, 1, &result)) || result.lVal != 3) state.SkipWithError("Add failed");
  }
}
BENCHMARK(BM_InvokeKnownId);

}  // namespace
