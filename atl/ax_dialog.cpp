// ActiveX-capable dialogs: the template shown without its ActiveX items, and
// the controls that the dialog-initialisation resource names.
#include <cstring>
#include <string>
#include <vector>

#include "atlhost.h"

namespace ATL {
namespace {

constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kOrdinalMark = 0xFFFF;
constexpr size_t kHeaderCountOffset = 8;          // cdit in DLGTEMPLATE
constexpr size_t kExtendedHeaderCountOffset = 16;  // cDlgItems in DLGTEMPLATEEX
// The messages of dialog-initialisation records that carry ActiveX control data.
constexpr WORD kFirstControlDataMessage = 0x0376;
constexpr WORD kLastControlDataMessage = 0x037B;

// One item of a template: where its bytes lie, its id, and its class when
// that is a name.
struct TemplateItem {
  size_t begin = 0;
  size_t end = 0;
  DWORD id = 0;
  std::basic_string<OLECHAR> className;
  bool IsActiveX() const { return !className.empty() && className[0] == OLESTR('{'); }
};

struct TemplateLayout {
  bool extended = false;
  size_t itemsBegin = 0;
  std::vector<TemplateItem> items;
};

class Walker {
 public:
  Walker(const BYTE* data, size_t size) : data_(data), size_(size) {}

  size_t At() const { return at_; }
  bool Skip(size_t count) {
    if (size_ - at_ < count) return false;
    at_ += count;
    return true;
  }
  bool Word(WORD* value) {
    if (size_ - at_ < 2) return false;
    *value = static_cast<WORD>(data_[at_] | (data_[at_ + 1] << 8));
    at_ += 2;
    return true;
  }
  bool AlignToDword() { return Skip((4 - at_ % 4) % 4); }
  bool String(std::basic_string<OLECHAR>* text) {
    for (WORD unit = 0;;) {
      if (!Word(&unit)) return false;
      if (unit == 0) return true;
      if (text != NULL) text->push_back(static_cast<OLECHAR>(unit));
    }
  }
  // None, an ordinal or a string; the string is kept in name.
  bool NameOrOrdinal(std::basic_string<OLECHAR>* name) {
    WORD first = 0;
    if (!Word(&first)) return false;
    if (first == 0) return true;
    if (first == kOrdinalMark) return Skip(2);
    at_ -= 2;
    return String(name);
  }

 private:
  const BYTE* data_;
  size_t size_;
  size_t at_ = 0;
};

bool WalkTemplate(const BYTE* data, size_t size, TemplateLayout* layout) {
  Walker walker(data, size);
  WORD version = 0, signature = 0, count = 0;
  if (!walker.Word(&version) || !walker.Word(&signature)) return false;
  layout->extended = version == 1 && signature == kExtendedSignature;
  DWORD style = 0;
  size_t styleOffset = layout->extended ? 12 : 0;
  if (size < styleOffset + 4) return false;
  std::memcpy(&style, data + styleOffset, sizeof(style));
  walker = Walker(data, size);
  size_t countOffset = layout->extended ? kExtendedHeaderCountOffset : kHeaderCountOffset;
  if (!walker.Skip(countOffset) || !walker.Word(&count) || !walker.Skip(8)) return false;
  if (!walker.NameOrOrdinal(NULL) || !walker.NameOrOrdinal(NULL) || !walker.String(NULL)) return false;
  if ((style & DS_SETFONT) != 0 && (!walker.Skip(layout->extended ? 6 : 2) || !walker.String(NULL))) return false;
  layout->itemsBegin = walker.At();
  for (WORD i = 0; i < count; ++i) {
    TemplateItem item;
    if (!walker.AlignToDword()) return false;
    item.begin = walker.At();
    size_t fixed = layout->extended ? 24 : 18;  // the item's fixed fields
    if (!walker.Skip(fixed)) return false;
    if (layout->extended) {
      std::memcpy(&item.id, data + item.begin + 20, sizeof(DWORD));
    } else {
      item.id = static_cast<DWORD>(data[item.begin + 16] | (data[item.begin + 17] << 8));
    }
    WORD extra = 0;
    if (!walker.NameOrOrdinal(&item.className) || !walker.NameOrOrdinal(NULL) || !walker.Word(&extra) ||
        !walker.Skip(extra)) {
      return false;
    }
    item.end = walker.At();
    layout->items.push_back(item);
  }
  return true;
}

// The bytes of a resource, or false when it is missing.
bool ResourceBytes(HINSTANCE hInstance, LPCSTR name, LPCSTR type, const BYTE** bytes, size_t* size) {
  HRSRC found = ::FindResourceA(hInstance, name, type);
  HGLOBAL loaded = found != NULL ? ::LoadResource(hInstance, found) : NULL;
  *bytes = loaded != NULL ? static_cast<const BYTE*>(::LockResource(loaded)) : NULL;
  *size = *bytes != NULL ? ::SizeofResource(hInstance, found) : 0;
  return *bytes != NULL;
}

// The template without its ActiveX items, each item still at a DWORD boundary.
std::vector<BYTE> WithoutActiveXItems(const BYTE* data, const TemplateLayout& layout) {
  std::vector<BYTE> copy(data, data + layout.itemsBegin);
  WORD kept = 0;
  for (const TemplateItem& item : layout.items) {
    if (item.IsActiveX()) continue;
    while (copy.size() % 4 != 0) copy.push_back(0);
    copy.insert(copy.end(), data + item.begin, data + item.end);
    ++kept;
  }
  size_t countOffset = layout.extended ? kExtendedHeaderCountOffset : kHeaderCountOffset;
  copy[countOffset] = static_cast<BYTE>(kept & 0xFF);
  copy[countOffset + 1] = static_cast<BYTE>(kept >> 8);
  return copy;
}

}  // namespace

INT_PTR WINAPI AtlAxDialogBoxA(HINSTANCE hInstance, LPCSTR lpTemplateName, HWND hWndParent, DLGPROC lpDialogProc,
                               LPARAM dwInitParam) {
  const BYTE* data = NULL;
  size_t size = 0;
  TemplateLayout layout;
  if (!ResourceBytes(hInstance, lpTemplateName, RT_DIALOG, &data, &size) || !WalkTemplate(data, size, &layout)) {
    return -1;
  }
  std::vector<BYTE> shown = WithoutActiveXItems(data, layout);
  // DWORD alignment of the items needs the copy itself DWORD-aligned.
  std::vector<DWORD> aligned((shown.size() + sizeof(DWORD) - 1) / sizeof(DWORD));
  std::memcpy(aligned.data(), shown.data(), shown.size());
  return ::DialogBoxIndirectParamA(hInstance, reinterpret_cast<LPCDLGTEMPLATEA>(aligned.data()), hWndParent,
                                   lpDialogProc, dwInitParam);
}

HRESULT CAxControls::Create(HINSTANCE hInstance, UINT nID) {
  const BYTE* init = NULL;
  size_t initSize = 0;
  if (!ResourceBytes(hInstance, MAKEINTRESOURCEA(nID), RT_DLGINIT, &init, &initSize)) return S_OK;
  const BYTE* data = NULL;
  size_t size = 0;
  TemplateLayout layout;
  if (!ResourceBytes(hInstance, MAKEINTRESOURCEA(nID), RT_DIALOG, &data, &size) || !WalkTemplate(data, size, &layout)) {
    return E_FAIL;
  }
  // Records: WORD control id, WORD message, DWORD length, the bytes; a WORD 0 ends them.
  Walker records(init, initSize);
  for (;;) {
    WORD id = 0, message = 0, lengthLow = 0, lengthHigh = 0;
    if (!records.Word(&id)) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    if (id == 0) return S_OK;
    if (!records.Word(&message) || !records.Word(&lengthLow) || !records.Word(&lengthHigh) ||
        !records.Skip(static_cast<size_t>(lengthLow) | (static_cast<size_t>(lengthHigh) << 16))) {
      return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    }
    if (message < kFirstControlDataMessage || message > kLastControlDataMessage) continue;
    const TemplateItem* control = NULL;
    for (const TemplateItem& item : layout.items) {
      if (item.IsActiveX() && (item.id & 0xFFFF) == id) control = &item;
    }
    if (control == NULL) return HRESULT_FROM_WIN32(ERROR_INVALID_DATA);
    CLSID clsid;
    HRESULT hr = ::CLSIDFromString(control->className.c_str(), &clsid);
    IUnknown* object = NULL;
    if (SUCCEEDED(hr)) {
      hr = ::CoCreateInstance(clsid, NULL, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&object));
    }
    if (FAILED(hr)) {
      Release();
      return hr;
    }
    m_objects.push_back(object);
  }
}

void CAxControls::Release() {
  for (IUnknown* object : m_objects) object->Release();
  m_objects.clear();
}

}  // namespace ATL
