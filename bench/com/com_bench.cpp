// Memory streams the way the system uses them (a whole file written in one
// call, read back in the parser's small pieces, or built up from many small
// writes), and the cost of activating a class registered in the process.
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <objbase.h>

namespace {

constexpr ULONG kParserReadSize = 4096;

void ReadBack(IStream* stream, std::vector<char>* buffer) {
  stream->Seek(LARGE_INTEGER{.QuadPart = 0}, STREAM_SEEK_SET, nullptr);
  ULONG got = 0;
  do stream->Read(buffer->data(), kParserReadSize, &got);
  while (got != 0);
}

void BM_StreamWholeFile(benchmark::State& state) {
  std::string file(static_cast<size_t>(state.range(0)), 'x');
  std::vector<char> buffer(kParserReadSize);
  for (auto _ : state) {
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    stream->Write(file.data(), static_cast<ULONG>(file.size()), nullptr);
    ReadBack(stream, &buffer);
    stream->Release();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StreamWholeFile)->Range(64 << 10, 16 << 20);

void BM_StreamSmallWrites(benchmark::State& state) {
  const char line[] = "<QZSchema urn='x-schema:a.xml' Filename='C:\\a.xml'/>\n";
  for (auto _ : state) {
    IStream* stream = nullptr;
    CreateStreamOnHGlobal(nullptr, TRUE, &stream);
    for (int64_t i = 0; i < state.range(0); ++i) stream->Write(line, sizeof line - 1, nullptr);
    stream->Release();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StreamSmallWrites)->Range(1 << 10, 1 << 16);

// A class object that hands out itself, registered in the process.
class SelfFactory final : public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override {
    *ppv = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID riid, void** ppv) override {
    return QueryInterface(riid, ppv);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

void BM_CreateRegisteredClass(benchmark::State& state) {
  constexpr CLSID kClsid = {0x1D2C3B4A, 0x5E6F, 0x4A1B, {0x9C, 0x8D, 0x7E, 0x6F, 0x50, 0x41, 0x32, 0x23}};
  CoInitialize(nullptr);
  SelfFactory factory;
  DWORD cookie = 0;
  CoRegisterClassObject(kClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTI_SEPARATE, &cookie);
  for (auto _ : state) {
    IUnknown* object = nullptr;
    CoCreateInstance(kClsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object));
    benchmark::DoNotOptimize(object);
  }
  CoRevokeClassObject(cookie);
  CoUninitialize();
}
BENCHMARK(BM_CreateRegisteredClass);

}  // namespace
