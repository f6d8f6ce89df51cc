// Entry point of zavik-e2e.exe: GoogleTest's own flags, then where the program
// under test is: --program=PATH, else the environment variable ZAVIK_EXE, else
// ZavikCrosshair.exe two folders above this runner (build/windows).
#include "harness.h"

#include <stdlib.h>
#include <string.h>

namespace {

const wchar_t kProgramFlag[] = L"--program=";
const wchar_t kProgramVariable[] = L"ZAVIK_EXE";
const wchar_t kDefaultRelative[] = L"..\\..\\ZavikCrosshair.exe";

std::wstring DefaultProgramPath() {
    std::wstring beside = e2e::HelperPath(kDefaultRelative);
    wchar_t full[MAX_PATH];
    DWORD n = GetFullPathNameW(beside.c_str(), MAX_PATH, full, nullptr);
    return n > 0 && n < MAX_PATH ? std::wstring(full) : beside;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    std::wstring program;
    const size_t flagLength = wcslen(kProgramFlag);
    for (int i = 1; i < argc; ++i) {
        if (!wcsncmp(argv[i], kProgramFlag, flagLength)) program = argv[i] + flagLength;
    }
    if (program.empty()) {
        const wchar_t* fromEnv = _wgetenv(kProgramVariable);
        if (fromEnv && *fromEnv) program = fromEnv;
    }
    if (program.empty()) program = DefaultProgramPath();
    e2e::SetProgramPath(program.c_str());
    return RUN_ALL_TESTS();
}
