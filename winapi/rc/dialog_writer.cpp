#include "byte_buffer.h"
#include "dialog.h"

namespace qzrc {
namespace {

// Marks a number where a name could stand in a template.
constexpr std::uint16_t kOrdinalMark = 0xFFFF;
constexpr std::uint16_t kExtendedVersion = 1;
constexpr std::uint32_t kSetFont = 0x40;  // DS_SETFONT: the template carries a font

void WriteNameOrOrdinal(const NameOrOrdinal& value, ByteBuffer* out) {
  if (value.isOrdinal) {
    out->Word(kOrdinalMark);
    out->Word(value.ordinal);
  } else {
    out->Text(value.name);
  }
}

void WriteItem(const Dialog& dialog, const DialogItem& item, ByteBuffer* out) {
  out->AlignToDword();
  if (dialog.extended) {
    out->Dword(item.helpId);
    out->Dword(item.exStyle);
    out->Dword(item.style);
  } else {
    out->Dword(item.style);
    out->Dword(item.exStyle);
  }
  for (std::int16_t value : {item.x, item.y, item.cx, item.cy}) out->Word(static_cast<std::uint16_t>(value));
  if (dialog.extended) {
    out->Dword(item.id);
  } else {
    out->Word(static_cast<std::uint16_t>(item.id));
  }
  WriteNameOrOrdinal(item.windowClass, out);
  WriteNameOrOrdinal(item.text, out);
  out->Word(0);  // no creation data
}

}  // namespace

std::string DialogBytes(const Dialog& dialog) {
  ByteBuffer out;
  if (dialog.extended) {
    out.Word(kExtendedVersion);
    out.Word(kOrdinalMark);
    out.Dword(dialog.helpId);
    out.Dword(dialog.exStyle);
    out.Dword(dialog.style);
  } else {
    out.Dword(dialog.style);
    out.Dword(dialog.exStyle);
  }
  out.Word(static_cast<std::uint16_t>(dialog.items.size()));
  for (std::int16_t value : {dialog.x, dialog.y, dialog.cx, dialog.cy}) out.Word(static_cast<std::uint16_t>(value));
  WriteNameOrOrdinal(dialog.menu, &out);
  WriteNameOrOrdinal(dialog.windowClass, &out);
  out.Text(dialog.caption);
  if ((dialog.style & kSetFont) != 0) {
    out.Word(dialog.pointSize);
    if (dialog.extended) {
      out.Word(dialog.weight);
      out.Byte(dialog.italic);
      out.Byte(dialog.charset);
    }
    out.Text(dialog.typeface);
  }
  for (const DialogItem& item : dialog.items) WriteItem(dialog, item, &out);
  return out.bytes();
}

}  // namespace qzrc
