// Start with Windows: the one value under the current user's Run key, the
// switch Windows keeps for it under StartupApproved\Run, and the restart
// registration that stands in for it while it is off.
#include "state/process_win.h"

#include "state/autostart.h"
#include "state/change.h"

namespace {

// Room for a longer record than Windows writes; only its first byte is read.
enum { kStartupRecordReadBytes = 64 };

// Windows' restart of the programs that ran when the user signed out or the
// system restarted, and installers using Restart Manager, start the program
// again with this, straight into the tray. A crash or a hang is no such
// restart: the registration means the one thing the Run value also does.
const wchar_t kRestartArguments[] = ZAVIK_TRAY_SWITCH;
const DWORD kRestartFlags = RESTART_NO_CRASH | RESTART_NO_HANG;

// Writes or deletes the Run value; false when the Run key cannot be opened.
bool ChangeRunValue(bool on) {
    HKEY key;
    // Opened, never created: the Run key belongs to the system.
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
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
    return true;
}

bool RunValueExists() {
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    bool exists = RegQueryValueExW(key, ZAVIK_RUN_VALUE, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

// Whether the user switched the entry off in Task Manager or the Settings app.
// No key (Windows 7 and 8 have none), no record, or a record too long to read
// whole switches nothing off: the Run value alone then decides.
bool SwitchedOffByWindows() {
    BYTE record[kStartupRecordReadBytes];
    DWORD size = sizeof record;
    return RegGetValueW(HKEY_CURRENT_USER, kStartupApprovedKeyPath, ZAVIK_RUN_VALUE, RRF_RT_ANY,
                        NULL, record, &size) == ERROR_SUCCESS &&
           StartupRecordSaysOff(record, size);
}

// Replaces an "off" record by the one Task Manager writes on switching the
// entry on; no record, or an "on" one, is left as it is. Opened, never created.
void SwitchOnInWindows() {
    HKEY key;
    if (!SwitchedOffByWindows() || RegOpenKeyExW(HKEY_CURRENT_USER, kStartupApprovedKeyPath, 0,
                                                 KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, ZAVIK_RUN_VALUE, 0, REG_BINARY, kStartupOnRecord, kStartupRecordBytes);
    RegCloseKey(key);
}

}  // namespace

// Registered only while the Run value does not start the program: with both,
// the second start at sign-in would open the settings window of the first.
void FollowRestartRegistration() {
    if (g_options.startWithWindows != 0) {
        UnregisterApplicationRestart();
    } else {
        RegisterApplicationRestart(kRestartArguments, kRestartFlags);
    }
}

void SetStartWithWindows(bool on) {
    if (!ChangeRunValue(on)) return;
    // The choice made in our window is newer than the one made in Task Manager.
    if (on) {
        SwitchOnInWindows();
    } else {
        // A missing key or record is no error; the other programs' records stay.
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kStartupApprovedKeyPath, ZAVIK_RUN_VALUE);
    }
}

void ReadStartWithWindows() {
    ChangeOption(kOptionStartWithWindows, RunValueExists() && !SwitchedOffByWindows() ? 1 : 0);
}

void CheckStartWithWindowsAtStartup() {
    // Rewritten so the value follows the program file if it was moved; the
    // switch Windows keeps is left as it is, so an entry switched off stays off.
    if (RunValueExists()) ChangeRunValue(true);
    ReadStartWithWindows();
}
