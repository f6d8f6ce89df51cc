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
// The text buffer GetPrivateProfileIntW reads a value through: longer digit
// runs are cut to one less than this before they are parsed.
enum { kProfileIntTextChars = 30 };

// GetPrivateProfileIntW: the leading decimal integer of the value, or def when absent.
int ProfileGetInt(const wchar_t* section, const wchar_t* key, int def, const wchar_t* file);
// WritePrivateProfileStringW: key and value; key == null deletes the section;
// section, key and value all null flushes the file. Returns success.
bool ProfileWriteString(const wchar_t* section, const wchar_t* key, const wchar_t* value,
                        const wchar_t* file);
// GetPrivateProfileSectionNamesW: names separated by NUL, ended by an empty name.
// A list too long for buf is cut: the names that fit, the last perhaps cut
// short, two NULs, and size - 2 returned.
unsigned ProfileGetSectionNames(wchar_t* buf, unsigned size, const wchar_t* file);
// GetPrivateProfileSectionW: the lines of the first section of that name, each
// ended by a NUL, the list by another: "key=value" with the value as the file
// holds it (quotes and all), a line without '=' as it stands; comments are
// left out. A list too long for buf is cut, ending in two NULs, and size - 2
// returned.
unsigned ProfileGetSection(const wchar_t* section, wchar_t* buf, unsigned size,
                           const wchar_t* file);
// WritePrivateProfileSectionW: entries ("key=value", each ended by a NUL, the
// list by another) replace every key of the section, which keeps its place;
// a missing section is added at the end of the file. Entries without '=' are
// left out. One rewrite of the file, where each WriteString is one more.
bool ProfileWriteSection(const wchar_t* section, const wchar_t* entries, const wchar_t* file);

// True when the file's attributes can be read (it exists).
bool ProfileFileExists(const wchar_t* path);
// Creates a missing file holding only the UTF-16LE byte-order mark; an existing
// file is left alone and failures are silent.
void CreateUtf16File(const wchar_t* path);

// Whole-file changes. A change copies the file beside itself, applies the
// private-profile writes to the copy and then swaps the copy in, so that a
// process killed at any moment leaves either the old or the new whole file.
//
// Antivirus scanners, indexers and backup clients open a just-written file
// for a moment; Windows then refuses to read it exclusively or to rename over
// it (access denied, sharing or lock violation). The copy and the swap wait
// for such a program, up to patienceMs in all, in waits growing from 10 ms;
// with 0 they try once. Anything else fails at once.
enum {
    kProfileTryOnce = 0,
    kProfileSavePatienceMs = 1000,  // outlasts a scan of half a second with room to spare
};
//
// Makes copy a new file (created or truncated, normal attributes) holding the
// bytes of file; a missing or empty file gives a copy holding only the UTF-16LE
// byte-order mark. False when file exists but cannot be read (held by another
// program without sharing, say) or copy cannot be written; a half-made copy is
// removed again.
// *waitedMs, when given, receives how much of the patience the copy spent.
bool ProfileCopyForChange(const wchar_t* file, const wchar_t* copy, unsigned patienceMs,
                          unsigned* waitedMs = nullptr);
// Puts copy in the place of file in one atomic step, after its bytes have
// reached the disk; copy is gone afterwards. False when the swap cannot be
// made (file read-only, held open beyond the patience, folder read-only):
// file is then as it was and copy stays for the caller to remove.
bool ProfileReplaceFile(const wchar_t* copy, const wchar_t* file, unsigned patienceMs);
// Removes a file; a file that does not exist counts as removed.
bool ProfileRemoveFile(const wchar_t* path);
// Whether a changed copy could take file's place, asked before the copy is
// made: the user's read-only mark, or access to the file denied beyond the
// patience, refuses every change, however often it is tried. A missing file,
// and one that another program holds open, count as replaceable: the copy and
// the swap wait for such a program themselves.
// *waitedMs, when given, receives how much of the patience the check spent.
enum ProfileReplaceable { kProfileReplaceable, kProfileReadOnly, kProfileAccessDenied };
ProfileReplaceable ProfileCheckReplaceable(const wchar_t* file, unsigned patienceMs,
                                           unsigned* waitedMs = nullptr);

// Whether a file can be opened for reading, waiting up to patienceMs for a
// program that holds it without sharing. The private-profile reads answer a
// file they cannot open with every default, exactly as for a missing one.
// With hold given, a readable file stays open for reading (sharing reading and
// writing, never exclusive access) until ProfileRelease, so that no program can
// take it exclusively while the private-profile reads go through it.
struct ProfileHold {
    bool held;
    long long handle;  // the Windows handle or the host's descriptor
};
enum ProfileReadable { kProfileMissing, kProfileReadable, kProfileUnreadable };
// *waitedMs, when given, receives how much of the patience the check spent.
ProfileReadable ProfileCheckReadable(const wchar_t* path, unsigned patienceMs,
                                     ProfileHold* hold = nullptr, unsigned* waitedMs = nullptr);
void ProfileRelease(ProfileHold* hold);

// Plain files, for the folder of images beside the settings files.
//
// The separator between a folder and a name in the paths this contract takes.
extern const wchar_t kProfilePathSeparator;
// Makes a folder; true when it exists afterwards, made now or before.
bool ProfileCreateFolder(const wchar_t* path);
// Reads a whole file of at most maxBytes into *bytes (from malloc, size *size;
// the caller frees it). A larger file is refused before it is read, and
// nothing is handed out unless the result is kProfileFileRead. The file is
// opened sharing reading, writing and deletion: an editor or a scanner that
// has it open does not stop the read.
enum ProfileFileRead { kProfileFileRead, kProfileFileTooBig, kProfileFileUnread };
ProfileFileRead ProfileReadFile(const wchar_t* path, size_t maxBytes, unsigned char** bytes,
                                size_t* size);
// Makes a new file holding bytes, on the disk when it returns. False when a
// file of that name exists (it is never touched) or the write fails; a file
// half made is removed again.
bool ProfileWriteNewFile(const wchar_t* path, const unsigned char* bytes, size_t size);
// Whether the file's last write lies more than seconds in the past; false
// for a file that cannot be looked at.
bool ProfileFileOlderThan(const wchar_t* path, unsigned seconds);
// Gives a file a new name in one step. False, with nothing changed, when a
// file of the new name exists already.
bool ProfileRenameToNew(const wchar_t* path, const wchar_t* newPath);
