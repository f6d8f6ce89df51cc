// Start-up decisions that need no Windows: whether this start is the running
// copy or hands over to one, and where the settings files live.
#pragma once
#include <stdint.h>
#include "state/records.h"

// The two error codes of the single-instance mutex that matter here.
enum {
    kErrorAccessDenied = 5,     // ERROR_ACCESS_DENIED
    kErrorAlreadyExists = 183,  // ERROR_ALREADY_EXISTS
};

enum InstanceRole {
    kInstanceFirst,     // carry on as the running copy
    kInstanceHandOver,  // another copy runs: hand over to it and stop
};

// mutexCreated: CreateMutexW gave a handle; lastError: GetLastError right after.
// A copy started as administrator holds a mutex that a normal start may not
// open (access denied): that copy is running too. Any other failure carries on
// without single-instance protection.
InstanceRole DecideInstanceRole(bool mutexCreated, uint32_t lastError);

// Fills the folder and the two file paths. appData: the roaming
// application-data folder, or null when the shell gave none; workingFolder:
// the working folder read at start-up (may be empty). The files always get a
// full path when a folder is known: a bare name would send the profile calls
// to the Windows folder.
void ComposeSettingsPaths(const wchar_t* appData, const wchar_t* workingFolder,
                          SettingsPaths* paths);
