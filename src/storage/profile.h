// The private-profile (INI) calls the program uses, as one contract with two
// implementations: kernel32 in the Windows program (profile_win.cpp) and our
// own UTF-16 implementation on the host (profile_host.cpp) for the tool and
// the unit tests. One conformance suite runs against both.
#pragma once
#include <stddef.h>
#include <wchar.h>

// GetPrivateProfileStringW: copies the value (or def when the key is absent) into
// buf (size elements, always terminated). Returns the characters copied.
unsigned ProfileGetString(const wchar_t* section, const wchar_t* key, const wchar_t* def,
                          wchar_t* buf, unsigned size, const wchar_t* file);
// GetPrivateProfileIntW: the leading decimal integer of the value, or def when absent.
int ProfileGetInt(const wchar_t* section, const wchar_t* key, int def, const wchar_t* file);
// WritePrivateProfileStringW: key and value; key == null deletes the section;
// section, key and value all null flushes the file. Returns success.
bool ProfileWriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                        const wchar_t* file);
// GetPrivateProfileSectionNamesW: names separated by NUL, ended by an empty name.
unsigned ProfileGetSectionNames(wchar_t* buf, unsigned size, const wchar_t* file);

// True when the file's attributes can be read (it exists).
bool ProfileFileExists(const wchar_t* path);
// Creates a missing file holding only the UTF-16LE byte-order mark; an existing
// file is left alone and failures are silent.
void CreateUtf16File(const wchar_t* path);
