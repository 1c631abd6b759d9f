#!/usr/bin/env bash
# How soon after hh:mm:00 a record due at hh:mm pops up, with the real programs under Xvfb at the
# default interval: each trial starts Tarvelin with one record due at a minute at least 15 s away
# and reads when vexa was started from /proc (10 ms resolution). Linux only.
#   bash tools/popup-timeliness.sh [build/dev/bin] [trials, 3]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/dev/bin}")
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export TARVELIN_DATA_DIR="$data" QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
unset VEXA_QUIT_AFTER_MS

for _ in $(seq "${2:-3}"); do
    rm -f "$data"/*
    due=$(( ($(date +%s) + 15) / 60 * 60 + 60 ))
    python3 - "$data/a.bz" "$(date -d "@$due" '+%Y-%m-%d %H:%M')" <<'PY'
import sys
fields = ["梁1", "C30", "P-01", "2026-12-1 8:30", "5", sys.argv[2], "标准养护", "12", "3", "", ""]
open(sys.argv[1], "wb").write((",".join(fields) + "\r\n" + "," * 10).encode("gbk"))
PY
    setsid xvfb-run -a "$bin/Tarvelin" >/dev/null 2>&1 &
    session=$!
    while (( $(date +%s) < due + 4 )); do sleep 0.5; done
    popup=$(pgrep -f "^$bin/vexa" | head -1 || true)
    if [[ -z $popup ]]; then
        echo "$(date -d "@$due" '+%H:%M'): no popup"
    else
        python3 - "$popup" "$due" <<'PY'
import os, sys, time
fields = open(f"/proc/{sys.argv[1]}/stat").read().rsplit(")", 1)[1].split()
started = int(fields[19]) / os.sysconf("SC_CLK_TCK")  # seconds since boot
wall = time.time() - (time.clock_gettime(time.CLOCK_BOOTTIME) - started)
print(time.strftime("%H:%M", time.localtime(int(sys.argv[2]))),
      f"popup started {wall - int(sys.argv[2]):.2f} s after the minute began")
PY
        kill "$popup"
    fi
    kill -- -"$session"
    sleep 1
done
