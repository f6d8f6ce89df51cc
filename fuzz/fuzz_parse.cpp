// Fuzzes the code reader (share codes, VALORANT codes and commands) with
// arbitrary text, and checks what must always hold: the offsets never move, a
// count of 0 changes nothing, a text read as a damaged code counts 0, and
// whatever the reader stored exports to a line that reads back with 12 commands.
#include <stdlib.h>
#include <string.h>

#include "codes/codes.h"
#include "codes/sharecode.h"
#include "fuzz_input.h"

namespace {
// Unlike any built-in, so that an unwanted change shows.
const CrosshairSettings kStart = {7.25f, -2.75f, 1.5f, 3, 1.5f, 0, -1, 10, 20, 30, 40, 11, -12};
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::wstring text = FuzzWideText(data, size);
    CrosshairSettings c = kStart;
    bool unreadable = false;
    int count = ParseCrosshairCode(text.c_str(), &c, &unreadable);
    if (count < 0 || count > kShareCodeCommands + kCodeMaxTokens / 2) abort();
    if (unreadable && count != 0) abort();
    if (c.offsetX != kStart.offsetX || c.offsetY != kStart.offsetY) abort();
    if (count == 0 && memcmp(&c, &kStart, sizeof c) != 0) abort();

    wchar_t line[kCodeLineChars];
    int length = FormatCrosshairCode(c, line, kCodeLineChars);
    if (length <= 0 || length >= kCodeLineChars - 1 || line[length - 1] != L'"') abort();
    CrosshairSettings back = kStart;
    if (ParseCrosshairCode(line, &back) != 12) abort();
    if (back.red != c.red || back.green != c.green || back.blue != c.blue ||
        back.alpha != c.alpha || (back.dot != 0) != (c.dot != 0)) {
        abort();
    }
    return 0;
}
