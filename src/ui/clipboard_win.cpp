// The clipboard half of the crosshair code: the line goes out as CF_UNICODETEXT.
#include "ui/clipboard_win.h"

#include <string.h>

#include "ui/settings_win.h"
#include "base/wtext.h"
#include "codes/codes.h"
#include "codes/sharecode.h"
#include "ui/settings_win.h"

namespace {

const wchar_t kCopiedText[] =
    L"Código da mira copiado! Dá pra mandar para um amigo colar em \"Importar mira fixa\".";
const wchar_t kShareCodeCopiedText[] =
    L"Código de compartilhamento copiado! Dá pra colar na importação de mira do jogo ou "
    L"mandar para um amigo colar em \"Importar mira fixa\".";
const wchar_t kImageHasNoCodeText[] =
    L"Uma mira de imagem não vira código. Use a mira desenhada para copiar um código.";
const wchar_t kCopyFailedText[] =
    L"Não consegui copiar: outro programa está usando a área de transferência. Tente de novo.";

// Clipboard history, clipboard managers and remote desktop open the clipboard
// for a moment after every change; a copy tries again on a timer for this
// long, so the window keeps answering meanwhile.
const DWORD kCopyPatienceMs = 250;
const UINT kCopyRetryMs = 25;

// The one copy under way: its text, the box that confirms it and when it began.
struct PendingCopy {
    wchar_t text[kCodeLineChars];
    int length;
    const wchar_t* confirmation;
    DWORD since;
    bool waiting;
};
PendingCopy g_copy;

enum CopyResult { kCopied, kClipboardBusy, kCopyFailed };

// The text in a block of its own, made before the clipboard is emptied so
// that a failure here leaves the old content in place.
HGLOBAL MakeTextBlock(const wchar_t* text, int length) {
    size_t bytes = ((size_t)length + 1) * sizeof(WCHAR);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!block) return NULL;
    void* target = GlobalLock(block);
    if (!target) {
        GlobalFree(block);
        return NULL;
    }
    memcpy(target, text, bytes);
    GlobalUnlock(block);
    return block;
}

// Once SetClipboardData accepts the block the clipboard owns it; only a
// refused block is ours to free.
CopyResult TryCopy() {
    HGLOBAL block = MakeTextBlock(g_copy.text, g_copy.length);
    if (!block) return kCopyFailed;
    if (!OpenClipboard(g_settingsWindow)) {
        GlobalFree(block);
        return kClipboardBusy;
    }
    bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block) != NULL;
    CloseClipboard();
    if (!placed) GlobalFree(block);
    return placed ? kCopied : kCopyFailed;
}

// The success box only for text that reached the clipboard; a warning otherwise.
void FinishCopy(bool copied) {
    g_copy.waiting = false;
    KillTimer(g_app.messageWindow, kClipboardRetryTimerId);
    if (copied) {
        SettingsMessageBox(g_copy.confirmation, MB_OK | MB_ICONINFORMATION);
    } else {
        SettingsMessageBox(kCopyFailedText, MB_OK | MB_ICONWARNING);
    }
}

void AttemptCopy() {
    CopyResult result = TryCopy();
    if (result == kClipboardBusy && GetTickCount() - g_copy.since < kCopyPatienceMs) {
        SetTimer(g_app.messageWindow, kClipboardRetryTimerId, kCopyRetryMs, NULL);
        return;
    }
    FinishCopy(result == kCopied);
}

void StartCopy(const wchar_t* text, const wchar_t* confirmation) {
    g_copy.length = (int)CopyW(g_copy.text, kCodeLineChars, text);
    g_copy.confirmation = confirmation;
    g_copy.since = GetTickCount();
    g_copy.waiting = true;
    AttemptCopy();
}

// A code describes only a drawn crosshair: while an image is worn nothing is
// copied, and the player is told why rather than handed another crosshair.
bool RefusedForImage() {
    if (!CrosshairUsesImage(g_crosshair)) return false;
    SettingsMessageBox(kImageHasNoCodeText, MB_OK | MB_ICONINFORMATION);
    return true;
}

}  // namespace

void ExportCrosshairCode() {
    if (RefusedForImage()) return;
    wchar_t line[kCodeLineChars];
    FormatCrosshairCode(g_crosshair, line, kCodeLineChars);
    StartCopy(line, kCopiedText);
}

void ExportShareCode(int32_t screenHeight) {
    if (RefusedForImage()) return;
    wchar_t code[kShareCodeChars];
    FormatShareCode(g_crosshair, screenHeight, code, kShareCodeChars);
    StartCopy(code, kShareCodeCopiedText);
}

void RetryPendingCopy() {
    // A window closed meanwhile leaves no one to tell; the copy is dropped.
    if (!g_copy.waiting || !g_settingsWindow) {
        g_copy.waiting = false;
        KillTimer(g_app.messageWindow, kClipboardRetryTimerId);
        return;
    }
    AttemptCopy();
}
