// Resource ids of the qzschemas module, shared by its resource script and
// its code.
#pragma once

// The module's own resources. The type library (TYPELIB 1), the manifest
// (2) and the version block (1) keep the fixed ids Windows looks for.
#define IDS_PROJNAME 100
#define IDR_QZXMLSCHEMASERVICE 101
#define IDD_XMLSCHEMAERROR 102
#define IDC_XMLSCHEMAERROR_BROWSER 1000

// Built-in documents, all of type RT_HTML.
#define IDR_BASIC_DATATYPES_SCHEMA 201
#define IDR_COMPONENTMANAGER_SCHEMA 202
#define IDR_SCHEMA_CACHE_HELP 207
#define IDR_DEFAULT_SCHEMA_CACHE 208
#define IDR_STANDARD_REPORT_SCHEMA 209
#define IDR_QZTEMPLATES_SCHEMA 211
#define IDR_QZTABLEAUTOFILL_SCHEMA 212

// The schema cache error dialog and the two controls that show the failed
// cache entry.
#define IDD_ERROR 210
#define IDC_URN 203
#define IDC_FILENAME 204
// Unnamed controls; the Windows resource compiler's headers may have it.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
