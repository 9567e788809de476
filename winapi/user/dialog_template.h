// Dialog templates (DLGTEMPLATE and DLGTEMPLATEEX with their items) read
// from their bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include <windef.h>

namespace qzwin::user {

struct DialogItemTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  int id = 0;             // a WORD in DLGTEMPLATE items, sign-extended (-1 for IDC_STATIC)
  std::string className;  // "Button", "Edit", "Static", "ListBox", "ScrollBar", "ComboBox", or as named
  std::string text;       // UTF-8; "" for none or an ordinal (an icon's id)
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::string title;
  std::vector<DialogItemTemplate> items;
};

// Reads a template of at most `size` bytes. False when it runs past them or
// is not a template.
bool ParseDialogTemplate(const BYTE* data, size_t size, DialogTemplate* dialog);

// The classes a dialog can make its controls of.
bool IsKnownControlClass(const std::string& className);

}  // namespace qzwin::user
