// Ids of the resources in compiled.rc.
#ifndef COMPILED_IDS_H
#define COMPILED_IDS_H

#define IDD_ERROR 210
#define IDD_BROWSER 102
#define IDD_EXTENDED 300
#define IDC_URN 203
#define IDC_FILENAME 204
#define IDC_BROWSER (IDD_BROWSER + 1000)
#define IDR_CONDITIONAL 400
#define IDR_INLINE 401
#define IDS_NAME 100

#endif
