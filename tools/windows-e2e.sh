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
#  5. the NSIS installer, clicked through page by page, shows Chinese alone and puts both
#     programs and the DLLs into one folder; installed silently into another folder (/D) while
#     the first copy runs, it closes that copy, removes the old folder with its uninstaller and
#     moves the Run value to the new Tarvelin.exe, quoted, which shows its box ticked; the silent
#     uninstall removes the folder up to the one the installer made and the Run value, and
#     keeps a.bz;
#  6. posing as Windows 7, the installer says which Windows it needs and installs nothing;
#  7. the popup's window rectangle, as Windows reports it (tools/wine-window.c), stands in the
#     corner of the work area at 96 DPI (step 1) and 144 DPI.
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
window=$work/wine-window.exe
x86_64-w64-mingw32-gcc -municode -O2 "$root/tools/wine-window.c" -o "$window"
# The popup's window rectangle, as Windows reports it, stands wholly inside the work area, on its
# bottom and right edges (at 150 % up to a device pixel inside: Qt keeps whole logical pixels).
popup_placed() {
  local rect l t r b wl wt wr wb
  rect=$(timeout 30 wine "$window" frame "数据提示" | tr -d '\r') || return 1
  read -r _ l t r b <<<"$(grep '^frame' <<<"$rect")"
  read -r _ wl wt wr wb <<<"$(grep '^workarea' <<<"$rect")"
  frame="$l,$t–$r,$b" area="$wl,$wt–$wr,$wb"
  [ "$l" -ge "$wl" ] && [ "$t" -ge "$wt" ] && [ $(( wr - r )) -ge 0 ] && [ $(( wr - r )) -le 1 ] &&
    [ $(( wb - b )) -ge 0 ] && [ $(( wb - b )) -le 1 ]
}

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
waitfor 20 popup_placed || fail "the popup's window rectangle $frame is not in the work area's corner $area"
echo "windows-e2e: at 96 DPI the popup's window rectangle $frame stands in the corner of the work area $area"
slot=$(iconv -f CP936 -t UTF-8 "$data/vexa.ini" | tr -d '\r' |
  awk '/^\[/{s=$0} /^是否显示=1$/ && !found {print s; found=1}')
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

# 5. The installer: clicked through, every page in Chinese; a reinstall into another folder, over
# a running Tarvelin, moves the Run value there; the uninstall leaves nothing but the data.
installer=$(ls "$root"/build/win/*-win64.exe | head -1)
target="$WINEPREFIX/drive_c/Program Files/Tarvelin"
parent="$WINEPREFIX/drive_c/试验室 软件"
moved="$parent/Tarvelin"
registration='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvelin'
grep -c 'MUI_LANGUAGE' "$root/build/win/_CPack_Packages/win64/NSIS/project.nsi" | grep -qx 1 &&
  grep -q 'MUI_LANGUAGE "SimpChinese"' "$root/build/win/_CPack_Packages/win64/NSIS/project.nsi" ||
  fail "the installer is built with another language than SimpChinese alone"
# From a clean state, also after a run that was cut short, but for a registration whose
# uninstaller's folder was deleted by hand: the installer passes over it.
rm -rf "$target" "$parent"
timeout 30 wine reg add "$registration" /v UninstallString /d 'C:\gone\Uninstall.exe' /f >/dev/null
installed() {
  for file in Tarvelin.exe vexa.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll Qt6Network.dll \
              libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll platforms/qwindows.dll \
              styles/qwindowsvistastyle.dll translations/qtbase_zh_CN.qm data-in-user-folder.txt; do
    [ -f "$1/bin/$file" ] || fail "after the installer, $1/bin lacks $file"
  done
}
english='\b(the|and|you|Click|Next|Back|Cancel|Install|Setup|Welcome|License|Agree|Browse|Finish|Close|Nullsoft)\b'
page_shows() { timeout 30 wine "$window" texts "Tarvelin 安装" | tr -d '\r' > "$work/page.txt" && grep -qF "$1" "$work/page.txt"; }
# page MARK: the page that shows MARK is on the screen, in Chinese alone; Return takes its default button.
page() {
  waitfor 40 page_shows "$1" || fail "the installer did not show the page with \"$1\""
  ! grep -E "$english" "$work/page.txt" || fail "English on the installer's page \"$1\""
  foreground "Tarvelin 安装" || fail "the installer's page \"$1\" does not get the keyboard"
  keys Return
}
wine "$installer" >/dev/null 2>&1 &
setup=$!
pids+=("$setup")
page "欢迎使用 Tarvelin 安装程序"
page "Tarvelin 做什么"
page "选择安装位置"
page "Tarvelin 安装程序结束"
setup_ended() { ! kill -0 "$setup"; }
waitfor 30 setup_ended || fail "the installer did not end at 完成"
installed "$target"
echo "windows-e2e: the installer, clicked through its pages in Chinese, put both programs and the DLLs into $target/bin"
timeout 30 wine reg add "$machine_run" /v Tarvelin /d '"C:\Program Files\Tarvelin\bin\Tarvelin.exe"' /f >/dev/null
wine "$target/bin/Tarvelin.exe" >/dev/null 2>&1 &
first=$!
pids+=("$first")
waitfor 60 xdotool search --onlyvisible --name "$caption" || fail "the installed Tarvelin did not start"
# /D names the folder without quotes: in two arguments, which Wine joins with a blank.
rc=0
timeout 120 wine "$installer" /S '/D=C:\试验室' '软件\Tarvelin' >/dev/null 2>&1 || rc=$?
[ "$rc" -eq 0 ] || fail "the silent install into another folder ended with $rc (124: waiting for a click?)"
installed "$moved"
first_ended() { ! kill -0 "$first"; }
waitfor 20 first_ended || fail "the silent install left the running Tarvelin running"
[ ! -e "$target" ] || fail "the install into another folder left $target: $(cd "$target" && find . | head -5)"
value=$(run_value "$machine_run")
[ "$value" = '"C:\试验室 软件\Tarvelin\bin\Tarvelin.exe"' ] ||
  fail "after the install into another folder the Run value is [$value]"
echo "windows-e2e: installed into another folder over a running Tarvelin, the old folder is gone and the Run value is $value"
# The new Tarvelin ticks its box: one press unticks it (the value goes), another ticks it again.
data_file="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Tarvelin/a.bz"
mkdir -p "$(dirname "$data_file")"
printf ',,,,,,,,,,' > "$data_file"
wine "$moved/bin/Tarvelin.exe" >/dev/null 2>&1 &
pids+=($!)
waitfor 60 xdotool search --onlyvisible --name "$caption" || fail "Tarvelin did not start from $moved"
# Just started, the window may take the keys before its menu bar does: try again.
moved_main=$(xdotool search --onlyvisible --name "$caption" | head -1)
for try in 1 2 3; do
  timeout 10 xdotool windowactivate --sync "$moved_main" >/dev/null 2>&1 || true
  foreground "$caption" || fail "the moved Tarvelin's window does not get the keyboard"
  menu 软件设置/设置
  ! foreground "设置" >/dev/null || break
  [ "$try" -lt 3 ] || fail "软件设置 → 设置 did not open the settings window"
  keys Escape Escape
done
opened "${form4_tabs[@]}"
tab_to Check1
keys space
gone() { [ -z "$(run_value "$machine_run")" ]; }
waitfor 20 gone || fail "设置开机自启动 was not ticked for the Run value naming the moved Tarvelin"
keys space
back() { [ "$(run_value "$machine_run")" = "$value" ]; }
waitfor 20 back || fail "ticking 设置开机自启动 again wrote [$(run_value "$machine_run")], not [$value]"
echo "windows-e2e: the moved Tarvelin shows 设置开机自启动 ticked"
# The uninstaller as the Start menu starts it: it copies itself away and removes its folder.
timeout 60 wine "$moved/Uninstall.exe" /S >/dev/null 2>&1 || fail "the silent uninstall did not start"
uninstalled() { [ ! -e "$parent" ] && ! timeout 30 wine reg query "$registration"; }
waitfor 60 uninstalled || fail "the silent uninstall left $parent or the registration $registration"
[ -z "$(run_value "$machine_run")" ] || fail "the silent uninstall left the Run value"
[ -f "$data_file" ] || fail "the silent uninstall removed the data $data_file"
echo "windows-e2e: the silent uninstall closed Tarvelin and removed its folder up to \"C:\\试验室 软件\", the registration and the Run value, and kept a.bz"
cleanup

# 6. Older than Windows 10: one message, and nothing installed.
timeout 30 wine reg add 'HKCU\Software\Wine' /v Version /d win7 /f >/dev/null
rc=0
timeout 60 wine "$installer" /S >/dev/null 2>&1 || rc=$?
[ "$rc" -ne 0 ] && [ "$rc" -ne 124 ] && [ ! -e "$target" ] ||
  fail "posing as Windows 7, the silent installer ended with $rc and left $target"
wine "$installer" >/dev/null 2>&1 &
pids+=($!)
waitfor 30 page_shows "Windows 10 或 Windows 11" ||
  fail "posing as Windows 7, the installer did not say which Windows it needs: $(cat "$work/page.txt")"
keys Return
timeout 30 wine reg add 'HKCU\Software\Wine' /v Version /d win10 /f >/dev/null
echo "windows-e2e: posing as Windows 7, the installer says \"$(grep -m1 "Windows 10" "$work/page.txt")\" and installs nothing"
cleanup

# 7. The popup at 144 DPI stands in the work area as it does at 96 (step 1).
timeout 30 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null
LC_ALL=C sed -i "s/$(printf '是否显示=1' | gbk)/$(printf '是否显示=0' | gbk)/" "$data/vexa.ini"
TARVELIN_DATA_DIR="$data" wine "$programs/vexa.exe" >/dev/null 2>&1 &
pids+=($!)
waitfor 30 popup_placed || fail "at 144 DPI the popup's window rectangle $frame is not in the work area's corner $area"
echo "windows-e2e: at 144 DPI the popup's window rectangle $frame stands in the corner of the work area $area"
cleanup
timeout 30 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null

echo "windows-e2e: passed"
