// MSXML 6 for builds against mingw-w64's headers, which have no msxml6.h:
// the build makes msxml6_idl.h from Wine's msxml6.idl with widl, and this
// header includes it past two snags, in this one place.
#pragma once

// mingw-w64's objbase.h brings in its old msxml.h (through urlmon.h), which
// declares DOMNodeType and the MSXML 2 DOM interfaces already. The interfaces
// carry include guards that the generated header honours; the enumeration
// has only this guard.
#include <windows.h>
#include <ole2.h>
#if defined(__msxml_h__) && !defined(__MSXML_DOMNODETYPE_DEFINED)
#define __MSXML_DOMNODETYPE_DEFINED
#endif

// msxml6.idl declares ISAXXMLFilter before its base ISAXXMLReader, which C++
// refuses; nothing here uses SAX filters, so that interface is left out.
#ifndef __ISAXXMLFilter_INTERFACE_DEFINED__
#define __ISAXXMLFilter_INTERFACE_DEFINED__
#endif

#include <msxml6_idl.h>
