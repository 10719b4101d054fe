#!/bin/sh
# End-to-end runs of the desktop program in a real X server (Xvfb): the plot
# window, the geometry question where the run asks for it, the answers "H"
# and "E" with the files they leave, the question cancelled by destroying its
# window or by closing the plot window with Escape or Alt+F4, the over-long
# contour message without the window, an error shown in a message box, and
# the design studio on the example (whole, zoomed to the propeller, measuring,
# with an overlap failing the rules in red, and a file with a missing value
# open as text with its line marked), quit with Ctrl+Q without writing
# anything. With openbox installed the studio runs under a window manager, as
# on a desktop (the plot window's checks place it without one).
#
# Usage: desktop_end_to_end.sh PROPCLEAR EXAMPLES_DIR OUTPUT_DIR
# Screenshots go to OUTPUT_DIR. Exits 77 (skipped) only when Xvfb cannot start.

set -u
propclear=$1
examples=$2
output=$3

skipped=77
timeout_seconds=30
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

if ! command -v Xvfb >/dev/null 2>&1; then
  echo "SKIP: Xvfb cannot start: it is not installed (Debian package xvfb)"
  exit "$skipped"
fi
for tool in xdotool import convert; do
  command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing (xdotool, imagemagick)"; exit 1; }
done

work=$(mktemp -d)
mkdir -p "$output"
xvfb_pid=
run_pid=
cleanup() {
  [ -n "$run_pid" ] && kill "$run_pid" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT INT TERM

# Xvfb picks a free display number itself and writes it once it accepts
# connections; without TCP only local clients can reach it. -noreset: by
# default the server resets when its last client leaves, and a run that
# connects during the reset finds no display.
Xvfb -displayfd 9 -noreset -nolisten tcp -screen 0 1280x1024x24 9>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
waited=0
while [ ! -s "$work/display" ]; do
  if ! kill -0 "$xvfb_pid" 2>/dev/null || [ "$waited" -ge 100 ]; then
    echo "SKIP: Xvfb cannot start:"
    cat "$work/xvfb.log"
    exit "$skipped"
  fi
  sleep 0.1
  waited=$((waited + 1))
done
DISPLAY=":$(cat "$work/display")"
export DISPLAY
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
echo "Xvfb on display $DISPLAY"
wm_pid=""

# A fresh folder holding the example design.
new_folder() {
  folder="$work/$1"
  mkdir -p "$folder"
  cp "$examples/Norvalek.TSK" "$folder/"
  echo "$folder"
}

start_run() {
  (cd "$1" && exec "$propclear") >"$1/terminal.txt" 2>&1 &
  run_pid=$!
}

# The id of the run's first visible window whose title matches the pattern
# $1, waiting for it. Searched afresh every 0.2 s rather than with
# `xdotool search --sync`, which gives up at once when a window it looks at
# is destroyed during the search (a busy machine opens and closes several).
find_window_matching() {
  tries=0 id=""
  while [ -z "$id" ] && [ "$tries" -lt $((timeout_seconds * 5)) ] && kill -0 "$run_pid" 2>/dev/null; do
    id=$(xdotool search --all --onlyvisible --pid "$run_pid" --name "$1" 2>/dev/null | head -n 1)
    [ -n "$id" ] || sleep 0.2
    tries=$((tries + 1))
  done
  echo "$id"
}

# The id of the run's visible window titled exactly $1, waiting for it.
find_window() {
  find_window_matching "^$1\$"
}

# Prints "X Y WIDTH HEIGHT" of window $1.
window_geometry() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}

expect_position() {
  set -- "$1" "$2" $(window_geometry "$1")
  [ "$3 $4" = "$2" ] || fail "$what: window at $3 $4, expected $2"
}

answer() {
  xdotool windowfocus --sync "$1"
  [ -n "$2" ] && xdotool type --delay 40 "$2"
  xdotool key Return
}

# Waits for the run to end and checks its exit status.
expect_exit() {
  waited=0
  while kill -0 "$run_pid" 2>/dev/null && [ "$waited" -lt $((timeout_seconds * 10)) ]; do
    sleep 0.1
    waited=$((waited + 1))
  done
  if kill -0 "$run_pid" 2>/dev/null; then
    fail "$what: the run did not end"
    kill "$run_pid"
  fi
  wait "$run_pid"
  status=$?
  run_pid=
  [ "$status" -eq "$1" ] || fail "$what: exit status $status, expected $1"
}

expect_completed_report() {
  [ "$(tr -cd '\n' <"$folder/Norvalek.SON" | wc -c)" -eq 38 ] || fail "$what: Norvalek.SON is not the 38-line report"
}

# Whether the screenshot $1 shows colour $2 (hex RGB) inside the region $3.
shows_colour() {
  convert "$1" -crop "$3" +repage -format %c histogram:info:- | grep -qi "#$2"
}

question='KIC BODOSLAMA GEOMETRISINDE YANLISLIK VAR MI E\/H <H>'
plot_title='KIC BODOSLAMA GEOMETRISI'

# The plot window with the question over it; answered with $1.
run_with_answer() {
  what="answer $1"
  folder=$2
  start_run "$folder"
  dialog=$(find_window ' ')
  if [ -z "$dialog" ]; then
    fail "$what: the geometry question never appeared"
    return
  fi
  expect_position "$dialog" "266 566"
  plot=$(xdotool search --all --onlyvisible --pid "$run_pid" --name "^$plot_title\$" | head -n 1)
  if [ -z "$plot" ]; then
    fail "$what: no plot window while the question is open"
  else
    set -- "$1" $(window_geometry "$plot")
    [ "$4 $5" = "716 472" ] || fail "$what: plot window is $4 x $5, expected 716 x 472"
    shot="$output/question-$1.png"
    import -window root "$shot"
    # Frame and contour (light magenta), base line (light green), labels (blue).
    for colour in FF55FF 55FF55 0000AA; do
      shows_colour "$shot" "$colour" "${4}x${5}+${2}+${3}" || fail "$what: no #$colour in the plot window ($shot)"
    done
    echo "screenshot: $shot"
  fi
  answer "$dialog" "$1"
}

folder=$(new_folder completed)
run_with_answer H "$folder"
expect_exit 0
expect_completed_report
[ -s "$folder/Norvalek.SCR" ] || fail "$what: Norvalek.SCR is missing or empty"

folder=$(new_folder wrong-geometry)
printf 'an earlier script\r\n' >"$folder/Norvalek.SCR"
printf 'an earlier report\r\n' >"$folder/Norvalek.SON"
cp "$folder/Norvalek.SCR" "$work/earlier.SCR"
run_with_answer E "$folder"
expect_exit 3
[ -f "$folder/Norvalek.SON" ] && [ ! -s "$folder/Norvalek.SON" ] || fail "$what: Norvalek.SON is not there and empty"
cmp -s "$folder/Norvalek.SCR" "$work/earlier.SCR" || fail "$what: the earlier Norvalek.SCR was changed"

# The question's window destroyed from outside (as a window manager's forced
# close does) counts as cancel, which goes on like "H".
what="question window destroyed"
folder=$(new_folder destroyed-question)
start_run "$folder"
dialog=$(find_window ' ')
if [ -z "$dialog" ]; then
  fail "$what: the geometry question never appeared"
else
  xdotool windowclose "$dialog"
fi
expect_exit 0
expect_completed_report

# Escape and Alt+F4 close the plot window, also without a window manager;
# closing it while the question waits cancels the question.
for keys in Escape alt+F4; do
  what="$keys on the plot window"
  folder=$(new_folder "plot-window-$keys")
  start_run "$folder"
  plot=$(find_window "$plot_title")
  if [ -z "$plot" ] || [ -z "$(find_window ' ')" ]; then
    fail "$what: no plot window with the question over it"
  else
    xdotool windowfocus --sync "$plot"
    xdotool key "$keys"
  fi
  expect_exit 0
  expect_completed_report
done

# A contour without its terminator: the message comes without the window.
what="over-long contour"
folder="$work/long-contour"
mkdir -p "$folder"
sed '/^0.300, 1.800, 1/,$d' "$examples/Norvalek.TSK" >"$folder/Norvalek.TSK"
i=1
while [ "$i" -le 260 ]; do
  printf '%s.000, 3.000, 1\r\n' "$i" >>"$folder/Norvalek.TSK"
  i=$((i + 1))
done
start_run "$folder"
message=$(find_window 'Kic geometrisi fazla data noktasi hatasi')
if [ -z "$message" ]; then
  fail "$what: the message never appeared"
else
  expect_position "$message" "266 400"
  [ -z "$(xdotool search --all --onlyvisible --pid "$run_pid" --name "^$plot_title\$")" ] ||
    fail "$what: the plot window is shown"
  import -window root "$output/long-contour.png"
  answer "$message" ""
fi
expect_exit 2
[ ! -e "$folder/Norvalek.SON" ] || fail "$what: Norvalek.SON was created"

# No design file: the error is also shown in a message box.
what="missing design file"
folder="$work/no-design"
mkdir -p "$folder"
start_run "$folder"
box=$(find_window 'propclear')
if [ -z "$box" ]; then
  fail "$what: no error message box"
else
  import -window root "$output/error.png"
  answer "$box" ""
fi
expect_exit 1

# The design studio on $2 in folder $1, screenshot as $3 once its window is up.
studio_shot() {
  (cd "$1" && exec env XDG_CONFIG_HOME="$1/config" "$propclear" --edit "$2") >"$1/terminal.txt" 2>&1 &
  run_pid=$!
  studio=$(find_window_matching "^${2%.TSK}\\.TSK.*propclear studio")
  if [ -z "$studio" ]; then
    fail "$what: the studio window never appeared"
    return 1
  fi
  sleep 0.5
  import -window root "$output/$3"
  echo "screenshot: $output/$3"
}

# Quits the studio with Ctrl+Q: nothing unsaved, so nothing is asked.
quit_studio() {
  xdotool windowfocus --sync "$studio"
  xdotool key ctrl+q
  expect_exit 0
}

if command -v openbox >/dev/null 2>&1; then
  openbox >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  sleep 0.5
fi

what="studio"
folder=$(new_folder studio)
cp "$examples/Norvalek.ship.toml" "$folder/"
cp "$folder/Norvalek.TSK" "$work/studio-original.TSK"
if studio_shot "$folder" Norvalek.TSK studio-full.png; then
  # The print palette: contour and rudder (near-black), blades (blue); rule
  # lines below their minimum (red).
  for colour in 202020 1F4E9A C00000; do
    shows_colour "$output/studio-full.png" "$colour" "1280x1024+0+0" ||
      fail "$what: no #$colour in the studio ($output/studio-full.png)"
  done
  xdotool windowfocus --sync "$studio"
  xdotool key p
  sleep 0.5
  import -window root "$output/studio-propeller.png"
  echo "screenshot: $output/studio-propeller.png"
  cmp -s "$output/studio-full.png" "$output/studio-propeller.png" && fail "$what: P did not zoom"
  # M, then two clicks: the measurement in blue, with its figures.
  xdotool key m
  xdotool mousemove --window "$studio" 450 420 click 1 mousemove --window "$studio" 560 600 click 1
  sleep 0.5
  import -window root "$output/studio-measure.png"
  echo "screenshot: $output/studio-measure.png"
  shows_colour "$output/studio-measure.png" 0050C0 "1280x1024+0+0" ||
    fail "$what: no measurement drawn ($output/studio-measure.png)"
  quit_studio
fi
cmp -s "$folder/Norvalek.TSK" "$work/studio-original.TSK" || fail "$what: the design file was changed"
[ ! -e "$folder/Norvalek.SON" ] && [ ! -e "$folder/Norvalek.SCR" ] || fail "$what: quitting wrote outputs"

# The propeller moved aft into the stern frame: clearance a overlaps.
what="studio overlap"
folder=$(new_folder studio-overlap)
sed 's/^4.000, 2.800/2.800, 2.800/' "$examples/Norvalek.TSK" >"$folder/Overlap.TSK"
cp "$examples/Norvalek.ship.toml" "$folder/Overlap.ship.toml"
if studio_shot "$folder" Overlap.TSK studio-overlap.png; then
  shows_colour "$output/studio-overlap.png" C00000 "1280x1024+0+0" ||
    fail "$what: no failing rule in red ($output/studio-overlap.png)"
  quit_studio
fi

# A value missing: the file opens as text, its fault's line marked.
what="studio broken file"
folder=$(new_folder studio-broken)
sed 's/^4.600, 0.850/4.600/' "$examples/Norvalek.TSK" >"$folder/Broken.TSK"
if studio_shot "$folder" Broken.TSK studio-broken.png; then
  shows_colour "$output/studio-broken.png" FFD8D8 "1280x1024+0+0" ||
    fail "$what: no marked line ($output/studio-broken.png)"
  quit_studio
fi

if [ "$failures" -gt 0 ]; then
  echo "$failures check(s) failed; terminal output of the runs:"
  for log in "$work"/*/terminal.txt; do echo "== $log"; cat "$log"; done
  exit 1
fi
echo "all desktop checks passed"
