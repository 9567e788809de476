// IStream over a block of global memory: CreateStreamOnHGlobal and
// GetHGlobalFromStream. The stream's size is its own; the block may be
// larger, because it grows by doubling so that many small writes stay cheap.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>

#include <objbase.h>
#include <winbase.h>

#include <com_object.h>

namespace qzwin::com {
namespace {

// Streams on global memory are 32-bit: size and position fit in a ULONG.
constexpr ULONGLONG kMaxStreamSize = 0xFFFFFFFFull;
// The smallest block a growing stream allocates.
constexpr SIZE_T kMinBlockSize = 256;
// CopyTo goes through a buffer of its own, because the target may be a
// clone that moves the shared block while it is written.
constexpr ULONG kCopyChunkSize = 64 * 1024;

// The block and the size that a stream and all its clones share.
class SharedBlock {
 public:
  SharedBlock(HGLOBAL handle, ULONG size) : handle_(handle), size_(size) {}

  void AddRef() { refs_.fetch_add(1); }
  void Release() {
    if (refs_.fetch_sub(1) != 1) return;
    if (freeOnLastRelease_) GlobalFree(handle_);
    delete this;
  }

  HGLOBAL handle() const { return handle_; }
  ULONG size() const { return size_; }
  void FreeOnLastRelease(bool free) { freeOnLastRelease_ = free; }

  // Makes the stream newSize bytes long; bytes that it gains are zero.
  HRESULT Resize(ULONG newSize) { return Extend(newSize, newSize); }

  // Makes the stream newSize bytes long for a write that fills it from
  // `writeFrom` on: only the gained bytes before that are zeroed, as the write
  // overwrites the rest at once.
  HRESULT Extend(ULONG newSize, ULONG writeFrom) {
    if (newSize > size_) {
      HRESULT hr = Reserve(newSize);
      if (FAILED(hr)) return hr;
      if (writeFrom > size_) {
        BYTE* data = static_cast<BYTE*>(GlobalLock(handle_));
        std::memset(data + size_, 0, std::min(writeFrom, newSize) - size_);
        GlobalUnlock(handle_);
      }
    }
    size_ = newSize;
    return S_OK;
  }

  void ReadAt(ULONG offset, void* buffer, ULONG count) const {
    if (count == 0) return;
    const BYTE* data = static_cast<const BYTE*>(GlobalLock(handle_));
    std::memcpy(buffer, data + offset, count);
    GlobalUnlock(handle_);
  }

  // The range must lie within the stream's size.
  void WriteAt(ULONG offset, const void* buffer, ULONG count) {
    if (count == 0) return;
    BYTE* data = static_cast<BYTE*>(GlobalLock(handle_));
    std::memcpy(data + offset, buffer, count);
    GlobalUnlock(handle_);
  }

 private:
  ~SharedBlock() = default;

  HRESULT Reserve(ULONG needed) {
    SIZE_T capacity = GlobalSize(handle_);
    if (capacity >= needed) return S_OK;
    SIZE_T grown = std::max<SIZE_T>({needed, capacity * 2, kMinBlockSize});
    grown = std::min<SIZE_T>(grown, kMaxStreamSize);
    HGLOBAL moved = GlobalReAlloc(handle_, grown, GMEM_MOVEABLE);
    if (moved == nullptr && grown > needed) moved = GlobalReAlloc(handle_, needed, GMEM_MOVEABLE);
    if (moved == nullptr) return STG_E_MEDIUMFULL;
    handle_ = moved;
    return S_OK;
  }

  std::atomic<ULONG> refs_{1};
  HGLOBAL handle_;
  ULONG size_;
  bool freeOnLastRelease_ = false;
};

class HGlobalStream final : public ComObject<HGlobalStream, IStream> {
 public:
  using Interfaces = InterfaceTable<Answers<IStream>, Answers<ISequentialStream, IStream>>;

  HGlobalStream(SharedBlock* block, ULONG position) : block_(block), position_(position) { block_->AddRef(); }

  HGLOBAL handle() const { return block_->handle(); }

  // ISequentialStream
  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (pv == nullptr) return STG_E_INVALIDPOINTER;
    ULONG size = block_->size();
    ULONG count = position_ < size ? std::min(cb, size - position_) : 0;
    block_->ReadAt(position_, pv, count);
    position_ += count;
    if (pcbRead != nullptr) *pcbRead = count;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
    if (pcbWritten != nullptr) *pcbWritten = 0;
    if (pv == nullptr) return STG_E_INVALIDPOINTER;
    if (cb == 0) return S_OK;
    ULONGLONG end = ULONGLONG{position_} + cb;
    if (end > kMaxStreamSize) return STG_E_MEDIUMFULL;
    if (end > block_->size()) {
      HRESULT hr = block_->Extend(static_cast<ULONG>(end), position_);
      if (FAILED(hr)) return hr;
    }
    block_->WriteAt(position_, pv, cb);
    position_ = static_cast<ULONG>(end);
    if (pcbWritten != nullptr) *pcbWritten = cb;
    return S_OK;
  }

  // IStream
  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override {
    LONGLONG base = 0;
    switch (dwOrigin) {
      case STREAM_SEEK_SET: base = 0; break;
      case STREAM_SEEK_CUR: base = position_; break;
      case STREAM_SEEK_END: base = block_->size(); break;
      default: return ReportPosition(STG_E_INVALIDFUNCTION, plibNewPosition);
    }
    // Before the start or beyond what a 32-bit stream can address is
    // refused; beyond the end is allowed, and a write there grows the stream.
    LONGLONG target = 0;
    if (__builtin_add_overflow(base, dlibMove.QuadPart, &target) || target < 0 ||
        static_cast<ULONGLONG>(target) > kMaxStreamSize) {
      return ReportPosition(STG_E_INVALIDFUNCTION, plibNewPosition);
    }
    position_ = static_cast<ULONG>(target);
    return ReportPosition(S_OK, plibNewPosition);
  }

  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER libNewSize) override {
    if (libNewSize.QuadPart > kMaxStreamSize) return STG_E_MEDIUMFULL;
    return block_->Resize(static_cast<ULONG>(libNewSize.QuadPart));
  }

  HRESULT STDMETHODCALLTYPE CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                   ULARGE_INTEGER* pcbWritten) override {
    if (pstm == nullptr) return STG_E_INVALIDPOINTER;
    ULONGLONG read = 0;
    ULONGLONG written = 0;
    HRESULT hr = S_OK;
    BYTE* chunk = new (std::nothrow) BYTE[kCopyChunkSize];
    if (chunk == nullptr) return E_OUTOFMEMORY;
    while (read < cb.QuadPart) {
      ULONG want = static_cast<ULONG>(std::min<ULONGLONG>(cb.QuadPart - read, kCopyChunkSize));
      ULONG got = 0;
      Read(chunk, want, &got);
      if (got == 0) break;
      read += got;
      ULONG put = 0;
      hr = pstm->Write(chunk, got, &put);
      written += put;
      if (FAILED(hr)) break;
    }
    delete[] chunk;
    if (pcbRead != nullptr) pcbRead->QuadPart = read;
    if (pcbWritten != nullptr) pcbWritten->QuadPart = written;
    return hr;
  }

  // The block is the storage itself: there is nothing to commit or revert.
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }

  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* pstatstg, DWORD) override {
    if (pstatstg == nullptr) return STG_E_INVALIDPOINTER;
    std::memset(pstatstg, 0, sizeof(*pstatstg));  // no name, whatever the flag asks
    pstatstg->type = STGTY_STREAM;
    pstatstg->cbSize.QuadPart = block_->size();
    pstatstg->grfMode = STGM_READWRITE;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) override {
    if (ppstm == nullptr) return STG_E_INVALIDPOINTER;
    *ppstm = new (std::nothrow) HGlobalStream(block_, position_);
    return *ppstm != nullptr ? S_OK : E_OUTOFMEMORY;
  }

 private:
  ~HGlobalStream() override { block_->Release(); }

  HRESULT ReportPosition(HRESULT hr, ULARGE_INTEGER* newPosition) const {
    if (newPosition != nullptr) newPosition->QuadPart = position_;
    return hr;
  }

  SharedBlock* block_;
  ULONG position_;
};

}  // namespace
}  // namespace qzwin::com

using namespace qzwin::com;

// A null handle makes a new block. With fDeleteOnRelease, the block is freed
// when the last stream on it (clones included) is released.
STDAPI CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, LPSTREAM* ppstm) {
  if (ppstm == nullptr) return E_INVALIDARG;
  *ppstm = nullptr;
  bool madeHere = hGlobal == nullptr;
  if (madeHere) {
    hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_NODISCARD | GMEM_SHARE, 0);
    if (hGlobal == nullptr) return E_OUTOFMEMORY;
  }
  ULONG size = static_cast<ULONG>(std::min<SIZE_T>(GlobalSize(hGlobal), kMaxStreamSize));
  SharedBlock* block = new (std::nothrow) SharedBlock(hGlobal, size);
  HGlobalStream* stream = block != nullptr ? new (std::nothrow) HGlobalStream(block, 0) : nullptr;
  if (block != nullptr) block->Release();  // the stream, if made, holds its own reference
  if (stream == nullptr) {
    if (madeHere) GlobalFree(hGlobal);  // the caller's block is left alone
    return E_OUTOFMEMORY;
  }
  block->FreeOnLastRelease(fDeleteOnRelease != FALSE);
  *ppstm = stream;
  return S_OK;
}

STDAPI GetHGlobalFromStream(LPSTREAM pstm, HGLOBAL* phglobal) {
  if (phglobal != nullptr) *phglobal = nullptr;
  auto* stream = dynamic_cast<HGlobalStream*>(pstm);
  if (stream == nullptr || phglobal == nullptr) return E_INVALIDARG;
  *phglobal = stream->handle();
  return S_OK;
}
