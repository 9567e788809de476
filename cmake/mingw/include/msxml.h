// The MSXML DOM for builds against mingw-w64's headers. mingw-w64's urlmon.h
// includes msxml.h, the DOM of MSXML 2, into every COM source; its
// interfaces lack __uuidof and its DOMNodeType clashes with MSXML 6's. Here
// msxml.h is MSXML 6's header, which declares all of them, once.
#pragma once

#include <msxml6.h>
