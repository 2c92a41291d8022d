#!/usr/bin/env bash
# One Wine test: the 64-bit plug-in in the test host, in the session wine_session.sh started.
#   wine_case.sh STATE_FILE BUILD_DIR CASE
# Each case copies the library, its readme and its wallpaper into a folder of its own (so the
# settings file it leaves is its own), runs the host, and checks what the host printed and
# what the plug-in wrote. Exit 0 passed, 1 failed, 77 skipped (Wine could not start).
set -uo pipefail
state=$1
build=$2
case_name=$3
soak_frames=${CORVEX_SOAK_FRAMES:-20000}

source "$state" 2>/dev/null || { echo "no Wine session (its setup did not run)"; exit 1; }
if [[ -n "${CORVEX_WINE_SKIP:-}" ]]; then
  echo "skipped: $CORVEX_WINE_SKIP"
  exit 77
fi

folder="$CORVEX_WINE_ROOT/$case_name"
rm -rf "$folder"
mkdir -p "$folder"
trap 'rm -rf "$folder"' EXIT
cp "$build/src/vis_corvex.dll" "$build/src/vis_corvex.txt" "$build/src/vis_corvex.bmp" "$folder/"
cp "$build/apps/testhost/testhost.exe" "$folder/"
ini="$folder/vis_corvex.ini"
log="$folder/host.log"
failures=0

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# The settings a user would have left: Display_Mode and Resolution_Mode.
settings() {
  printf '[Corvex v1.07]\r\nDisplay_Mode=%s\r\nResolution_Mode=%s\r\n' "$1" "$2" >"$ini"
}

# Runs the host on the library of this case; its output (with the console's carriage returns
# taken out) goes to the log and to ours.
host() {
  local limit=$1
  shift
  (cd "$folder" && timeout "$limit" wine testhost.exe 'vis_corvex.dll' "$@") >"$log.raw" 2>&1
  local status=$?
  tr -d '\r' <"$log.raw" >"$log"
  sed 's/^/  | /' "$log"
  echo "host status $status"
  return $status
}

expect() {
  grep -Eq -- "$1" "$log" || fail "expected a line matching '$1'"
}

expect_not() {
  ! grep -Eq -- "$1" "$log" || fail "expected no line matching '$1'"
}

ini_value() {
  tr -d '\r' <"$ini" 2>/dev/null | sed -n "s/^$1=//p" | head -1
}

# Quit wrote the twelve keys, in order, into the plug-in's section.
expect_settings_saved() {
  local keys
  keys=$(tr -d '\r' <"$ini" 2>/dev/null | sed -n '/^\[Corvex v1.07\]$/,/^\[/p' | sed -n 's/=.*//p' | paste -sd' ')
  [[ "$keys" == "Display_Mode Resolution_Mode Frames_Per_Scene Minimize_Winamp Use_Delay Prefered_Renderer Prefered_Transform Show_Song_Title Window_Pos_X Window_Pos_Y Renderer_Choice Transform_Choice" ]] ||
    fail "the settings file's section holds '$keys', not the twelve keys in order"
}

expect_clean_run() {
  expect "^header version 257 'Corvex v1.07'; module 'Corvex v1.07'; second module none$"
  expect '^init 0$'
  expect '^quit 0$'
  expect '^host exits 0$'
  expect_not 'message box'
  expect_settings_saved
}

# A screenshot of the whole Xvfb screen, kept in the build folder to be looked at. `expected`
# says what it must show: "picture" (not blank: more than two colours; the scene is chosen at
# random, and one of thin lines without trails on black has as few as seven), "wallpaper"
# (the plug-in's green wallpaper over the desktop: pure green in the middle, nearly all green
# on average, whatever the taskbar adds) or "desktop" (that wallpaper gone).
screenshot() {
  local name=$1 expected=$2
  local picture="$build/tests/wine/$name.png"
  if ! import -display "$DISPLAY" -window root "$picture" 2>/dev/null; then
    fail "no screenshot could be taken of $DISPLAY"
    return
  fi
  echo "screenshot: $picture"
  local colours mean centre
  colours=$(identify -format '%k' "$picture")
  centre=$(identify -format '%[fx:int(255*p{512,384}.r)],%[fx:int(255*p{512,384}.g)],%[fx:int(255*p{512,384}.b)]' "$picture")
  mean=$(identify -format '%[fx:int(255*mean.r)],%[fx:int(255*mean.g)],%[fx:int(255*mean.b)]' "$picture")
  case "$expected" in
  picture) [[ "$colours" -gt 2 ]] || fail "the screenshot $picture has only $colours colours" ;;
  wallpaper) [[ "$centre" == "0,255,0" && "$mean" =~ ^([0-9]|1[0-9]),2[4-5][0-9],([0-9]|1[0-9])$ ]] ||
    fail "the screenshot $picture is not the green wallpaper (centre $centre, mean $mean)" ;;
  desktop) [[ "$centre" != "0,255,0" ]] || fail "the green wallpaper is still set in $picture" ;;
  esac
}

# Runs the host in the background and takes a screenshot once it has drawn `after` frames.
host_with_screenshot() {
  local name=$1 expected=$2 after=$3
  shift 3
  (cd "$folder" && timeout 180 wine testhost.exe 'vis_corvex.dll' "$@") >"$log.raw" 2>&1 &
  local pid=$!
  for _ in $(seq 1200); do
    grep -q "^frame $after" "$log.raw" && break
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  screenshot "$name" "$expected"
  wait $pid
  local status=$?
  tr -d '\r' <"$log.raw" >"$log"
  sed 's/^/  | /' "$log"
  echo "host status $status"
  return $status
}

case "$case_name" in
windowed_keys)
  # Windowed, 300 frames, keys pressed into the plug-in's window and their effects seen.
  settings 1 -1
  host_with_screenshot windowed picture 200 --frames 300 --key 10:space --key 20:f4 --key 30:f5 \
    --key 40:f7 --key 50:f9 --key 60:x --key 70:tab --key 290:esc
  expect_clean_run
  expect '^host key 256 88$'                     # X is the player's key: handed on
  expect '^window appeared: Corvex Configuration Panel$'  # Tab opened the panel
  expect '^window closed: Corvex Configuration Panel$'    # and Quit closed it
  expect '^quit message 0$'                      # Esc asked the player to end the plug-in
  expect '^frames 29[0-9]$'
  [[ "$(ini_value Display_Mode)" == 1 ]] || fail "Display_Mode is $(ini_value Display_Mode), not 1"
  [[ "$(ini_value Show_Song_Title)" == 0 ]] || fail "F9 did not switch the song title off"
  [[ "$(ini_value Prefered_Renderer)" =~ ^([0-9]|1[0-3])$ ]] || fail "F7 did not lock a renderer"
  ;;
full_screen)
  # Full screen, then Alt+Enter: the mode saved is the one applied last, windowed.
  settings 0 -1
  host_with_screenshot full_screen picture 100 --frames 300 --key 150:alt+enter
  expect_clean_run
  expect '^frames 300$'
  [[ "$(ini_value Display_Mode)" == 1 ]] || fail "Alt+Enter from full screen did not leave windowed mode"
  ;;
background)
  settings 2 -1
  # Wine has no overlay, so what shows is the wallpaper the plug-in sets: the colour key's
  # green over the whole desktop. Quit puts the user's desktop back.
  host_with_screenshot background wallpaper 100 --frames 300 --key 120:f4
  screenshot background_after_quit desktop
  expect_clean_run
  expect '^frames 300$'
  [[ "$(ini_value Display_Mode)" == 2 ]] || fail "Display_Mode is $(ini_value Display_Mode), not 2"
  ;;
config_alone)
  # The player's configuration command: the About box with the readme, closed with OK.
  host 60 --config-only --press-ok
  expect '^window appeared: About Corvex$'
  expect '^about version: Version v1.07$'
  expect '^about readme: Corvex v1.07 - a music visualization plug-in$'
  expect '^config returned$'
  expect '^host exits 0$'
  [[ ! -e "$ini" ]] || fail "Config alone wrote a settings file"
  ;;
render_thread)
  settings 1 -1
  host 120 --frames 300 --render-thread --key 50:f9
  expect_clean_run
  expect '^frames 300$'
  [[ "$(ini_value Show_Song_Title)" == 0 ]] || fail "F9, pumped by Init's thread, was not seen"
  ;;
silent_host)
  settings 1 -1
  host 120 --frames 300 --silent-host
  expect_clean_run
  expect '^frames 300$'
  ;;
config_before_init)
  settings 1 -1
  host 120 --config-first --press-ok --frames 100
  expect '^config returned$'
  expect_clean_run
  expect '^frames 100$'
  ;;
host_window_destroyed)
  # The player's window goes first; then the plug-in's own window is closed, which asks for
  # the end, but this host goes on calling Render until its frames are done: those frames are
  # skipped, with no error box, and Quit still saves the settings.
  settings 1 -1
  host 120 --frames 300 --destroy-host-at 100 --close-plugin-at 150 --ignore-quit --press-ok
  expect '^host window destroyed$'
  expect '^quit message 0$'
  expect '^window closed: Corvex v1.07$'
  expect '^frames 300$'
  expect_clean_run
  ;;
soak)
  # Many frames in one process; then many Init/Quit cycles with nothing left behind.
  settings 1 -1
  host 1800 --frames "$soak_frames"
  expect_clean_run
  expect "^frames $soak_frames$"
  ;;
cycles)
  settings 1 -1
  host 900 --frames 30 --cycles 20 --usage
  expect '^host exits 0$'
  expect_not 'message box'
  [[ $(grep -c '^init 0$' "$log") == 20 ]] || fail "not 20 successful Init calls"
  expect_settings_saved
  # Cycle 0 sets up what stays (DirectDraw, fonts, caches); after it nothing may grow.
  # (Wine answers 0 for the process's GDI and USER object counts: the host counts kernel
  # handles, its windows and its committed memory itself.)
  usage() { sed -n "s/^usage cycle=$1 handles=\([0-9]*\) windows=\([0-9]*\) private_kb=\([0-9]*\)$/\1 \2 \3/p" "$log"; }
  read -r first_handles first_windows first_kb < <(usage 1)
  read -r last_handles last_windows last_kb < <(usage 19)
  if [[ -z "${first_handles:-}" || -z "${last_handles:-}" ]]; then
    fail "no usage figures for cycles 1 and 19"
  else
    ((first_handles > 0 && first_windows > 0 && first_kb > 0)) || fail "usage figures of 0 measure nothing"
    ((last_handles <= first_handles + 2)) || fail "handles grew from $first_handles to $last_handles"
    ((last_windows <= first_windows)) || fail "windows grew from $first_windows to $last_windows"
    ((last_kb <= first_kb + 4096)) || fail "private memory grew from ${first_kb} KiB to ${last_kb} KiB"
  fi
  ;;
impossible_resolution)
  # The Xvfb screen itself, without the virtual desktop, offers one size (1024x768): the
  # 480-line resolution that unset settings ask for is impossible there. The error box shows
  # the exact text, the test presses OK, and the process ends with status 0.
  wine reg delete 'HKCU\Software\Wine\Explorer' /v Desktop /f >/dev/null 2>&1
  wineserver -k
  settings 1 -1
  host 120 --frames 100 --press-ok
  status=$?
  wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  wineserver -k
  expect '^message box Error: No available resolutions$'
  expect_not '^init 0$'
  expect_not '^host exits'  # the plug-in ended the process from inside Init
  [[ $status == 0 ]] || fail "the process ended with status $status, not 0"
  if grep -q Frames_Per_Scene "$ini"; then fail "a failed start saved settings"; fi
  ;;
*)
  echo "no such case: $case_name"
  exit 1
  ;;
esac

if ((failures > 0)); then
  echo "$case_name: $failures check(s) failed"
  exit 1
fi
echo "$case_name: passed"
