#include "msft_reader.h"

#include "msft_layout.h"
#include "text.h"

#include <winnls.h>

#include <cstring>

namespace qzwin::typelib {
namespace {

using namespace msft;

// Thrown inside the reader for anything that does not hold together.
struct BadFile {};

struct SegmentRange {
  std::size_t offset = 0;
  std::size_t length = 0;
  bool present = false;
};

class MsftReader {
 public:
  MsftReader(const BYTE* data, std::size_t size) : data_(data), size_(size) {}

  std::shared_ptr<LibraryData> Read() {
    auto lib = std::make_shared<LibraryData>();
    if (Int(0) != static_cast<std::int32_t>(kSignature)) throw BadFile{};
    ReadSegments();
    lib->libid = GuidAt(Int(kHeaderPosGuid));
    lib->lcid = static_cast<LCID>(Int(kHeaderLcid));
    std::int32_t syskind = Int(kHeaderVarFlags) & 0xF;
    if (syskind > SYS_WIN64) throw BadFile{};
    lib->syskind = static_cast<SYSKIND>(syskind);
    filePointerSize_ = lib->syskind == SYS_WIN64 ? 8 : 4;
    std::int32_t version = Int(kHeaderVersion);
    lib->majorVersion = static_cast<WORD>(version & 0xFFFF);
    lib->minorVersion = static_cast<WORD>((version >> 16) & 0xFFFF);
    lib->flags = static_cast<WORD>(Int(kHeaderFlags));
    lib->name = NameAt(Int(kHeaderName));
    lib->docString = StringAt(Int(kHeaderHelpString));
    lib->helpFile = StringAt(Int(kHeaderHelpFile));
    lib->helpContext = static_cast<DWORD>(Int(kHeaderHelpContext));
    std::int32_t dispatchHref = Int(kHeaderDispatchHref);
    lib->hasDispatchHref = dispatchHref != -1;
    lib->dispatchHref = static_cast<HREFTYPE>(dispatchHref);

    lib_ = lib.get();
    ReadTypeDescs();
    ReadImports();
    for (std::size_t i = 0; i < typeInfoCount_; ++i) lib->types.push_back(ReadTypeInfo(i));
    return lib;
  }

 private:
  // --- bounded access -------------------------------------------------------

  void Need(std::size_t offset, std::size_t count) const {
    if (offset > size_ || count > size_ - offset) throw BadFile{};
  }
  std::int32_t Int(std::size_t offset) const {
    Need(offset, 4);
    std::uint32_t v = static_cast<std::uint32_t>(data_[offset]) | static_cast<std::uint32_t>(data_[offset + 1]) << 8 |
                      static_cast<std::uint32_t>(data_[offset + 2]) << 16 |
                      static_cast<std::uint32_t>(data_[offset + 3]) << 24;
    return static_cast<std::int32_t>(v);
  }
  std::uint16_t Word(std::size_t offset) const {
    Need(offset, 2);
    return static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8);
  }
  // The file offset of [offset, offset + count) inside a segment.
  std::size_t InSegment(Segment segment, std::int64_t offset, std::size_t count) const {
    const SegmentRange& range = segments_[segment];
    if (!range.present || offset < 0) throw BadFile{};
    auto start = static_cast<std::size_t>(offset);
    if (start > range.length || count > range.length - start) throw BadFile{};
    return range.offset + start;
  }
  static std::size_t Add(std::size_t base, std::int64_t offset) {
    if (offset < 0) throw BadFile{};
    return base + static_cast<std::size_t>(offset);
  }

  void ReadSegments() {
    typeInfoCount_ = static_cast<std::size_t>(CheckedCount(Int(kHeaderTypeInfoCount)));
    std::size_t directory = kHeaderSize + ((Int(kHeaderVarFlags) & kHelpDllFlag) ? 4 : 0);
    if (typeInfoCount_ > size_ / 4) throw BadFile{};
    directory += typeInfoCount_ * 4;
    for (int i = 0; i < kSegmentCount; ++i) {
      std::size_t entry = directory + static_cast<std::size_t>(i) * kSegmentEntrySize;
      std::int32_t offset = Int(entry);
      std::int32_t length = Int(entry + 4);
      SegmentRange& range = segments_[i];
      if (offset < 0 || length <= 0) continue;  // an absent segment
      Need(static_cast<std::size_t>(offset), static_cast<std::size_t>(length));
      range = {static_cast<std::size_t>(offset), static_cast<std::size_t>(length), true};
    }
    InSegment(kSegTypeInfo, 0, typeInfoCount_ * kTypeInfoSize);
  }

  static std::int32_t CheckedCount(std::int32_t count) {
    if (count < 0) throw BadFile{};
    return count;
  }

  // --- names, strings, GUIDs ------------------------------------------------

  GUID GuidAt(std::int32_t offset) const {
    GUID guid{};
    if (offset < 0) return guid;
    std::size_t at = InSegment(kSegGuid, offset, sizeof(GUID));
    guid.Data1 = static_cast<std::uint32_t>(Int(at));
    guid.Data2 = Word(at + 4);
    guid.Data3 = Word(at + 6);
    std::memcpy(guid.Data4, data_ + at + 8, sizeof guid.Data4);
    return guid;
  }

  std::u16string NameAt(std::int32_t offset) const {
    if (offset < 0) return {};
    std::size_t intro = InSegment(kSegName, offset, kNameIntroSize);
    std::size_t length = static_cast<std::size_t>(Int(intro + 8)) & 0xFF;
    std::size_t chars = InSegment(kSegName, std::int64_t{offset} + kNameIntroSize, length);
    return DecodeText(data_ + chars, length);
  }

  std::u16string StringAt(std::int32_t offset) const {
    if (offset < 0) return {};
    std::size_t at = InSegment(kSegString, offset, 2);
    std::size_t length = Word(at);
    std::size_t chars = InSegment(kSegString, std::int64_t{offset} + 2, length);
    return DecodeText(data_ + chars, length);
  }

  // --- type descriptions ----------------------------------------------------

  static bool NeedsMore(VARTYPE vt) {
    return vt == VT_PTR || vt == VT_SAFEARRAY || vt == VT_CARRAY || vt == VT_USERDEFINED;
  }

  // A basic VARTYPE as a data type field holds it.
  static VARTYPE BasicType(std::int32_t field) {
    auto vt = static_cast<VARTYPE>(field & VT_TYPEMASK);
    if (NeedsMore(vt)) throw BadFile{};  // would leave a pointer that points nowhere
    return vt;
  }

  std::size_t TypeDescIndex(std::int32_t offset) const {
    if (offset < 0 || offset % static_cast<std::int32_t>(kTypeDescSize) != 0) throw BadFile{};
    auto index = static_cast<std::size_t>(offset) / kTypeDescSize;
    if (index >= lib_->typeDescCount) throw BadFile{};
    return index;
  }

  TYPEDESC TypeOf(std::int32_t field) const {
    if (static_cast<std::uint32_t>(field) & kBasicTypeFlag) {
      TYPEDESC desc{};
      desc.vt = BasicType(field);
      return desc;
    }
    return lib_->typeDescs[TypeDescIndex(field)];
  }

  void ReadTypeDescs() {
    const SegmentRange& range = segments_[kSegTypeDesc];
    std::size_t count = range.present ? range.length / kTypeDescSize : 0;
    lib_->typeDescCount = count;
    lib_->typeDescs = std::make_unique<TYPEDESC[]>(count);
    lib_->pointees = std::make_unique<TYPEDESC[]>(count);
    for (std::size_t i = 0; i < count; ++i) {
      std::size_t at = range.offset + i * kTypeDescSize;
      TYPEDESC& desc = lib_->typeDescs[i];
      desc.vt = static_cast<VARTYPE>(Word(at) & VT_TYPEMASK);
      std::int32_t target = Int(at + 4);
      switch (desc.vt) {
        case VT_PTR:
        case VT_SAFEARRAY:
          if (static_cast<std::uint32_t>(target) & kBasicTypeFlag) {
            lib_->pointees[i].vt = BasicType(target);
            desc.lptdesc = &lib_->pointees[i];
          } else {
            desc.lptdesc = &lib_->typeDescs[TypeDescIndex(target)];
          }
          break;
        case VT_USERDEFINED:
          desc.hreftype = static_cast<HREFTYPE>(target);
          break;
        case VT_CARRAY:
          break;  // filled in below, once every entry it may point to is
        default:
          break;
      }
    }
    for (std::size_t i = 0; i < count; ++i) {
      if (lib_->typeDescs[i].vt == VT_CARRAY) lib_->typeDescs[i].lpadesc = ReadArrayDesc(Int(range.offset + i * kTypeDescSize + 4));
    }
    // A chain of pointers must end: a loop would send every reader round forever.
    for (std::size_t i = 0; i < count; ++i) {
      const TYPEDESC* desc = &lib_->typeDescs[i];
      std::size_t steps = 0;
      while (desc->vt == VT_PTR || desc->vt == VT_SAFEARRAY) {
        if (++steps > count) throw BadFile{};
        desc = desc->lptdesc;
      }
    }
  }

  // An array: its element type, its dimension count, then per dimension the
  // element count and the lower bound.
  ARRAYDESC* ReadArrayDesc(std::int32_t offset) {
    std::size_t at = InSegment(kSegArrayDesc, offset, kArrayDescFixedSize);
    std::size_t dims = Word(at + 4);
    if (dims == 0) throw BadFile{};
    std::size_t bounds = InSegment(kSegArrayDesc, std::int64_t{offset} + kArrayDescFixedSize, dims * kArrayBoundSize);
    std::size_t bytes = sizeof(ARRAYDESC) + (dims - 1) * sizeof(SAFEARRAYBOUND);
    std::size_t elements = (bytes + sizeof(ARRAYDESC) - 1) / sizeof(ARRAYDESC);
    lib_->arrayDescs.push_back(std::make_unique<ARRAYDESC[]>(elements));
    ARRAYDESC* desc = lib_->arrayDescs.back().get();
    desc->tdescElem = TypeOf(Int(at));
    if (desc->tdescElem.vt == VT_CARRAY) throw BadFile{};  // more dimensions are written as cDims
    desc->cDims = static_cast<USHORT>(dims);
    for (std::size_t d = 0; d < dims; ++d) {
      desc->rgbounds[d].cElements = static_cast<ULONG>(Int(bounds + d * kArrayBoundSize));
      desc->rgbounds[d].lLbound = Int(bounds + d * kArrayBoundSize + 4);
    }
    return desc;
  }

  // --- imports ----------------------------------------------------------------

  void ReadImports() {
    std::vector<std::size_t> fileOffsets;
    const SegmentRange& files = segments_[kSegImportFiles];
    std::size_t offset = 0;
    while (files.present && offset < files.length) {
      std::size_t at = InSegment(kSegImportFiles, static_cast<std::int64_t>(offset), kImportFileFixedSize);
      ImportedLibrary import;
      import.libid = GuidAt(Int(at));
      import.lcid = static_cast<LCID>(Int(at + 4));
      import.majorVersion = Word(at + 8);
      import.minorVersion = Word(at + 10);
      std::size_t length = Word(at + 12) >> 2;
      std::size_t chars = InSegment(kSegImportFiles, static_cast<std::int64_t>(offset + kImportFileFixedSize), length);
      import.fileName = DecodeText(data_ + chars, length);
      fileOffsets.push_back(offset);
      lib_->imports.push_back(std::move(import));
      offset = (offset + kImportFileFixedSize + length + 3) & ~std::size_t{3};
    }

    const SegmentRange& infos = segments_[kSegImportInfo];
    std::size_t count = infos.present ? infos.length / kImportInfoSize : 0;
    for (std::size_t i = 0; i < count; ++i) {
      std::size_t at = infos.offset + i * kImportInfoSize;
      ImportedType type;
      std::int32_t flags = Int(at);
      std::int32_t file = Int(at + 4);
      std::int32_t guidOrIndex = Int(at + 8);
      for (std::size_t f = 0; f < fileOffsets.size(); ++f) {
        if (file >= 0 && fileOffsets[f] == static_cast<std::size_t>(file)) type.library = static_cast<int>(f);
      }
      type.byGuid = (flags & kImportByGuid) != 0;
      if (type.byGuid) {
        type.guid = GuidAt(guidOrIndex);
      } else {
        type.index = guidOrIndex;
      }
      lib_->importedTypes.push_back(type);
    }
  }

  // --- values -----------------------------------------------------------------

  ConstantValue ValueAt(std::int32_t offset) const {
    ConstantValue value;
    if (offset < 0) {
      auto bits = static_cast<std::uint32_t>(offset);
      value.vt = static_cast<VARTYPE>((bits & kInlineValueTypeMask) >> kInlineValueTypeShift);
      value.bits = bits & kInlineValueMask;
      return value;
    }
    std::size_t at = InSegment(kSegCustData, offset, 2);
    value.vt = Word(at);
    std::size_t valueSize = 0;
    switch (value.vt) {
      case VT_I1: case VT_UI1: case VT_I2: case VT_UI2: case VT_I4: case VT_UI4: case VT_INT: case VT_UINT:
      case VT_R4: case VT_ERROR: case VT_BOOL: case VT_HRESULT:
        valueSize = 4;
        break;
      case VT_I8: case VT_UI8: case VT_R8: case VT_CY: case VT_DATE:
        valueSize = 8;
        break;
      case VT_BSTR: {
        std::int32_t length = Int(InSegment(kSegCustData, std::int64_t{offset} + 2, 4));
        if (length < 0) return value;  // a null string
        std::size_t chars = InSegment(kSegCustData, std::int64_t{offset} + 6, static_cast<std::size_t>(length));
        value.text = DecodeText(data_ + chars, static_cast<std::size_t>(length));
        return value;
      }
      default:
        throw BadFile{};  // nothing else is a constant
    }
    std::size_t bytes = InSegment(kSegCustData, std::int64_t{offset} + 2, valueSize);
    for (std::size_t i = 0; i < valueSize; ++i) value.bits |= std::uint64_t{data_[bytes + i]} << (8 * i);
    return value;
  }

  // --- type infos -------------------------------------------------------------

  TypeData ReadTypeInfo(std::size_t index) {
    std::size_t at = segments_[kSegTypeInfo].offset + index * kTypeInfoSize;
    TypeData type;
    std::int32_t kind = Int(at + kTiKind);
    if ((kind & 0xF) >= TKIND_MAX) throw BadFile{};
    type.kind = static_cast<TYPEKIND>(kind & 0xF);
    type.alignment = static_cast<WORD>((kind >> 11) & 0x1F);
    type.guid = GuidAt(Int(at + kTiPosGuid));
    type.flags = static_cast<WORD>(Int(at + kTiFlags));
    type.name = NameAt(Int(at + kTiName));
    std::int32_t version = Int(at + kTiVersion);
    type.majorVersion = static_cast<WORD>(version & 0xFFFF);
    type.minorVersion = static_cast<WORD>((version >> 16) & 0xFFFF);
    type.docString = StringAt(Int(at + kTiDocString));
    type.helpContext = static_cast<DWORD>(Int(at + kTiHelpContext));
    type.instanceSize = static_cast<ULONG>(Int(at + kTiSize));
    auto storedVtable = static_cast<std::size_t>(Word(at + kTiVtableSize));
    type.vtableFunctions = static_cast<WORD>(storedVtable / filePointerSize_);
    type.vtableSize = static_cast<WORD>(type.vtableFunctions * sizeof(void*));
    std::int32_t implCount = static_cast<std::int16_t>(Word(at + kTiImplTypeCount));
    std::int32_t dataType1 = Int(at + kTiDataType1);
    if (implCount < 0) throw BadFile{};

    if (type.kind == TKIND_COCLASS) {
      std::int32_t reference = dataType1;
      for (std::int32_t i = 0; i < implCount && reference != -1; ++i) {
        std::size_t ref = InSegment(kSegReferences, reference, kReferenceSize);
        type.implTypes.push_back({static_cast<HREFTYPE>(Int(ref)), Int(ref + 4)});
        reference = Int(ref + 12);
      }
    } else if (type.kind == TKIND_ALIAS) {
      type.aliasType = TypeOf(dataType1);
    } else if (implCount > 0 && dataType1 != -1) {
      type.implTypes.push_back({static_cast<HREFTYPE>(dataType1), 0});
    }

    std::int32_t counts = Int(at + kTiElementCounts);
    std::size_t funcCount = static_cast<std::size_t>(counts & 0xFFFF);
    std::size_t varCount = static_cast<std::size_t>((counts >> 16) & 0xFFFF);
    if (funcCount + varCount > 0) ReadMembers(Int(at + kTiMemberOffset), funcCount, varCount, &type);
    return type;
  }

  // Members: an INT with the size of the records, the records, then three
  // arrays of one INT per member: member ids, name offsets, record offsets.
  void ReadMembers(std::int32_t offset, std::size_t funcCount, std::size_t varCount, TypeData* type) {
    std::size_t base = Add(0, offset);
    std::int32_t recordsSize = Int(base);
    if (recordsSize < 0) throw BadFile{};
    std::size_t records = base + 4;
    std::size_t recordsEnd = Add(records, recordsSize);
    std::size_t members = funcCount + varCount;
    Need(recordsEnd, members * 3 * 4);
    auto memberInt = [&](std::size_t array, std::size_t i) { return Int(recordsEnd + (array * members + i) * 4); };
    auto record = [&](std::size_t i, std::size_t fixedSize, std::size_t* length) {
      std::size_t at = Add(records, memberInt(2, i));
      if (at > recordsEnd - 4 || at < records) throw BadFile{};
      *length = static_cast<std::size_t>(Int(at)) & 0xFFFF;
      if (*length < fixedSize || *length > recordsEnd - at) throw BadFile{};
      return at;
    };

    for (std::size_t i = 0; i < funcCount; ++i) {
      std::size_t length = 0;
      std::size_t at = record(i, kFuncFixedSize, &length);
      FuncData func = ReadFunction(at, length);
      func.memid = memberInt(0, i);
      std::int32_t name = memberInt(1, i);
      // The second of a property's get/put pair may leave its name out.
      if (name == -1 && !type->funcs.empty()) {
        func.name = type->funcs.back().name;
      } else {
        func.name = NameAt(name);
      }
      type->funcs.push_back(std::move(func));
    }
    for (std::size_t i = funcCount; i < members; ++i) {
      std::size_t length = 0;
      std::size_t at = record(i, kVarFixedSize, &length);
      VarData var = ReadVariable(at, length);
      var.memid = memberInt(0, i);
      var.name = NameAt(memberInt(1, i));
      type->vars.push_back(std::move(var));
    }
  }

  FuncData ReadFunction(std::size_t at, std::size_t length) {
    FuncData func;
    std::int32_t kinds = Int(at + kFuncKinds);
    std::int32_t funckind = kinds & 0x7;
    std::int32_t invkind = (kinds >> 3) & 0xF;
    std::int32_t callconv = (kinds >> 8) & 0xF;
    bool oneInvokeKind = invkind == INVOKE_FUNC || invkind == INVOKE_PROPERTYGET || invkind == INVOKE_PROPERTYPUT ||
                         invkind == INVOKE_PROPERTYPUTREF;
    if (funckind > FUNC_DISPATCH || !oneInvokeKind || callconv >= CC_MAX) throw BadFile{};
    func.funckind = static_cast<FUNCKIND>(funckind);
    func.invkind = static_cast<INVOKEKIND>(invkind);
    func.callconv = static_cast<CALLCONV>(callconv);
    func.flags = static_cast<WORD>(Int(at + kFuncFlags));
    std::size_t vtableSlot = (static_cast<std::size_t>(Word(at + kFuncVtableOffset)) & ~std::size_t{1}) / filePointerSize_;
    func.vtableOffset = static_cast<SHORT>(vtableSlot * sizeof(void*));
    func.returnType = TypeOf(Int(at + kFuncDataType));
    auto paramCount = static_cast<std::size_t>(static_cast<std::int16_t>(Word(at + kFuncParamCount)));
    func.optionalParams = static_cast<SHORT>(Word(at + kFuncOptionalCount));
    if (static_cast<std::int16_t>(Word(at + kFuncParamCount)) < 0) throw BadFile{};

    bool hasDefaults = (kinds & kFuncHasDefaults) != 0;
    std::size_t tail = paramCount * kParamSize + (hasDefaults ? paramCount * 4 : 0);
    if (tail > length - kFuncFixedSize) throw BadFile{};
    std::size_t optionalEnd = length - tail;
    if (optionalEnd > kFuncHelpContext) func.helpContext = static_cast<DWORD>(Int(at + kFuncHelpContext));
    if (optionalEnd > kFuncHelpString) func.docString = StringAt(Int(at + kFuncHelpString));

    std::size_t params = at + length - paramCount * kParamSize;
    std::size_t defaults = params - (hasDefaults ? paramCount * 4 : 0);
    for (std::size_t p = 0; p < paramCount; ++p) {
      std::size_t paramAt = params + p * kParamSize;
      ParamData param;
      param.type = TypeOf(Int(paramAt));
      param.name = NameAt(Int(paramAt + 4));
      param.flags = static_cast<USHORT>(Int(paramAt + 8));
      if (hasDefaults && (param.flags & PARAMFLAG_FHASDEFAULT)) {
        std::int32_t value = Int(defaults + p * 4);
        if (value != -1) {
          param.hasDefault = true;
          param.defaultValue = ValueAt(value);
        }
      }
      if (!param.hasDefault) param.flags &= static_cast<USHORT>(~PARAMFLAG_FHASDEFAULT);
      func.params.push_back(std::move(param));
    }
    return func;
  }

  VarData ReadVariable(std::size_t at, std::size_t length) {
    VarData var;
    var.type = TypeOf(Int(at + kVarDataType));
    var.flags = static_cast<WORD>(Int(at + kVarFlags));
    std::uint16_t kind = Word(at + kVarKind);
    if (kind > VAR_DISPATCH) throw BadFile{};
    var.kind = static_cast<VARKIND>(kind);
    std::int32_t value = Int(at + kVarValue);
    if (var.kind == VAR_CONST) {
      var.value = ValueAt(value);
    } else {
      var.instanceOffset = static_cast<ULONG>(value);
    }
    if (length > kVarHelpContext) var.helpContext = static_cast<DWORD>(Int(at + kVarHelpContext));
    if (length > kVarHelpString) var.docString = StringAt(Int(at + kVarHelpString));
    return var;
  }

  const BYTE* data_;
  std::size_t size_;
  SegmentRange segments_[kSegmentCount];
  std::size_t typeInfoCount_ = 0;
  std::size_t filePointerSize_ = 4;
  LibraryData* lib_ = nullptr;
};

}  // namespace

bool LooksLikeMsft(const BYTE* data, std::size_t size) {
  return data != nullptr && size >= 4 && data[0] == 'M' && data[1] == 'S' && data[2] == 'F' && data[3] == 'T';
}

HRESULT ReadMsftTypeLib(const BYTE* data, std::size_t size, std::shared_ptr<const LibraryData>* library) {
  if (library == nullptr) return E_INVALIDARG;
  library->reset();
  if (!LooksLikeMsft(data, size)) return TYPE_E_UNSUPFORMAT;
  try {
    *library = MsftReader(data, size).Read();
    return S_OK;
  } catch (const BadFile&) {
    return TYPE_E_INVDATAREAD;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace qzwin::typelib
