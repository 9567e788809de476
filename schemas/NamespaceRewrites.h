// The two in-place rewrites that LoadFile applies to a file's raw text
// before the parser sees it. Both work character by character on the bytes
// as read, ignore all markup and never change the length: what they remove
// becomes blanks.
//
// The first byte decides the width: "<" means 8-bit text, anything else
// (a byte-order mark, white space, an empty file) means little-endian 16-bit
// units. The text ends at its first zero character or at the end of the data
// (for 16-bit text, at the last whole pair of bytes).
#pragma once

#include <cstddef>

// Longest run, from "xmlns" through the closing quote, that
// StripSchemaDirectories rewrites.
constexpr size_t kMaxSchemaDeclarationRun = 300;

// Every xmlns="" becomes 8 blanks.
void ClearEmptyNamespaceDeclarations(unsigned char* data, size_t size);

// xmlns="x-schema:C:\dir\name.xml" becomes xmlns="x-schema:name.xml" and
// blanks: only the exact lower-case, double-quoted, unprefixed form, only
// with a backslash in it, and only runs of at most kMaxSchemaDeclarationRun
// characters.
void StripSchemaDirectories(unsigned char* data, size_t size);
