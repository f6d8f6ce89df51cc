// The clipboard half of the crosshair code: the line goes out as CF_UNICODETEXT.
#include "codes/clipboard_win.h"

#include <string.h>

#include "app/app_win.h"
#include "base/wtext.h"
#include "codes/codes.h"
#include "codes/sharecode.h"

namespace {

const wchar_t kCopiedText[] =
    L"Código da mira copiado! Dá pra mandar para um amigo colar em \"Importar mira fixa\".";
const wchar_t kShareCodeCopiedText[] =
    L"Código de compartilhamento copiado! Dá pra colar na importação de mira do jogo ou "
    L"mandar para um amigo colar em \"Importar mira fixa\".";
const wchar_t kMessageTitle[] = L"Zavik Crosshair";

// Hands a copy of line to the open clipboard. Once SetClipboardData accepts
// the block the clipboard owns it; only a refused block is ours to free.
void PutTextOnClipboard(const wchar_t* line, int length) {
    size_t bytes = ((size_t)length + 1) * sizeof(WCHAR);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) return;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return;
    }
    memcpy(target, line, bytes);
    GlobalUnlock(block);
    if (!SetClipboardData(CF_UNICODETEXT, block)) GlobalFree(block);
}

// Another program holding the clipboard is not worth a message: the user
// simply presses the button again.
void CopyAndConfirm(const wchar_t* line, int length, const wchar_t* confirmation) {
    if (!OpenClipboard(g_app.settingsWindow)) return;
    EmptyClipboard();
    PutTextOnClipboard(line, length);
    CloseClipboard();
    MessageBoxW(g_app.settingsWindow, confirmation, kMessageTitle, MB_OK | MB_ICONINFORMATION);
}

}  // namespace

void ExportCrosshairCode() {
    wchar_t line[kCodeLineChars];
    int length = FormatCrosshairCode(g_crosshair, line, kCodeLineChars);
    CopyAndConfirm(line, length, kCopiedText);
}

void ExportShareCode(int32_t screenHeight) {
    wchar_t code[kShareCodeChars];
    int length = FormatShareCode(g_crosshair, screenHeight, code, kShareCodeChars);
    CopyAndConfirm(code, length, kShareCodeCopiedText);
}
