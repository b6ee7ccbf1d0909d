#!/usr/bin/env bash
# Checks the Windows binaries of a build: launcher.exe and pak.exe import only
# Windows' own DLLs (zlib and the C++ runtime are linked in), and system.dll
# exports the engine entry under its decorated name.
# Usage: check_shipping_set.sh OBJDUMP BIN_DIR
set -u
objdump=$1
bin=$2
status=0
allowed='^(KERNEL32|USER32|msvcrt|ADVAPI32|SHELL32|GDI32)\.dll$'
for exe in launcher.exe pak.exe system.dll; do
  if [ ! -f "$bin/$exe" ]; then
    echo "FAIL: $exe was not built"
    status=1
    continue
  fi
  while read -r dll; do
    if ! [[ $dll =~ $allowed ]]; then
      echo "FAIL: $exe imports $dll"
      status=1
    fi
  done < <("$objdump" -p "$bin/$exe" | sed -n 's/^\s*DLL Name: //p')
done
if ! "$objdump" -p "$bin/system.dll" | grep -qF '?run@@YGHPAUHINSTANCE__@@HPBD@Z'; then
  echo "FAIL: system.dll does not export ?run@@YGHPAUHINSTANCE__@@HPBD@Z"
  status=1
fi
[ "$status" -eq 0 ] && echo "shipping set: imports and exports as expected"
exit "$status"
