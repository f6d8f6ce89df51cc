#!/usr/bin/env bash
# Checks on the built program that no unit test can make: what the .exe
# imports, what kind of image it is, and how the sources open other processes.
#
#   check_exe.sh pe|imports|forbidden EXE   (objdump -p of the image)
#   check_exe.sh openprocess SRC_DIR         (the sources' OpenProcess calls)
#
# Exit 0 pass, 1 fail (also when there is no Windows build to look at), 2 usage.
# CHECK_EXE_OBJDUMP_TEXT=FILE takes objdump's output from FILE instead of
# running objdump, so the self-test can feed the checks broken images.
set -euo pipefail

OBJDUMP="${OBJDUMP:-x86_64-w64-mingw32-objdump}"
# Only Known DLLs, which Windows maps from System32 whatever folder the .exe
# sits in, and comctl32, which the manifest's side-by-side dependency takes
# from the system's assembly store: nothing beside the .exe (no libstdc++,
# libgcc or libwinpthread DLLs) and nothing a planted file could stand in for.
# Other system DLLs (the common dialogs, the Imaging Component) are loaded at
# run time or reached through COM.
ALLOWED_DLLS_RE='^(advapi32|comctl32|gdi32|kernel32|shell32|user32|msvcrt|ole32)\.dll$'
# Calls that the oldest Windows the manifest names may lack: taken at run time
# by GetProcAddress, since a static import of one keeps the program from starting.
LATER_FUNCS_RE='^(SetDefaultDllDirectories)$'
# The program never reads or writes another process, never hooks input
# system-wide and never talks to the network.
FORBIDDEN_FUNCS_RE='^(ReadProcessMemory|WriteProcessMemory|VirtualAllocEx|CreateRemoteThread|CreateRemoteThreadEx|SetWindowsHookExA|SetWindowsHookExW)$'
NETWORK_DLLS_RE='^(ws2_32|wsock32|mswsock|wininet|winhttp|urlmon|iphlpapi|dnsapi|netapi32|wnetapi32|mpr|winsock)\.dll$'
LIMITED_ACCESS_RE='^(PROCESS_QUERY_LIMITED_INFORMATION|0x1000|0X1000)$'

fail() { echo "FAIL: $*" >&2; exit 1; }

objdump_text() {
  if [ -n "${CHECK_EXE_OBJDUMP_TEXT:-}" ]; then
    cat "$CHECK_EXE_OBJDUMP_TEXT"
  else
    "$OBJDUMP" -p "$1"
  fi
}

need_exe() {
  [ -n "${CHECK_EXE_OBJDUMP_TEXT:-}" ] && return 0
  # A missing program is a failure, not a skip: a build that went elsewhere
  # would otherwise pass these checks without looking at anything.
  [ -f "$1" ] || fail "$1 does not exist: build the Windows program first (./dev build),
      or point ZAVIK_WINDOWS_BUILD_DIR at the folder that holds it"
}

# "DLL function" per imported function, DLL names lower-cased; a DLL imported
# without any function still appears as "DLL -".
imports() {
  objdump_text "$1" | awk '
    /^[ \t]*DLL Name:/ { dll = tolower($3); seen[dll] = 0; next }
    /^[ \t]*vma:/ { next }
    /^[ \t]*$/ { if (dll != "") { if (!seen[dll]) print dll, "-"; dll = "" } next }
    dll != "" && /^\t[0-9a-fA-F]+\t/ { print dll, $NF; seen[dll] = 1 }
    END { if (dll != "" && !seen[dll]) print dll, "-" }'
}

check_pe() {
  local text size
  text="$(objdump_text "$1")"
  grep -q 'file format pei-x86-64' <<<"$text" || fail "$1 is not an x86-64 PE image"
  grep -Eq '^Magic[[:space:]]+020b[[:space:]]+\(PE32\+\)' <<<"$text" || fail "$1 is not PE32+"
  grep -Eq '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' <<<"$text" ||
    fail "$1 is not a GUI subsystem image"
  # Icon, manifest and version block live in the resource directory.
  grep -Eq '^Entry 2 [0-9a-f]+ 0*[1-9a-f][0-9a-f]* Resource Directory' <<<"$text" ||
    fail "$1 carries no resources"
  if [ -z "${CHECK_EXE_OBJDUMP_TEXT:-}" ]; then
    size=$(stat -c %s "$1")
    echo "$1: PE32+ x86-64 GUI, $(( (size + 1023) / 1024 )) KiB"
  else
    echo "PE32+ x86-64 GUI"
  fi
}

check_imports() {
  local list dlls bad
  list="$(imports "$1")"
  [ -n "$list" ] || fail "no import table found in $1"
  dlls="$(awk '{ print $1 }' <<<"$list" | sort -u)"
  bad="$(grep -Ev "$ALLOWED_DLLS_RE" <<<"$dlls" || true)"
  [ -z "$bad" ] || fail "imports DLLs that are not Known DLLs: $(echo $bad)"
  bad="$(awk '{ print $2 }' <<<"$list" | grep -E "$LATER_FUNCS_RE" | sort -u || true)"
  [ -z "$bad" ] || fail "imports statically what older Windows lacks: $(echo $bad)"
  echo "imports only Known DLLs: $(echo $dlls)"
}

check_forbidden() {
  local list bad
  list="$(imports "$1")"
  [ -n "$list" ] || fail "no import table found in $1"
  bad="$(awk '{ print $2 }' <<<"$list" | grep -E "$FORBIDDEN_FUNCS_RE" | sort -u || true)"
  [ -z "$bad" ] || fail "imports process-access or hook functions: $(echo $bad)"
  bad="$(awk '{ print $1 }' <<<"$list" | sort -u | grep -E "$NETWORK_DLLS_RE" || true)"
  [ -z "$bad" ] || fail "imports network libraries: $(echo $bad)"
  echo "no process-memory, remote-thread, hook or network imports"
}

# Every OpenProcess( call in the sources, comments removed, may ask only for
# limited query access: the literal constant, or a name defined as it.
check_openprocess() {
  local src="$1"
  [ -d "$src" ] || fail "$src is not a directory"
  find "$src" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z |
    xargs -0 perl -e '
      my $limited = qr/'"$LIMITED_ACCESS_RE"'/;
      my (%defs, @calls); my $unread = 0;
      for my $file (@ARGV) {
        open(my $fh, "<", $file) or die "$file: $!";
        local $/; my $code = <$fh>; close $fh;
        $code =~ s{/\*.*?\*/}{ }gs;
        $code =~ s{//[^\n]*}{}g;
        $code =~ s{"(?:\\.|[^"\\])*"}{""}g;
        while ($code =~ /\b(\w+)\s*=\s*(\w+)\s*[;,}]/g) { $defs{$1} = $2; }
        while ($code =~ /#\s*define\s+(\w+)\s+(\w+)\s*$/mg) { $defs{$1} = $2; }
        while ($code =~ /\bOpenProcess\s*\(\s*([^,()]*?)\s*,/g) { push @calls, [$file, $1]; }
        while ($code =~ /\bOpenProcess\s*\(\s*([^,]*\([^,]*?)\s*,/g) { push @calls, [$file, $1]; }
        my $sites = () = $code =~ /\bOpenProcess\s*\(/g;
        $unread += $sites;
      }
      my $bad = 0;
      if ($unread != @calls) {
        print STDERR "FAIL: found $unread OpenProcess call(s) but could read the access of only ", scalar @calls, "\n";
        $bad = 1;
      }
      for my $c (@calls) {
        my ($file, $arg) = @$c;
        my $value = $arg;
        $value = $defs{$value} if $value !~ $limited && exists $defs{$value};
        if ($value !~ $limited) { print STDERR "FAIL: $file: OpenProcess asks for \"$arg\"\n"; $bad = 1; }
      }
      exit 1 if $bad;
      printf "%d OpenProcess call(s), each with limited query access only\n", scalar @calls;
    '
}

mode="${1:-}"
target="${2:-}"
[ -n "$mode" ] && [ -n "$target" ] || { sed -n '5,6p' "$0" >&2; exit 2; }
case "$mode" in
  pe)          need_exe "$target"; check_pe "$target" ;;
  imports)     need_exe "$target"; check_imports "$target" ;;
  forbidden)   need_exe "$target"; check_forbidden "$target" ;;
  openprocess) check_openprocess "$target" || exit 1 ;;
  *)           sed -n '5,6p' "$0" >&2; exit 2 ;;
esac
