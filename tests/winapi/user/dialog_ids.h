#pragma once

#define IDD_ENTRY 210
#define IDD_CHOICE 211
#define IDD_UNKNOWN_CLASS 212
#define IDC_URN 203
#define IDC_FILENAME 204
#define IDC_NAME 301
#define IDC_LATER 302
#define IDC_NOW 303
