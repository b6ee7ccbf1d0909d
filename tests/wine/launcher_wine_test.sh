#!/usr/bin/env bash
# End-to-end tests of the Windows build under Wine, against Windows' own calls:
# profile strings from the Windows directory, the named event, windows brought
# to the front, message boxes answered by wintool, system.dll loaded by name,
# and a product file inside a version-4 pak made by pak.exe.
# Runs inside a Wine prefix and a virtual display (scripts/wine-ctest).
# Usage: launcher_wine_test.sh BIN_DIR
set -u
bin=$(cd "$1" && pwd)
: "${WINEPREFIX:?run this through scripts/wine-ctest}"
windir="$WINEPREFIX/drive_c/windows"
work=$(mktemp -d)
trap 'rm -rf "$work"; rm -f "$windir/game.ini"' EXIT

failures=0
passes=0
check() {  # check DESCRIPTION CONDITION...
  local what=$1
  shift
  if "$@"; then
    passes=$((passes + 1))
  else
    failures=$((failures + 1))
    echo "FAIL: $what"
  fi
}
contains() { grep -qF -- "$2" "$1"; }
# The show command is whatever the starter passes (Wine gives SW_SHOWDEFAULT).
# Windows programs end their lines with CR LF.
engine_line() { tr -d '\r' <"$1" | grep -qE -- "^engine run: show=[0-9]+ title=$2$"; }
lacks() { ! grep -qF -- "$2" "$1"; }

cp932() { iconv -f UTF-8 -t CP932; }
windows_path() { winepath -w "$1" 2>/dev/null; }

window_class=OCDemoWindow
title=港の灯り祭
printf '[設定]\r\nName=%s\r\ntitle=%s\r\n' "$window_class" "$title" | cp932 >"$windir/game.ini"

# A game folder with the product file (loose) and, unless told, the launcher beside system.dll.
make_game() {  # make_game DIR [no-dll]
  mkdir -p "$1/script"
  printf '[製品情報]\r\nname=HarborLanternFete\r\n' | cp932 >"$1/script/product.ini"
  cp "$bin/launcher.exe" "$1/"
  [ "${2:-}" = no-dll ] || cp "$bin/system.dll" "$1/"
}

launch() {  # launch DIR OUT [env...]: runs the launcher in DIR, output in OUT, exit code in OUT.rc
  local dir=$1 out=$2
  shift 2
  (cd "$dir" && env "$@" wine ./launcher.exe >"$out" 2>"$out.err"; echo $? >"$out.rc")
}

wintool() { wine "$bin/wintool.exe" "$@"; }

test_first_start_runs_engine() {
  local dir=$work/first
  make_game "$dir"
  launch "$dir" "$work/first.out" ENGINE_HOLD_SECONDS=0
  check "first start: engine line with the title from game.ini" engine_line "$work/first.out" "$title"
  check "first start: exit code 0" contains "$work/first.out.rc" 0
}

test_second_start_brings_first_to_front() {
  local dir=$work/second
  make_game "$dir"
  launch "$dir" "$work/holder.out" ENGINE_HOLD_SECONDS=60 &
  local holder=$!
  check "the engine window appears" wintool wait-window "$window_class" "$title" 30
  (cd "$dir" && wine "$bin/wintool.exe" foreground-after "$window_class" "$title" "$(windows_path "$dir/launcher.exe")" \
    >"$work/second.out" 2>&1)
  check "second start: the first copy's window is brought to the front" contains "$work/second.out" "target in front"
  check "second start: no engine started" lacks "$work/second.out" "engine run:"
  wintool close "$window_class" "$title"
  wait "$holder"
  check "first copy: engine ran once" contains "$work/holder.out" "engine run:"
  check "first copy: exit code 0 after the window closed" contains "$work/holder.out.rc" 0
}

test_missing_product_dialog() {  # answer Ignore or Abort
  local answer=$1 dir=$work/missing-$1
  make_game "$dir"
  rm -r "$dir/script"
  launch "$dir" "$work/missing-$answer.out" ENGINE_HOLD_SECONDS=0 &
  local pid=$!
  wintool press ファイルエラー "$answer" 30 >"$work/missing-$answer.dialog"
  wait "$pid"
  check "missing product ($answer): the dialog names the file" contains "$work/missing-$answer.dialog" 'ファイル script\product.ini が開けません。'
  check "missing product ($answer): no engine" lacks "$work/missing-$answer.out" "engine run:"
  check "missing product ($answer): exit code 0" contains "$work/missing-$answer.out.rc" 0
}

test_missing_dll_message() {
  local dir=$work/nodll
  make_game "$dir" no-dll
  launch "$dir" "$work/nodll.out" ENGINE_HOLD_SECONDS=0 &
  local pid=$!
  wintool press "library load error" ok 30 >"$work/nodll.dialog"
  wait "$pid"
  check "no system.dll: the message box says so" contains "$work/nodll.dialog" "DLLをロードできません。"
  check "no system.dll: exit code 0" contains "$work/nodll.out.rc" 0
}

test_product_inside_version4_pak() {
  local dir=$work/pak src=$work/paksrc
  make_game "$src"
  mkdir -p "$dir"
  cp "$bin/launcher.exe" "$bin/system.dll" "$dir/"
  (cd "$src" && wine "$bin/pak.exe" create "$(windows_path "$dir/data.pak")" --format 4 --key 鍵 --pack script/product.ini \
    >"$work/pakcreate.out" 2>&1)
  check "pak.exe creates a version-4 pak" test -s "$dir/data.pak"
  launch "$dir" "$work/pak.out" ENGINE_HOLD_SECONDS=0
  check "product file inside a version-4 pak: engine starts" engine_line "$work/pak.out" "$title"
}

test_pak_round_trip_japanese_name() {
  local src=$work/rt-src out=$work/rt-out
  mkdir -p "$src/表" "$out"
  head -c 5000 /dev/urandom >"$src/表/ソース.bin"
  printf 'テキスト\n' >"$src/表/能.txt"
  (cd "$src" && wine "$bin/pak.exe" create "$(windows_path "$work/rt.pak")" --format 3 表/ソース.bin 表/能.txt \
    >"$work/rt-create.out" 2>&1)
  (cd "$out" && wine "$bin/pak.exe" extract "$(windows_path "$work/rt.pak")" >"$work/rt-extract.out" 2>&1)
  check "pak.exe round trip: binary entry under a Japanese name" cmp -s "$src/表/ソース.bin" "$out/表/ソース.bin"
  check "pak.exe round trip: text entry with a 0x5C trail byte" cmp -s "$src/表/能.txt" "$out/表/能.txt"
}

test_first_start_runs_engine
test_second_start_brings_first_to_front
test_missing_product_dialog ignore
test_missing_product_dialog abort
test_missing_dll_message
test_product_inside_version4_pak
test_pak_round_trip_japanese_name

echo "launcher under Wine: $passes passed, $failures failed"
[ "$failures" -eq 0 ]
