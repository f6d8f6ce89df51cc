// The server label's text and where it is cut to fit the label.
#include "ui/server_label.h"

#include "base/wtext.h"

namespace {
const wchar_t kServerLabelFormat[] = L"Servidor: %ls";
}  // namespace

void FormatServerLabel(const wchar_t* name, wchar_t* text, size_t textChars) {
    text[0] = 0;
    if (name && name[0]) FormatW(text, textChars, kServerLabelFormat, name);
}

int ServerLabelCut(const wchar_t* text, const int* extents, int count, int ellipsisWidth,
                   int width) {
    if (count <= 0 || extents[count - 1] <= width) return count;
    int kept = count - 1;
    while (kept > 0 && extents[kept - 1] + ellipsisWidth > width) --kept;
    // The second half of a pair cannot stand without the first.
    if (kept > 0 && IsLowSurrogateW(text[kept])) --kept;
    while (kept > 0 && text[kept - 1] == L' ') --kept;
    return kept;
}
