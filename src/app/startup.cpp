// Start-up decisions of the running program that need no Windows.
#include "app/startup.h"

#include <wchar.h>

#include "state/identity.h"
#include "base/wtext.h"

namespace {
const wchar_t kFolderFormat[] = L"%ls\\" ZAVIK_FOLDER_NAME;
const wchar_t kConfigFormat[] = L"%ls%lsconfig.ini";
const wchar_t kMirasFormat[] = L"%ls%lsmiras.ini";
const wchar_t kSeparator[] = L"\\";
const wchar_t kConfigBareName[] = L"config.ini";
const wchar_t kMirasBareName[] = L"miras.ini";
}  // namespace

InstanceRole DecideInstanceRole(bool mutexCreated, uint32_t lastError) {
    if (mutexCreated) return lastError == kErrorAlreadyExists ? kInstanceHandOver : kInstanceFirst;
    return lastError == kErrorAccessDenied ? kInstanceHandOver : kInstanceFirst;
}

void ComposeSettingsPaths(const wchar_t* appData, const wchar_t* workingFolder,
                          SettingsPaths* paths) {
    if (appData) {
        FormatW(paths->folder, kPathChars, kFolderFormat, appData);
    } else {
        CopyW(paths->folder, kPathChars, workingFolder ? workingFolder : L"");
    }
    if (paths->folder[0] == 0) {
        // Nothing better is known; the profile calls then use the Windows folder.
        CopyW(paths->config, kPathChars, kConfigBareName);
        CopyW(paths->miras, kPathChars, kMirasBareName);
        return;
    }
    // A drive's root (C:\) already ends in the separator.
    size_t length = wcslen(paths->folder);
    const wchar_t* separator = paths->folder[length - 1] == kSeparator[0] ? L"" : kSeparator;
    FormatW(paths->config, kPathChars, kConfigFormat, paths->folder, separator);
    FormatW(paths->miras, kPathChars, kMirasFormat, paths->folder, separator);
}
