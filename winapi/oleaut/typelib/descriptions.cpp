#include "descriptions.h"

#include <oleauto.h>

#include <cstring>
#include <type_traits>
#include <vector>

namespace qzwin::typelib {
namespace {

// The FUNCDESC comes first, so that the pointer handed out is the block's.
struct FuncDescBlock {
  FUNCDESC desc;
  ITypeInfo* keepAlive;
  std::vector<ELEMDESC> params;
  std::vector<PARAMDESCEX> defaults;
};
static_assert(std::is_standard_layout_v<FuncDescBlock>);

struct VarDescBlock {
  VARDESC desc;
  VARIANT value;
};
static_assert(std::is_standard_layout_v<VarDescBlock>);

// Points each parameter with a default at its PARAMDESCEX; done once the
// vectors have their final size.
void LinkDefaults(FuncDescBlock* block) {
  block->desc.lprgelemdescParam = block->params.empty() ? nullptr : block->params.data();
  for (std::size_t i = 0; i < block->params.size(); ++i) {
    PARAMDESC& param = block->params[i].paramdesc;
    param.pparamdescex = (param.wParamFlags & PARAMFLAG_FHASDEFAULT) ? &block->defaults[i] : nullptr;
  }
}

}  // namespace

void ConstantToVariant(const ConstantValue& value, VARIANT* variant) {
  VariantInit(variant);
  if (value.vt == VT_BSTR) {
    variant->vt = VT_BSTR;
    variant->bstrVal = SysAllocStringLen(value.text.data(), static_cast<UINT>(value.text.size()));
    return;
  }
  variant->vt = value.vt;
  std::uint64_t bits = value.bits;
  std::memcpy(&variant->llVal, &bits, sizeof bits);  // little-endian: the low bytes are the value
}

FUNCDESC* NewFuncDesc(const FuncData& func) {
  auto* block = new FuncDescBlock{};
  FUNCDESC& desc = block->desc;
  desc.memid = func.memid;
  desc.funckind = func.funckind;
  desc.invkind = func.invkind;
  desc.callconv = func.callconv;
  desc.cParams = static_cast<SHORT>(func.params.size());
  desc.cParamsOpt = func.optionalParams;
  desc.oVft = func.vtableOffset;
  desc.elemdescFunc.tdesc = func.returnType;
  desc.wFuncFlags = func.flags;
  block->params.resize(func.params.size());
  block->defaults.resize(func.params.size());
  for (std::size_t i = 0; i < func.params.size(); ++i) {
    const ParamData& param = func.params[i];
    block->params[i].tdesc = param.type;
    block->params[i].paramdesc.wParamFlags = param.flags;
    block->defaults[i].cBytes = sizeof(PARAMDESCEX);
    VariantInit(&block->defaults[i].varDefaultValue);
    if (param.hasDefault) ConstantToVariant(param.defaultValue, &block->defaults[i].varDefaultValue);
  }
  LinkDefaults(block);
  return &block->desc;
}

FUNCDESC* CopyFuncDesc(const FUNCDESC& source, ITypeInfo* owner) {
  auto* block = new FuncDescBlock{};
  block->desc = source;
  block->desc.lprgscode = nullptr;
  block->desc.cScodes = 0;
  block->keepAlive = owner;
  if (owner != nullptr) owner->AddRef();
  auto count = static_cast<std::size_t>(source.cParams > 0 ? source.cParams : 0);
  block->params.assign(source.lprgelemdescParam, source.lprgelemdescParam + (source.lprgelemdescParam ? count : 0));
  block->params.resize(count);
  block->defaults.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    block->defaults[i].cBytes = sizeof(PARAMDESCEX);
    VariantInit(&block->defaults[i].varDefaultValue);
    const PARAMDESCEX* from = block->params[i].paramdesc.pparamdescex;
    if ((block->params[i].paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) && from != nullptr) {
      VariantCopy(&block->defaults[i].varDefaultValue, &from->varDefaultValue);
    } else {
      block->params[i].paramdesc.wParamFlags &= static_cast<USHORT>(~PARAMFLAG_FHASDEFAULT);
    }
  }
  LinkDefaults(block);
  return &block->desc;
}

void ToDispatchForm(FUNCDESC* desc) {
  desc->funckind = FUNC_DISPATCH;
  if (desc->cParams > 0) {
    ELEMDESC& last = desc->lprgelemdescParam[desc->cParams - 1];
    if ((last.paramdesc.wParamFlags & PARAMFLAG_FRETVAL) && last.tdesc.vt == VT_PTR) {
      desc->elemdescFunc = ELEMDESC{};
      desc->elemdescFunc.tdesc = *last.tdesc.lptdesc;
      --desc->cParams;
      if (desc->cParams == 0) desc->lprgelemdescParam = nullptr;  // the block still owns the array
      return;
    }
  }
  if (desc->elemdescFunc.tdesc.vt == VT_HRESULT) desc->elemdescFunc.tdesc.vt = VT_VOID;
}

void FreeFuncDesc(FUNCDESC* desc) {
  if (desc == nullptr) return;
  auto* block = reinterpret_cast<FuncDescBlock*>(desc);
  for (PARAMDESCEX& value : block->defaults) VariantClear(&value.varDefaultValue);
  if (block->keepAlive != nullptr) block->keepAlive->Release();
  delete block;
}

VARDESC* NewVarDesc(const VarData& var) {
  auto* block = new VarDescBlock{};
  VARDESC& desc = block->desc;
  desc.memid = var.memid;
  desc.varkind = var.kind;
  desc.wVarFlags = var.flags;
  desc.elemdescVar.tdesc = var.type;
  VariantInit(&block->value);
  if (var.kind == VAR_CONST) {
    ConstantToVariant(var.value, &block->value);
    desc.lpvarValue = &block->value;
  } else {
    desc.oInst = var.instanceOffset;
  }
  return &block->desc;
}

void FreeVarDesc(VARDESC* desc) {
  if (desc == nullptr) return;
  auto* block = reinterpret_cast<VarDescBlock*>(desc);
  VariantClear(&block->value);
  delete block;
}

}  // namespace qzwin::typelib
