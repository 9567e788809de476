#include "builtin_names.h"

#include <map>

namespace qzrc {

std::optional<std::uint32_t> BuiltinConstant(const std::string& name) {
  static const std::map<std::string, std::uint32_t> kConstants = {
      // Window styles.
      {"WS_OVERLAPPED", 0x00000000}, {"WS_POPUP", 0x80000000}, {"WS_CHILD", 0x40000000},
      {"WS_MINIMIZE", 0x20000000}, {"WS_VISIBLE", 0x10000000}, {"WS_DISABLED", 0x08000000},
      {"WS_CLIPSIBLINGS", 0x04000000}, {"WS_CLIPCHILDREN", 0x02000000}, {"WS_MAXIMIZE", 0x01000000},
      {"WS_CAPTION", 0x00C00000}, {"WS_BORDER", 0x00800000}, {"WS_DLGFRAME", 0x00400000},
      {"WS_VSCROLL", 0x00200000}, {"WS_HSCROLL", 0x00100000}, {"WS_SYSMENU", 0x00080000},
      {"WS_THICKFRAME", 0x00040000}, {"WS_GROUP", 0x00020000}, {"WS_TABSTOP", 0x00010000},
      {"WS_MINIMIZEBOX", 0x00020000}, {"WS_MAXIMIZEBOX", 0x00010000}, {"WS_OVERLAPPEDWINDOW", 0x00CF0000},
      {"WS_POPUPWINDOW", 0x80880000},
      // Extended window styles.
      {"WS_EX_DLGMODALFRAME", 0x00000001}, {"WS_EX_NOPARENTNOTIFY", 0x00000004}, {"WS_EX_TOPMOST", 0x00000008},
      {"WS_EX_ACCEPTFILES", 0x00000010}, {"WS_EX_TRANSPARENT", 0x00000020}, {"WS_EX_TOOLWINDOW", 0x00000080},
      {"WS_EX_WINDOWEDGE", 0x00000100}, {"WS_EX_CLIENTEDGE", 0x00000200}, {"WS_EX_CONTEXTHELP", 0x00000400},
      {"WS_EX_CONTROLPARENT", 0x00010000}, {"WS_EX_STATICEDGE", 0x00020000}, {"WS_EX_APPWINDOW", 0x00040000},
      // Dialog styles.
      {"DS_ABSALIGN", 0x0001}, {"DS_SYSMODAL", 0x0002}, {"DS_3DLOOK", 0x0004}, {"DS_FIXEDSYS", 0x0008},
      {"DS_NOFAILCREATE", 0x0010}, {"DS_LOCALEDIT", 0x0020}, {"DS_SETFONT", 0x0040}, {"DS_MODALFRAME", 0x0080},
      {"DS_NOIDLEMSG", 0x0100}, {"DS_SETFOREGROUND", 0x0200}, {"DS_CONTROL", 0x0400}, {"DS_CENTER", 0x0800},
      {"DS_CENTERMOUSE", 0x1000}, {"DS_CONTEXTHELP", 0x2000}, {"DS_SHELLFONT", 0x0048},
      // Static control styles.
      {"SS_LEFT", 0x00}, {"SS_CENTER", 0x01}, {"SS_RIGHT", 0x02}, {"SS_ICON", 0x03}, {"SS_BLACKRECT", 0x04},
      {"SS_GRAYRECT", 0x05}, {"SS_WHITERECT", 0x06}, {"SS_BLACKFRAME", 0x07}, {"SS_GRAYFRAME", 0x08},
      {"SS_WHITEFRAME", 0x09}, {"SS_SIMPLE", 0x0B}, {"SS_LEFTNOWORDWRAP", 0x0C}, {"SS_BITMAP", 0x0E},
      {"SS_ETCHEDHORZ", 0x10}, {"SS_ETCHEDVERT", 0x11}, {"SS_ETCHEDFRAME", 0x12}, {"SS_NOPREFIX", 0x80},
      {"SS_NOTIFY", 0x100}, {"SS_CENTERIMAGE", 0x200}, {"SS_SUNKEN", 0x1000},
      // Button styles.
      {"BS_PUSHBUTTON", 0x00}, {"BS_DEFPUSHBUTTON", 0x01}, {"BS_CHECKBOX", 0x02}, {"BS_AUTOCHECKBOX", 0x03},
      {"BS_RADIOBUTTON", 0x04}, {"BS_3STATE", 0x05}, {"BS_AUTO3STATE", 0x06}, {"BS_GROUPBOX", 0x07},
      {"BS_USERBUTTON", 0x08}, {"BS_AUTORADIOBUTTON", 0x09}, {"BS_PUSHBOX", 0x0A}, {"BS_OWNERDRAW", 0x0B},
      {"BS_LEFTTEXT", 0x20}, {"BS_ICON", 0x40}, {"BS_BITMAP", 0x80}, {"BS_LEFT", 0x100}, {"BS_RIGHT", 0x200},
      {"BS_CENTER", 0x300}, {"BS_TOP", 0x400}, {"BS_BOTTOM", 0x800}, {"BS_VCENTER", 0xC00},
      {"BS_MULTILINE", 0x2000}, {"BS_NOTIFY", 0x4000}, {"BS_FLAT", 0x8000},
      // Edit control styles.
      {"ES_LEFT", 0x0000}, {"ES_CENTER", 0x0001}, {"ES_RIGHT", 0x0002}, {"ES_MULTILINE", 0x0004},
      {"ES_UPPERCASE", 0x0008}, {"ES_LOWERCASE", 0x0010}, {"ES_PASSWORD", 0x0020}, {"ES_AUTOVSCROLL", 0x0040},
      {"ES_AUTOHSCROLL", 0x0080}, {"ES_NOHIDESEL", 0x0100}, {"ES_OEMCONVERT", 0x0400}, {"ES_READONLY", 0x0800},
      {"ES_WANTRETURN", 0x1000}, {"ES_NUMBER", 0x2000},
      // Dialog result ids, and the id editors give to controls nobody addresses.
      {"IDOK", 1}, {"IDCANCEL", 2}, {"IDABORT", 3}, {"IDRETRY", 4}, {"IDIGNORE", 5}, {"IDYES", 6}, {"IDNO", 7},
      {"IDCLOSE", 8}, {"IDHELP", 9}, {"IDC_STATIC", 0xFFFFFFFF},
      // Version blocks.
      {"VS_FF_DEBUG", 0x01}, {"VS_FF_PRERELEASE", 0x02}, {"VS_FF_PATCHED", 0x04}, {"VS_FF_PRIVATEBUILD", 0x08},
      {"VS_FF_INFOINFERRED", 0x10}, {"VS_FF_SPECIALBUILD", 0x20}, {"VS_FFI_FILEFLAGSMASK", 0x3F},
      {"VOS_UNKNOWN", 0x00000000}, {"VOS__WINDOWS32", 0x00000004}, {"VOS_NT", 0x00040000},
      {"VOS_NT_WINDOWS32", 0x00040004}, {"VFT_UNKNOWN", 0}, {"VFT_APP", 1}, {"VFT_DLL", 2}, {"VFT2_UNKNOWN", 0},
  };
  auto found = kConstants.find(name);
  if (found == kConstants.end()) return std::nullopt;
  return found->second;
}

}  // namespace qzrc
