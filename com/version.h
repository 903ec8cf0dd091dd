// The version of the in-process server: of its type library (quillary3.idl) and of the
// DLL's version resource (quillary3.rc), and what registration writes. Hosts that
// reference the type library bind to its major and minor version.
#pragma once

#define QUILLARY_VERSION_MAJOR 1
#define QUILLARY_VERSION_MINOR 0

// 1.0 as one token (the IDL's version attribute) and as text.
#define QUILLARY_VERSION_DOTTED_(major, minor) major##.##minor
#define QUILLARY_VERSION_DOTTED(major, minor) QUILLARY_VERSION_DOTTED_(major, minor)
#define QUILLARY_VERSION QUILLARY_VERSION_DOTTED(QUILLARY_VERSION_MAJOR, QUILLARY_VERSION_MINOR)
#define QUILLARY_TEXT_(x) #x
#define QUILLARY_TEXT(x) QUILLARY_TEXT_(x)
#define QUILLARY_VERSION_TEXT QUILLARY_TEXT(QUILLARY_VERSION)

// The library's help string: its name in a host's list of references.
#define QUILLARY_LIBRARY_DESCRIPTION "Quillary3 list processing"

// The version as a wide string.
#define QUILLARY_WIDE_(x) L##x
#define QUILLARY_WIDE(x) QUILLARY_WIDE_(x)
#define QUILLARY_VERSION_WTEXT QUILLARY_WIDE(QUILLARY_VERSION_TEXT)
