// A dialog template as a DIALOG or DIALOGEX statement describes it, and its
// binary form (DLGTEMPLATE or DLGTEMPLATEEX with their items).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "statement_reader.h"

namespace qzrc {

// A menu, window class or control text: a number or a name.
struct NameOrOrdinal {
  bool isOrdinal = false;
  std::uint16_t ordinal = 0;
  std::u16string name;  // empty and not an ordinal: none
};

struct DialogItem {
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t helpId = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  std::uint32_t id = 0;  // a WORD in DIALOG, a DWORD in DIALOGEX templates
  NameOrOrdinal windowClass;
  NameOrOrdinal text;
};

struct Dialog {
  bool extended = false;  // DIALOGEX
  std::uint32_t style = 0;
  std::uint32_t exStyle = 0;
  std::uint32_t helpId = 0;
  std::int16_t x = 0, y = 0, cx = 0, cy = 0;
  NameOrOrdinal menu;
  NameOrOrdinal windowClass;
  std::u16string caption;
  std::uint16_t pointSize = 0;
  std::uint16_t weight = 0;
  std::uint8_t italic = 0;
  std::uint8_t charset = 1;  // DEFAULT_CHARSET
  std::u16string typeface;
  std::vector<DialogItem> items;
};

// Reads the statement after "<id> DIALOG" or "<id> DIALOGEX" up to its END.
// A LANGUAGE statement among its options sets `*language`.
Dialog ParseDialog(StatementReader& reader, bool extended, std::uint16_t* language);

std::string DialogBytes(const Dialog& dialog);

}  // namespace qzrc
