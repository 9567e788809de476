// MSXML 6 for builds against mingw-w64's headers, which have no msxml6.h:
// the build makes msxml6_idl.h from Wine's msxml6.idl with widl
// (QzMingwHeaders.cmake). mingw-w64's own msxml.h leads here too.
#pragma once

// msxml6.idl declares ISAXXMLFilter before its base ISAXXMLReader, which C++
// refuses; nothing here uses SAX filters, so that interface is left out.
#ifndef __ISAXXMLFilter_INTERFACE_DEFINED__
#define __ISAXXMLFilter_INTERFACE_DEFINED__
#endif

#include <msxml6_idl.h>
