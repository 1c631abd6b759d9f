# shellcheck shell=bash
# Sourced by tools/windows-e2e.sh (its functions and folders): the entry form, start with
# Windows and the tray icon, driven like a user would, in one run of the real Tarvelin.exe.
# Keys go through X with xdotool; text goes in through tools/wine-input.c, which also waits until
# Wine has the expected window in the foreground, so that no key lands in another window.

entry="$work/录入 数据"
mkdir -p "$entry"
next_year=$(( $(date +%Y) + 1 ))
# Not due today, so the main window lists nothing; the entry form loads it and writes it back.
older="3#楼 柱,C35,P-02,$next_year-1-5 09:00,28,$next_year-02-02 09:00,标准养护,5,2,上批 复检,"
printf '%s\r\n,,,,,,,,,,' "$older" | gbk > "$entry/a.bz"
machine_run='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
user_run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
for key in "$machine_run" "$user_run"; do # left by a run that was cut short
  timeout 30 wine reg delete "$key" /v Tarvelin /f >/dev/null 2>&1 || true
done

TARVELIN_DATA_DIR="$entry" wine "$programs/Tarvelin.exe" >/dev/null 2>&1 &
tarvelin=$!
pids+=("$tarvelin")
waitfor 60 xdotool search --onlyvisible --name "$caption" ||
  fail "the main window did not appear"
main=$(xdotool search --onlyvisible --name "$caption" | head -1)
keys() { xdotool key --delay 60 "$@"; }
# The main window's menus from the left, and the items picked here from the top, as
# Form1::buildMenus makes them (the keys pass over separators).
menu_bar=(菜单 运行 数据编辑 软件设置 帮助)
declare -A menu_items=([数据编辑/插入数据]=2 [软件设置/设置]=1)
# menu MENU/ITEM: picks the item with the keyboard.
menu() {
  local presses=(alt) i
  for i in "${!menu_bar[@]}"; do
    [ "${menu_bar[$i]}" != "${1%/*}" ] || break
    presses+=(Right)
  done
  for (( i = 0; i < ${menu_items[$1]}; i++ )); do presses+=(Down); done
  keys "${presses[@]}" Return
}
# The tab orders of the entry form (Form2) and of the settings window (Form4).
form2_tabs=(Text1 Combo2 Text3 Combo1 Text8 Text9 DTPicker1 Text4 Text5 Text6 Command3 Text2
            Text11 Text7 Text10 Command1 Command2)
form4_tabs=(Text1 Check1 Command1)
# opened TAB_ORDER...: a window opened with the keyboard in the first box of its tab order.
opened() { tab_order=("$@"); focus=$1; }
# tab_to BOX: Tab from the box that has the keyboard forwards to BOX.
tab_to() {
  local presses=() passed=no box
  for box in "${tab_order[@]}"; do
    if [ $passed = yes ]; then
      presses+=(Tab)
      [ "$box" != "$1" ] || break
    fi
    [ "$box" != "$focus" ] || passed=yes
  done
  [ "$box" = "$1" ] || fail "$1 does not come after $focus in the entry form's tab order"
  keys "${presses[@]}"
  focus=$1
}
# foreground CAPTION: Wine's foreground window's caption begins with CAPTION within 20 s.
foreground() { timeout 30 wine "$input" "$1"; }
typein() {
  timeout 30 wine "$input" "$1" "$2" || fail "could not type \"$2\" into the window \"$1\""
}

# 4a. The icon is added at start. With no tray on the X display, Wine shows the icons in a window
# of its own, "Wine System Tray", which it maps only while it holds an icon.
tray_window() { xdotool search --name '^Wine System Tray$' | head -1; }
viewable() { xwininfo -id "$1" | grep -q 'IsViewable'; }
tray_shown() { local t; t=$(tray_window) && [ -n "$t" ] && viewable "$t"; }
waitfor 30 tray_shown || fail "no tray icon: Wine's tray window \"Wine System Tray\" is not shown"
tray=$(tray_window)
echo "windows-e2e: the tray icon is in Wine's tray window"

# 2. A record typed into the entry form.
timeout 10 xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
foreground "$caption" || fail "the main window does not get the keyboard"
today=$(date +%F)
menu 数据编辑/插入数据
form2="增添提醒数据"
foreground "$form2" || fail "数据编辑 → 插入数据 did not open the entry form"
opened "${form2_tabs[@]}"
typein "$form2" "1#楼 梁板"        # 工程部位
tab_to Text3                      # Combo2 keeps C30
typein "$form2" "P-07"            # 配合比编号
tab_to Combo1 && keys ctrl+a
typein "$form2" "同级养护"        # 养护方式, over its 标准养护
tab_to Text8
typein "$form2" "12m3"            # 工程量
tab_to Text9
typein "$form2" "3"               # 组数
tab_to Text4 && keys ctrl+a       # DTPicker1 keeps today
typein "$form2" "08"              # hour
tab_to Text5 && keys ctrl+a
typein "$form2" "30"              # minute
tab_to Text6
typein "$form2" "28"              # 龄期
tab_to Command3 && keys space     # "?" computes the due time into Text7
tab_to Text10
typein "$form2" "加急 复检（抗渗）" # 备注
tab_to Command1 && keys Return    # 添加
foreground "信息" || fail "添加 did not confirm \"此条信息添加完成！\" (the window above is in front)"
# The expected file for the day the form was opened on (or the next, at midnight).
expected_file() {
  local made due
  made=$(date -d "$1" '+%Y-%-m-%-d')
  due=$(date -d "$1 +28 days" +%F)
  printf '%s\r\n%s\r\n,,,,,,,,,,' "$older" \
    "1#楼 梁板,C30,P-07,$made 08:30,28,$due 08:30,同级养护,12m3,3,加急 复检（抗渗）," | gbk
}
if ! cmp -s <(expected_file "$today") "$entry/a.bz" &&
   ! cmp -s <(expected_file "$(date +%F)") "$entry/a.bz"; then
  echo "expected (as code page 936):"
  expected_file "$today" | iconv -f CP936 -t UTF-8
  echo
  echo "a.bz holds:"
  iconv -c -f CP936 -t UTF-8 "$entry/a.bz"
  echo
  fail "the record typed into the entry form is not in a.bz byte for byte as code page 936"
fi
echo "windows-e2e: the record typed into the entry form is in a.bz byte for byte in code page 936"
not_shown "Chinese typed through an input method; the entry form got it as Unicode key input"
keys Return                       # the confirmation
foreground "$form2" || fail "the confirmation did not give the entry form back"
keys Escape                       # hides the form
foreground "$caption" || fail "Escape did not close the entry form"

# 3. Start with Windows.
run_value() {
  timeout 30 wine reg query "$1" /v Tarvelin 2>/dev/null | iconv -f CP936 -t UTF-8 |
    tr -d '\r' | sed -n 's/^ *Tarvelin *REG_SZ *//p'
}
registered() { [ -n "$(run_value "$machine_run")$(run_value "$user_run")" ]; }
unregistered() { ! registered; }
menu 软件设置/设置
foreground "设置" || fail "软件设置 → 设置 did not open the settings window"
opened "${form4_tabs[@]}"
tab_to Check1 && keys space       # 设置开机自启动, checked
waitfor 20 registered || fail "设置开机自启动 wrote no Tarvelin value under $machine_run or $user_run"
command="\"$(winepath -w "$programs/Tarvelin.exe")\""
key=$machine_run
value=$(run_value "$machine_run")
if [ -z "$value" ]; then
  key=$user_run
  value=$(run_value "$user_run")
fi
[ "$value" = "$command" ] || fail "the Run value under $key is [$value], not [$command]"
echo "windows-e2e: 设置开机自启动 wrote Tarvelin = $value under $key"
if [ "$key" = "$machine_run" ]; then
  not_shown "the current user's Run key taken when the machine-wide one is refused (Wine lets every user write HKLM)"
else
  not_shown "the machine-wide Run key (Wine refused it here)"
fi
foreground "设置" || fail "a message box came up after 设置开机自启动"
keys space                        # unchecked
waitfor 20 unregistered || fail "unchecking 设置开机自启动 left the Run value under $key"
echo "windows-e2e: unchecking 设置开机自启动 removes the Run value"
keys Escape
foreground "$caption" || fail "Escape did not close the settings window"

# 4b. Minimised, the window leaves the screen and the taskbar; the icon brings it back.
hidden() {
  ! viewable "$main" && ! xprop -id "$main" WM_STATE | grep -q 'window state' &&
    ! xprop -root _NET_CLIENT_LIST | grep -qiw "$(printf '0x%x' "$main")"
}
xdotool windowminimize "$main"
waitfor 20 hidden || fail "minimised, the main window is still on the screen or in the taskbar"
xdotool mousemove --window "$tray" 10 10 click 1
waitfor 20 viewable "$main" || fail "a click on the tray icon did not bring the main window back"
foreground "$caption" || fail "the main window brought back from the tray is not in front"
echo "windows-e2e: minimised, the window hides; a click on the tray icon brings it back"
xdotool windowminimize "$main"
waitfor 20 hidden || fail "minimised again, the main window did not hide"
xdotool mousemove --window "$tray" 10 10 click 3
tray_menu() {
  local w
  for w in $(xdotool search --onlyvisible --class '^tarvelin\.exe$'); do
    [ "$w" = "$main" ] || echo "$w"
  done | head -1
}
menu_shown() { [ -n "$(tray_menu)" ]; }
waitfor 20 menu_shown || fail "a right click on the tray icon popped up no menu"
hidden || fail "the tray icon's menu showed the hidden main window"
menu=$(tray_menu)
eval "$(xdotool getwindowgeometry --shell "$menu")"
# 退出 is the menu's last item.
xdotool mousemove --window "$menu" $(( WIDTH / 2 )) $(( HEIGHT - 14 )) click 1
tarvelin_ended() { ! kill -0 "$tarvelin"; }
waitfor 20 tarvelin_ended || fail "退出 in the tray icon's menu did not end Tarvelin"
echo "windows-e2e: the tray icon's menu pops up with the window hidden, and its 退出 ends Tarvelin"
not_shown "that the icon goes at exit before the program ends (Wine drops an ended program's icons itself)"
