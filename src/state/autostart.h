// The Run-key value that starts the program with Windows, straight into the
// tray: its name, where it lives and the text and byte length it holds; and
// the record in which Windows keeps its own on/off switch of that value.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum {
    kModulePathChars = 260,
    kRunValueChars = 276,  // a 260-character path, two quotes and " --bandeja"
    kStartupRecordBytes = 12,  // the switch byte and eleven bytes of time stamp
};

extern const wchar_t kRunKeyPath[];  // Software\Microsoft\Windows\CurrentVersion\Run under HKCU
// ...\CurrentVersion\Explorer\StartupApproved\Run under HKCU: Task Manager's
// switches of the Run values, each a REG_BINARY value of the same name.
extern const wchar_t kStartupApprovedKeyPath[];
// The record Task Manager writes when the user switches an entry on: 02, then
// a time stamp of zeros.
extern const uint8_t kStartupOnRecord[kStartupRecordBytes];

// "\"<path>\" --bandeja", cut to fit count (at most kRunValueChars).
void FormatRunValue(const wchar_t* programPath, wchar_t* buf, size_t count);
// REG_SZ size in bytes: the characters and the terminator, two bytes each.
uint32_t RunValueByteLength(const wchar_t* value);
// True when Windows' record switches the entry off: the lowest bit of its
// first byte is set. An empty record switches nothing off.
bool StartupRecordSaysOff(const uint8_t* record, uint32_t byteCount);
