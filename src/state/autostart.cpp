// The text of the start-with-Windows Run value and the reading of Windows'
// own switch record of it.
#include "state/autostart.h"

#include "state/identity.h"
#include "base/wtext.h"

const wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kStartupApprovedKeyPath[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

namespace {
// The quotes keep a path with blanks one argument; the switch keeps the
// settings window closed on automatic starts.
const wchar_t kRunValueFormat[] = L"\"%ls\" " ZAVIK_TRAY_SWITCH;
// Registry strings are UTF-16 whatever wchar_t is on the building machine.
const uint32_t kRegistryCharBytes = 2;
// The first byte of the switch record: 02 on, 03 off; only the lowest bit decides.
const uint8_t kStartupSwitchedOn = 0x02;
const uint8_t kStartupOffBit = 0x01;
}  // namespace

const uint8_t kStartupOnRecord[kStartupRecordBytes] = {kStartupSwitchedOn};

void FormatRunValue(const wchar_t* programPath, wchar_t* buf, size_t count) {
    FormatW(buf, count, kRunValueFormat, programPath);
}

uint32_t RunValueByteLength(const wchar_t* value) {
    return (uint32_t)(LengthW(value, kRunValueChars) + 1) * kRegistryCharBytes;
}

bool StartupRecordSaysOff(const uint8_t* record, uint32_t byteCount) {
    return byteCount > 0 && (record[0] & kStartupOffBit) != 0;
}
