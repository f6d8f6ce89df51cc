// The Run-key value that starts the program with Windows, straight into the
// tray: its name, where it lives and the text and byte length it holds.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum {
    kModulePathChars = 260,
    kRunValueChars = 276,  // a 260-character path, two quotes and " --bandeja"
};

extern const wchar_t kRunKeyPath[];  // Software\Microsoft\Windows\CurrentVersion\Run under HKCU

// "\"<path>\" --bandeja", cut to fit count (at most kRunValueChars).
void FormatRunValue(const wchar_t* programPath, wchar_t* buf, size_t count);
// REG_SZ size in bytes: the characters and the terminator, two bytes each.
uint32_t RunValueByteLength(const wchar_t* value);
