#!/usr/bin/env bash
# End-to-end check of the Windows programs under Wine (run by tools/windows-stage.sh inside
# xvfb-run, with WINEPREFIX and a zh_CN locale set): the programs run from a folder whose path
# holds blanks and Chinese, with their data in another such folder.
#  1. a record due in the present minute, written in code page 936, reaches a vexa popup: the
#     slot in vexa.ini holds the record's fields byte for byte, its flag reads 1, and the window
#     "数据提示" is on the screen;
#  2. the NSIS installer, run silently, puts both programs and the DLLs into one folder, and the
#     installed Tarvelin starts (its data then go to the user's folder).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
: "${WINEPREFIX:?set WINEPREFIX}"
export TZ=CST-8 # read alike by Linux and by Windows' msvcrt
work=$root/build/wine-e2e
rm -rf "$work"
programs="$work/程序 文件夹"
data="$work/数据 目录"
mkdir -p "$programs" "$data"
cp -r "$root/build/win/deploy/bin/." "$programs/"
rm -f "$programs/data-in-user-folder.txt"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT
fail() {
  echo "windows-e2e: FAILED: $*" >&2
  exit 1
}
# waitfor SECONDS COMMAND...: polls COMMAND until it succeeds or the time is up.
waitfor() {
  local deadline=$(( $(date +%s) + $1 ))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 1
  done
}
gbk() { iconv -f UTF-8 -t CP936; }

# 1. The road of a reminder.
# Due in the present minute, or in the next one when this one is nearly over: the first check
# covers the present minute alone, later ones every minute since.
now=$(date +%s)
[ $(( now % 60 )) -gt 40 ] && now=$(( now + 60 ))
due=$(date -d "@$now" '+%Y-%m-%d %H:%M')
made=$(date -d "@$(( now - 28 * 86400 ))" '+%Y-%-m-%-d %H:%M')
record="1#楼 梁板,C30,P-01,$made,28,$due,标准养护,12m³,3,加急 复检,"
printf '%s\r\n,,,,,,,,,,' "$record" | sed 's/m³/m3/' | gbk > "$data/a.bz"
TARVELIN_DATA_DIR="$data" wine "$programs/Tarvelin.exe" >/dev/null 2>&1 &
pids+=($!)
waitfor 60 xdotool search --name "Tarvelin V2.2" || fail "the main window did not appear"
echo "windows-e2e: Tarvelin.exe runs from \"$programs\""
claimed() {
  [ -f "$data/vexa.ini" ] && iconv -f CP936 -t UTF-8 "$data/vexa.ini" | tr -d '\r' |
    grep -q '^是否显示=1$'
}
waitfor 130 claimed || fail "no popup claimed a slot for the record due at $due"
waitfor 30 xdotool search --name "数据提示" || fail "the popup window did not appear"
slot=$(iconv -f CP936 -t UTF-8 "$data/vexa.ini" | tr -d '\r' |
  awk '/^\[/{s=$0} /^是否显示=1$/{print s; exit}')
for field in "工程部位=1#楼 梁板" "强度等级=C30" "到期时间=$due" "养护方式=标准养护" \
             "工程量=12m3" "备注=加急 复检"; do
  section=$(awk -v s="$slot" '$0==s{on=1;next} /^\[/{on=0} on' \
    <(iconv -f CP936 -t UTF-8 "$data/vexa.ini" | tr -d '\r'))
  grep -qxF "$field" <<<"$section" || fail "slot $slot lacks \"$field\""
  # Byte for byte code page 936 in the file.
  grep -qF "$(printf '%s' "$field" | gbk)" "$data/vexa.ini" || fail "\"$field\" is not in code page 936"
done
echo "windows-e2e: the record due at $due reached popup slot $slot with its fields in code page 936"
cleanup
pids=()

# 2. The installer, silently, and the installed Tarvelin.
installer=$(ls "$root"/build/win/*-win64.exe | head -1)
target="$WINEPREFIX/drive_c/Program Files/Tarvelin"
[ -x "$target/Uninstall.exe" ] && wine "$target/Uninstall.exe" /S _?=C:\\ >/dev/null 2>&1 || true
rm -rf "$target"
wine "$installer" /S >/dev/null 2>&1 || fail "the installer ended with an error"
waitfor 60 test -f "$target/bin/Tarvelin.exe" || fail "the installer put no Tarvelin.exe in $target/bin"
for file in Tarvelin.exe vexa.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll \
            libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll \
            styles/qwindowsvistastyle.dll translations/qtbase_zh_CN.qm data-in-user-folder.txt; do
  [ -f "$target/bin/$file" ] || fail "the installed folder lacks $file"
done
echo "windows-e2e: the installer put both programs and the DLLs into $target/bin"
wine "$target/bin/Tarvelin.exe" >/dev/null 2>&1 &
pids+=($!)
waitfor 60 xdotool search --name "Tarvelin V2.2" || fail "the installed Tarvelin did not start"
echo "windows-e2e: the installed Tarvelin starts"
cleanup
pids=()

echo "windows-e2e: passed"
