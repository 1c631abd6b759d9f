#!/usr/bin/env bash
# Installs a Tarvelin .deb on this machine, starts the installed program as a fresh user under
# Xvfb, takes a screenshot, checks where the data went and that a second start ends at once,
# then removes the package again. Needs root (apt-get), xvfb-run and ImageMagick's import.
#   bash tools/try-deb.sh build-p/tarvelin_<version>_amd64.deb [screenshot.png]
set -euo pipefail
deb=$(realpath "$1")
shot=$(realpath -m "${2:-tarvelin-installed.png}")

DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >/dev/null
trap 'DEBIAN_FRONTEND=noninteractive apt-get purge -y tarvelin >/dev/null' EXIT

test "$(readlink -f /usr/bin/tarvelin)" = /usr/lib/tarvelin/Tarvelin
test -x /usr/lib/tarvelin/vexa
entry=/usr/share/applications/tarvelin.desktop
test -f "$entry"
# What the desktop menu runs and shows: the entry's Exec on PATH, its Icon in the icon theme.
exec_line=$(sed -n 's/^Exec=//p' "$entry")
command -v "$exec_line" >/dev/null
for size in 16 32 48 64 128 256; do
  test -f "/usr/share/icons/hicolor/${size}x${size}/apps/$(sed -n 's/^Icon=//p' "$entry").png"
done
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$entry"
fi

# A fresh user with one record due later today, so that the grid shows it.
home=$(mktemp -d)
trap 'rm -rf "$home"; DEBIAN_FRONTEND=noninteractive apt-get purge -y tarvelin >/dev/null' EXIT
data="$home/.local/share/Tarvelin"
mkdir -p "$data"
python3 - "$data/a.bz" <<'PY'
import datetime, sys
today = datetime.date.today().isoformat()
rows = [["三号楼基础", "C30", "P-01", f"{today} 08:30", "28", f"{today} 23:59", "标准养护",
         "12", "3", "加急", ""]]
text = "\r\n".join(",".join(r) for r in rows) + "\r\n" + "," * 10
open(sys.argv[1], "wb").write(text.encode("gbk"))
PY

export HOME="$home" XDG_DATA_HOME="" LC_ALL=C.UTF-8 TZ="${TZ:-Asia/Shanghai}" EXEC_LINE="$exec_line"
unset TARVELIN_DATA_DIR
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -e
  $EXEC_LINE & pid=$!
  for i in $(seq 50); do xdotool search --name "^Tarvelin V" >/dev/null 2>&1 && break; sleep 0.2; done
  sleep 1
  import -window root "$0"
  # A second start hands over to the first and ends with status 0.
  timeout 30 $EXEC_LINE
  echo "second start ended with status $?"
  kill -0 $pid
  kill $pid
' "$shot"

# The installed copy kept its data in the user folder, nothing beside the programs.
test "$(ls /usr/lib/tarvelin)" = "$(printf 'Tarvelin\ndata-in-user-folder.txt\nvexa')"
echo "installed, started and removed: screenshot in $shot"
