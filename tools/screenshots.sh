#!/usr/bin/env bash
# Takes the README's screenshots from the real programs under Xvfb: the main window with today's
# records and a row marked due, the popup of that row, and the entry form.
# Needs a build (build/dev by default), xvfb-run, xdotool and ImageMagick.
#   bash tools/screenshots.sh [build/dev/bin]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/dev/bin}")
out=$(realpath docs/screenshots)
mkdir -p "$out"
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export TARVELIN_DATA_DIR="$data" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8 TZ="${TZ:-Asia/Shanghai}"
unset VEXA_QUIT_AFTER_MS

# Four records due today; the second falls due in the minute the monitor first looks.
python3 - "$data/a.bz" <<'PY'
import datetime, sys
now = datetime.datetime.now()
due = now if now.second <= 40 else now + datetime.timedelta(minutes=1)
day = due.date().isoformat()
def made(days):
    return (due - datetime.timedelta(days=days)).strftime("%Y-%m-%d %H:%M")
rows = [
    ["三号楼基础", "C30", "P-01", made(28), "28", f"{day} 08:30", "标准养护", "12", "3", "", ""],
    ["五号楼二层柱", "C40", "P-07", made(7), "7", due.strftime("%Y-%m-%d %H:%M"), "标准养护", "6", "2", "加急", ""],
    ["地下车库顶板", "C35", "P-03", made(3), "3", f"{day} 23:10", "同条件", "9", "3", "", ""],
    ["二号楼楼梯", "C30", "P-02", made(28), "28", f"{day} 23:40", "标准养护", "3", "1", "复检", ""],
]
text = "\r\n".join(",".join(r) for r in rows) + "\r\n" + "," * 10
open(sys.argv[1], "wb").write(text.encode("gbk"))
PY

xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -euo pipefail
  bin=$1 out=$2
  shrink() { convert-im6.q16 "$1" -strip -colors 96 "PNG8:$2"; rm -f "$1"; }
  find_window() {
    for _ in $(seq 150); do
      id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1) && [ -n "$id" ] && { echo "$id"; return; }
      sleep 0.5
    done
    echo "no window $1" >&2; return 1
  }
  "$bin/Tarvelin" & pid=$!
  main=$(find_window "^Tarvelin V2")
  popup=$(find_window "数据提示")
  sleep 2 # the fade-in
  import -window "$main" /tmp/shot-main.png && shrink /tmp/shot-main.png "$out/main-window.png"
  import -window "$popup" /tmp/shot-popup.png && shrink /tmp/shot-popup.png "$out/popup.png"
  # 数据编辑 → 插入数据: the third menu of the bar, its second item.
  eval "$(xdotool getwindowgeometry --shell "$main")"
  xdotool mousemove $((X + 110)) $((Y + 9)) click 1
  sleep 0.5
  xdotool key Down Down Return
  form=$(find_window "增添提醒数据")
  sleep 1
  import -window "$form" /tmp/shot-form.png && shrink /tmp/shot-form.png "$out/entry-form.png"
  kill $pid
' bash "$bin" "$out"
ls -l "$out"
