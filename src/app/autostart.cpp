// The text of the start-with-Windows Run value.
#include "app/autostart.h"

#include "base/wtext.h"
#include "ui/ids.h"

const wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {
// The quotes keep a path with blanks one argument; the switch keeps the
// settings window closed on automatic starts.
const wchar_t kRunValueFormat[] = L"\"%ls\" " ZAVIK_TRAY_SWITCH;
// Registry strings are UTF-16 whatever wchar_t is on the building machine.
const uint32_t kRegistryCharBytes = 2;
}  // namespace

void FormatRunValue(const wchar_t* programPath, wchar_t* buf, size_t count) {
    FormatW(buf, count, kRunValueFormat, programPath);
}

uint32_t RunValueByteLength(const wchar_t* value) {
    return (uint32_t)(LengthW(value, kRunValueChars) + 1) * kRegistryCharBytes;
}
