// Scoped holders for the descriptions an ITypeInfo hands out, so that every
// path through a call gives them back.
#pragma once

#include <oaidl.h>

namespace qzwin::oleaut {

class ScopedTypeAttr {
 public:
  explicit ScopedTypeAttr(ITypeInfo* info) : info_(info) {
    result_ = info->GetTypeAttr(&attr_);
    if (FAILED(result_)) attr_ = nullptr;
    if (attr_ == nullptr && SUCCEEDED(result_)) result_ = E_FAIL;
  }
  ~ScopedTypeAttr() {
    if (attr_ != nullptr) info_->ReleaseTypeAttr(attr_);
  }
  ScopedTypeAttr(const ScopedTypeAttr&) = delete;
  ScopedTypeAttr& operator=(const ScopedTypeAttr&) = delete;

  HRESULT result() const { return result_; }
  const TYPEATTR* operator->() const { return attr_; }

 private:
  ITypeInfo* info_;
  TYPEATTR* attr_ = nullptr;
  HRESULT result_ = E_FAIL;
};

// A function description with a reference on the type info that owns it:
// references to other types in it are resolved through that type info.
class OwnedFuncDesc {
 public:
  OwnedFuncDesc() = default;
  ~OwnedFuncDesc() { Reset(); }
  OwnedFuncDesc(const OwnedFuncDesc&) = delete;
  OwnedFuncDesc& operator=(const OwnedFuncDesc&) = delete;

  // Takes over `desc`, which `owner` handed out.
  void Take(ITypeInfo* owner, FUNCDESC* desc) {
    Reset();
    owner->AddRef();
    owner_ = owner;
    desc_ = desc;
  }
  void Reset() {
    if (desc_ != nullptr) owner_->ReleaseFuncDesc(desc_);
    if (owner_ != nullptr) owner_->Release();
    owner_ = nullptr;
    desc_ = nullptr;
  }

  ITypeInfo* owner() const { return owner_; }
  const FUNCDESC& desc() const { return *desc_; }

 private:
  ITypeInfo* owner_ = nullptr;
  FUNCDESC* desc_ = nullptr;
};

}  // namespace qzwin::oleaut
