// Start with Windows: the one value under the current user's Run key.
#include "app/app_win.h"

#include "app/autostart.h"

void SetStartWithWindows(bool on) {
    HKEY key;
    // Opened, never created: the Run key belongs to the system.
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (on) {
        wchar_t path[kModulePathChars];
        wchar_t value[kRunValueChars];
        DWORD length = GetModuleFileNameW(NULL, path, kModulePathChars);
        path[length < kModulePathChars ? length : kModulePathChars - 1] = 0;
        FormatRunValue(path, value, kRunValueChars);
        RegSetValueExW(key, ZAVIK_RUN_VALUE, 0, REG_SZ, (const BYTE*)value,
                       RunValueByteLength(value));
    } else {
        RegDeleteValueW(key, ZAVIK_RUN_VALUE);  // a missing value is no error
    }
    RegCloseKey(key);
}

void CheckStartWithWindowsAtStartup() {
    g_options.startWithWindows = 0;
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    bool exists = RegQueryValueExW(key, ZAVIK_RUN_VALUE, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(key);
    g_options.startWithWindows = exists ? 1 : 0;
    // Rewritten so the value follows the program file if it was moved.
    if (exists) SetStartWithWindows(true);
}
