#!/usr/bin/env bash
# End-to-end check of the Windows programs under Wine (run by tools/windows-stage.sh inside
# xvfb-run, with WINEPREFIX and a zh_CN locale set), on a desktop with a window manager
# (openbox): the programs run from a folder whose path holds blanks and Chinese, with their data
# in another such folder.
#  1. a record due in the present minute, written in code page 936, reaches a vexa popup: the
#     slot in vexa.ini holds the record's fields byte for byte, its flag reads 1, and the window
#     "数据提示" is on the screen;
#  2. typed into the entry form (数据编辑 → 插入数据) with the keyboard, a record with Chinese
#     fields is saved to a.bz byte for byte in code page 936, beside the record already there;
#  3. 软件设置 → 设置 → 设置开机自启动 writes the Run value with the program's full path in
#     quotes, and unchecking it removes the value;
#  4. the tray icon is in Wine's tray; minimising hides the window, a click on the icon brings it
#     back, the icon's menu pops up while the window stays hidden, and its 退出 ends Tarvelin;
#  5. the NSIS installer, run silently, puts both programs and the DLLs into one folder, the
#     installed Tarvelin starts (its data then go to the user's folder), a second silent install
#     over the first one works, and the silent uninstall removes the programs.
# Every Wine command that could wait for a window gets a deadline.
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
  pids=()
  wineserver -k 2>/dev/null || true
}
wm=""
trap 'cleanup; [ -z "$wm" ] || kill "$wm" 2>/dev/null || true' EXIT
fail() {
  echo "windows-e2e: FAILED: $*" >&2
  # An unexpected message box is the usual cause.
  local w
  for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    echo "windows-e2e: on the screen: $(xdotool getwindowname "$w")" >&2
  done
  exit 1
}
# What Wine cannot show of Windows is said, never passed over in silence.
not_shown() { echo "windows-e2e: not shown by Wine: $*"; }
# waitfor SECONDS COMMAND...: polls COMMAND until it succeeds or the time is up.
waitfor() {
  local deadline=$(( $(date +%s) + $1 ))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.25
  done
}
gbk() { iconv -f UTF-8 -t CP936; }
# The main window's caption begins with the version of project() in CMakeLists.txt.
version=$(sed -n 's/^project(Tarvelin VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || fail "no project(Tarvelin VERSION ...) in CMakeLists.txt"
caption="Tarvelin V$version"

# A desktop with a window manager, as on Windows: new windows and dialogs get the keyboard.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
waitfor 20 wm_ready || fail "the window manager openbox did not start"
input=$work/wine-input.exe
x86_64-w64-mingw32-gcc -municode -O2 "$root/tools/wine-input.c" -o "$input"

# 1. The road of a reminder.
# The record is written once the main window is up, which then reloads the changed file: a slow
# start cannot make it late (a record that fell due before the first check is listed as late).
printf ',,,,,,,,,,' > "$data/a.bz"
TARVELIN_DATA_DIR="$data" wine "$programs/Tarvelin.exe" >/dev/null 2>&1 &
pids+=($!)
waitfor 60 xdotool search --name "$caption" || fail "the main window did not appear"
echo "windows-e2e: Tarvelin.exe runs from \"$programs\""
# Due in the present minute, or in the next one when this one is nearly over: the first check
# covers the present minute alone, later ones every minute since.
now=$(date +%s)
[ $(( now % 60 )) -gt 40 ] && now=$(( now + 60 ))
due=$(date -d "@$now" '+%Y-%m-%d %H:%M')
made=$(date -d "@$(( now - 28 * 86400 ))" '+%Y-%-m-%-d %H:%M')
record="1#楼 梁板,C30,P-01,$made,28,$due,标准养护,12m³,3,加急 复检,"
printf '%s\r\n,,,,,,,,,,' "$record" | sed 's/m³/m3/' | gbk > "$data/a.bz.new"
mv "$data/a.bz.new" "$data/a.bz"
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

# 2 to 4. The entry form, start with Windows and the tray icon, in one run of Tarvelin.
# shellcheck source=tools/windows-e2e-desktop.sh
source "$root/tools/windows-e2e-desktop.sh"
cleanup

# 5. The installer, silently, and the installed Tarvelin.
installer=$(ls "$root"/build/win/*-win64.exe | head -1)
target="$WINEPREFIX/drive_c/Program Files/Tarvelin"
registration='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelin'
# From a clean state, also after a run that was cut short: a registration whose uninstaller is
# gone makes the installer show "Uninstall failed." and wait for a click even when silent.
timeout 30 wine reg delete "$registration" /f >/dev/null 2>&1 || true
rm -rf "$target"
install_silently() {
  local rc=0
  timeout 120 wine "$installer" /S >/dev/null 2>&1 || rc=$?
  [ "$rc" -ne 124 ] || fail "the silent installer$1 did not end within 120 s (waiting for a click?)"
  [ "$rc" -eq 0 ] || fail "the silent installer$1 ended with $rc"
  for file in Tarvelin.exe vexa.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll \
              libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll \
              styles/qwindowsvistastyle.dll translations/qtbase_zh_CN.qm data-in-user-folder.txt; do
    [ -f "$target/bin/$file" ] || fail "after the silent installer$1, $target/bin lacks $file"
  done
}
install_silently ""
echo "windows-e2e: the installer put both programs and the DLLs into $target/bin"
wine "$target/bin/Tarvelin.exe" >/dev/null 2>&1 &
pids+=($!)
waitfor 60 xdotool search --onlyvisible --name "$caption" || fail "the installed Tarvelin did not start"
echo "windows-e2e: the installed Tarvelin starts"
cleanup
# Over the first install, the installer runs the registered uninstaller silently first.
install_silently " run over the first install"
echo "windows-e2e: a second silent install over the first one works"
# _?= names the install folder: the uninstaller then runs in place and is waited for. The folder
# is given in two arguments so that Wine puts no quotes around it: NSIS reads the rest of the
# command line after "_?=" as the folder.
rc=0
timeout 60 wine "$target/Uninstall.exe" /S '_?=C:\Program' 'Files\Tarvelin' >/dev/null 2>&1 || rc=$?
[ "$rc" -eq 0 ] || fail "the silent uninstall ended with $rc"
[ ! -e "$target/bin/Tarvelin.exe" ] || fail "the silent uninstall left $target/bin/Tarvelin.exe"
! timeout 30 wine reg query "$registration" >/dev/null 2>&1 ||
  fail "the silent uninstall left the registration $registration"
rm -rf "$target"
echo "windows-e2e: the silent uninstall removes the programs and the registration"

echo "windows-e2e: passed"
