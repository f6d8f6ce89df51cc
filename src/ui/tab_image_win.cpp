// The " Imagem " tab: an image file worn as the crosshair, chosen in the Open
// dialog or dropped on the window, its scale and what it looks like on screen,
// and the way back to the drawn crosshair.
#include "ui/settings_win.h"

#include <commdlg.h>
#include <wchar.h>

#include "base/wtext.h"
#include "overlay/worn_image.h"
#include "storage/images.h"

namespace {

const wchar_t kNoImageText[] = L"Nenhuma imagem: a mira é desenhada.";
const wchar_t kWornFormat[] = L"%ls — %d × %d pixels, %d × %d na tela";
const wchar_t kMissingFormat[] =
    L"Imagem não encontrada: %ls. A mira desenhada aparece no lugar.";
const wchar_t kNoteText[] =
    L"PNG, BMP, GIF ou ICO, até 256 × 256 pixels. A imagem aparece no tamanho original numa "
    L"tela de 1080 linhas e cresce em passos inteiros para continuar nítida. Também dá para "
    L"arrastar o arquivo para esta janela.";
const wchar_t kDialogTitle[] = L"Escolher imagem da mira";
// Text and pattern pairs; the literal's own terminator ends the list.
const wchar_t kDialogFilter[] =
    L"Imagens (*.png;*.bmp;*.gif;*.ico)\0*.png;*.bmp;*.gif;*.ico\0"
    L"Todos os arquivos (*.*)\0*.*\0";
const DWORD kDialogFlags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                           OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_DONTADDTORECENT;
enum { kFirstFilter = 1, kFirstDroppedFile = 0 };
// The message a drag from Explorer carries its data in before WM_DROPFILES.
const UINT kWmCopyGlobalData = 0x0049;
// What a drop sends: a copy run as administrator lets them through from
// Explorer, which runs with fewer privileges.
const UINT kDropMessages[] = {WM_DROPFILES, WM_COPYDATA, kWmCopyGlobalData};

// What the player is told of a file that is not taken; nothing changes then.
struct RefusalRow {
    ImageChoice choice;
    const wchar_t* text;
};
const RefusalRow kRefusals[] = {
    {kImageChoiceTooBig, L"Essa imagem é grande demais: o limite é 256 × 256 pixels."},
    {kImageChoiceUnreadable,
     L"Não consegui abrir essa imagem. Use um arquivo PNG, BMP, GIF ou ICO."},
    {kImageChoiceNotStored, L"Não consegui guardar a imagem na pasta das configurações."},
};

// The status line holds a whole stored name and the words around it.
enum { kStatusChars = kImageNameChars + 96 };

const ControlRow kImageTab[] = {
    {L"STATIC", L"IMAGEM COMO MIRA", 0, 24, 134, 368, 18, kIdHeading},
    // Three lines: a long file name wraps.
    {L"STATIC", kNoImageText, 0, 24, 156, 368, 48, kIdImageStatus},
    {L"BUTTON", L"Escolher imagem...", WS_TABSTOP, 24, 210, 150, 28, kIdChooseImage},
    {L"BUTTON", L"Usar a mira desenhada", WS_TABSTOP, 180, 210, 170, 28, kIdUseDrawn},
    // The slider row "Escala" lies between, at the place kSliderRows gives it.
    {L"STATIC", kNoteText, 0, 24, 286, 368, 64, kIdNoteImage},
};

typedef BOOL(WINAPI* OpenFileFn)(OPENFILENAMEW*);
typedef DWORD(WINAPI* DialogErrorFn)();

void ShowRefusal(ImageChoice choice) {
    for (const RefusalRow& row : kRefusals)
        if (row.choice == choice) SettingsMessageBox(row.text, MB_OK | MB_ICONWARNING);
}

// A file the player chose is read, kept in the image folder and worn at once.
void TakeImageFile(const wchar_t* path) {
    wchar_t name[kImageNameChars];
    CrosshairImage image = {};
    // A path beyond the classic limit opens only in its long form.
    wchar_t opened[kLongPathChars];
    ImageChoice choice = kImageChoiceUnreadable;
    if (LongPathForm(path, opened)) choice = ChooseImageFile(opened, g_paths.folder, name, &image);
    if (choice != kImageChosen) {
        ShowRefusal(choice);
        return;
    }
    AdoptChosenImage(name, &image);
    CrosshairSettings next = g_crosshair;
    // A first image starts at its own size; another keeps the scale the player set.
    if (!CrosshairUsesImage(next)) next.imageScale = kImageScaleDefault;
    SetCrosshairImage(&next, name);
    ChangeCrosshair(next, kCrosshairImageSet);
}

void FormatImageStatus(wchar_t* text) {
    if (!CrosshairUsesImage(g_crosshair)) {
        CopyW(text, kStatusChars, kNoImageText);
        return;
    }
    const CrosshairImage* image = CurrentWornImage();
    if (!image) {
        FormatW(text, kStatusChars, kMissingFormat, g_crosshair.image);
        return;
    }
    ImageDrawSize drawn = MeasureImage(image->width, image->height, CrosshairTargetHeight(),
                                       g_crosshair.imageScale);
    FormatW(text, kStatusChars, kWornFormat, g_crosshair.image, (int)image->width,
            (int)image->height, (int)drawn.width, (int)drawn.height);
}

}  // namespace

void CreateImageTab(HWND window) {
    CreateControlRows(window, kImageTab, sizeof(kImageTab) / sizeof(kImageTab[0]));
    CreateSliderRows(window, kTagImage);
    DragAcceptFiles(window, TRUE);
    for (UINT message : kDropMessages)
        ChangeWindowMessageFilterEx(window, message, MSGFLT_ALLOW, nullptr);
}

void ShowImageStatus() {
    HWND status = SettingsControl(kIdImageStatus);
    if (!status) return;
    EnableControl(kIdUseDrawn, CrosshairUsesImage(g_crosshair));
    wchar_t text[kStatusChars], shown[kStatusChars];
    FormatImageStatus(text);
    // A drag of the scale asks on every step; the line is drawn again only when it changes.
    GetWindowTextW(status, shown, kStatusChars);
    if (wcscmp(text, shown) != 0) SetWindowTextW(status, text);
}

void ChooseImageByDialog() {
    OpenFileFn openFile = (OpenFileFn)CommonDialogFunction("GetOpenFileNameW");
    DialogErrorFn dialogError = (DialogErrorFn)CommonDialogFunction("CommDlgExtendedError");
    if (!openFile) return;
    wchar_t path[kLongPathChars] = L"";
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = g_settingsWindow;
    dialog.lpstrFilter = kDialogFilter;
    dialog.nFilterIndex = kFirstFilter;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kLongPathChars;
    dialog.lpstrTitle = kDialogTitle;
    dialog.Flags = kDialogFlags;
    BOOL chosen = openFile(&dialog);
    // "Sair" while the dialog was open ends the run; the file is not taken then.
    if (g_app.quitting) return;
    if (chosen) {
        TakeImageFile(path);
    } else if (dialogError && dialogError() != 0) {
        // Not a cancel: the dialog itself failed, and the player is told.
        ShowRefusal(kImageChoiceUnreadable);
    }
}

void TakeDroppedFiles(HDROP drop) {
    wchar_t path[kLongPathChars];
    UINT length = DragQueryFileW(drop, kFirstDroppedFile, nullptr, 0);
    bool read = length > 0 && length < (UINT)kLongPathChars &&
                DragQueryFileW(drop, kFirstDroppedFile, path, kLongPathChars) == length;
    DragFinish(drop);
    if (read) {
        TakeImageFile(path);
    } else {
        ShowRefusal(kImageChoiceUnreadable);
    }
}

void UseDrawnCrosshair() {
    if (!CrosshairUsesImage(g_crosshair)) return;
    CrosshairSettings next = g_crosshair;
    SetCrosshairImage(&next, nullptr);
    ChangeCrosshair(next, kCrosshairImageSet);
}
