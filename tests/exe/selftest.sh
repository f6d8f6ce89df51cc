#!/usr/bin/env bash
# Shows that check_exe.sh can fail: feeds it objdump output of a good image
# and of images that break one rule each, and source trees with good and bad
# OpenProcess calls, and expects pass or fail for each.
set -uo pipefail
HERE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
CHECK="$HERE/check_exe.sh"
GOOD="$HERE/fixtures/objdump_good.txt"
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
failures=0

# expect pass|fail NAME MODE TARGET [objdump text file]
expect() {
  local want="$1" name="$2" mode="$3" target="$4" text="${5:-}" rc
  CHECK_EXE_OBJDUMP_TEXT="$text" "$CHECK" "$mode" "$target" >"$WORK/out" 2>&1
  rc=$?
  if { [ "$want" = pass ] && [ $rc -eq 0 ]; } || { [ "$want" = fail ] && [ $rc -eq 1 ]; }; then
    echo "ok   $name ($mode: $want)"
  else
    echo "BAD  $name ($mode: wanted $want, exit $rc)"
    sed 's/^/     /' "$WORK/out"
    failures=$((failures + 1))
  fi
}

# variant NAME SED-SCRIPT: the good text with one change.
variant() {
  sed "$2" "$GOOD" >"$WORK/$1.txt"
  echo "$WORK/$1.txt"
}

add_dll() {  # a DLL with one function, appended after the last import
  variant "$1" "/MessageBoxW/a\\
\\
\\tDLL Name: $2\\
\\tvma:  Hint/Ord Member-Name Bound-To\\
\\t8600\\t    1  $3"
}

for mode in pe imports forbidden; do
  expect pass good "$mode" ZavikCrosshair.exe "$GOOD"
done
expect fail no_windows_build pe "$WORK/ZavikCrosshair.exe"
expect fail libstdcxx_dll imports x.exe "$(add_dll libstdcxx libstdc++-6.dll _ZdlPv)"
expect fail winpthread_dll imports x.exe "$(add_dll winpthread libwinpthread-1.dll pthread_create)"
expect fail gcc_dll imports x.exe "$(add_dll gcc libgcc_s_seh-1.dll _Unwind_Resume)"
expect fail ucrt_dll imports x.exe "$(add_dll ucrt api-ms-win-crt-runtime-l1-1-0.dll _initterm)"
expect fail comdlg_dll imports x.exe "$(add_dll comdlg COMDLG32.dll ChooseColorW)"
expect fail codecs_dll imports x.exe "$(add_dll codecs WindowsCodecs.dll WICCreateImagingFactory_Proxy_)"
expect fail later_call imports x.exe "$(variant later 's/  Sleep$/  SetDefaultDllDirectories/')"
expect pass lower_case_name imports x.exe "$(variant lower 's/DLL Name: USER32.dll/DLL Name: user32.DLL/')"
expect fail winsock_dll forbidden x.exe "$(add_dll winsock WS2_32.dll connect)"
expect fail winhttp_dll forbidden x.exe "$(add_dll winhttp WINHTTP.dll WinHttpOpen)"
expect fail read_memory forbidden x.exe "$(variant read 's/  OpenProcess$/  ReadProcessMemory/')"
expect fail write_memory forbidden x.exe "$(variant write 's/  OpenProcess$/  WriteProcessMemory/')"
expect fail alloc_ex forbidden x.exe "$(variant alloc 's/  VirtualProtect$/  VirtualAllocEx/')"
expect fail remote_thread forbidden x.exe "$(variant remote 's/  Sleep$/  CreateRemoteThread/')"
expect fail hook_w forbidden x.exe "$(variant hookw 's/  MessageBoxW$/  SetWindowsHookExW/')"
expect fail hook_a forbidden x.exe "$(variant hooka 's/  MessageBoxW$/  SetWindowsHookExA/')"
expect fail pe32 pe x.exe "$(variant pe32 's/^Magic.*/Magic\t\t\t010b\t(PE32)/')"
expect fail console pe x.exe "$(variant cui 's/^Subsystem.*/Subsystem\t\t00000003\t(Windows CUI)/')"
expect fail no_resources pe x.exe "$(variant nores 's/^Entry 2 \([0-9a-f]*\) [0-9a-f]*/Entry 2 \1 00000000/')"
expect fail i386 pe x.exe "$(variant i386 's/pei-x86-64/pei-i386/')"
expect pass limited_access openprocess "$HERE/fixtures/good_src"
expect fail extra_access openprocess "$HERE/fixtures/bad_src"
expect fail unreadable_access openprocess "$HERE/fixtures/bad_src_cast"

[ $failures -eq 0 ] || { echo "$failures self-test case(s) went wrong"; exit 1; }
