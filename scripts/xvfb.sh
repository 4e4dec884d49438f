# Sourced by run.sh and test.sh: starts Xvfb on the first free display from :90 on.
# On success DISPLAY is exported and xvfb_pid holds the server's process; on failure
# xvfb_pid is empty. $1 names the file that takes the server's output.
#
# A display counts as free only when neither its lock file, its socket file nor its
# abstract socket name exists: X clients try the abstract name first, so a server that
# holds only that name elsewhere would take our clients. Our server listens on the
# socket file alone, and it counts as started only once a real client has connected.

display_taken() {
  [ -e "/tmp/.X$1-lock" ] || [ -e "/tmp/.X11-unix/X$1" ] ||
    grep -q "@/tmp/.X11-unix/X$1\$" /proc/net/unix 2>/dev/null
}

display_answers() {
  if command -v xdpyinfo >/dev/null 2>&1; then
    DISPLAY=:$1 timeout 5 xdpyinfo >/dev/null 2>&1
  else
    DISPLAY=:$1 timeout 5 xdotool getdisplaygeometry >/dev/null 2>&1
  fi
}

start_xvfb() {
  local log=${1:-/dev/null} n
  xvfb_pid=
  for n in $(seq 90 199); do
    display_taken "$n" && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -nolisten local -noreset \
      </dev/null >>"$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do
      kill -0 "$xvfb_pid" 2>/dev/null || break
      [ -e "/tmp/.X11-unix/X$n" ] && display_answers "$n" && break
      sleep 0.1
    done
    if kill -0 "$xvfb_pid" 2>/dev/null && display_answers "$n"; then
      export DISPLAY=:$n
      return 0
    fi
    echo "xvfb.sh: display :$n did not answer; trying the next one" >&2
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=
  done
  return 1
}

# Prints what a failed run needs to tell a broken display from a broken program.
describe_display() {
  local log=$1
  echo "== display $DISPLAY (Xvfb pid ${xvfb_pid:-none})"
  if [ -n "${xvfb_pid:-}" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "   Xvfb is running"
  else
    echo "   Xvfb is NOT running"
  fi
  if display_answers "${DISPLAY#:}"; then
    echo "   a client can connect"
  else
    echo "   a client cannot connect:"
    DISPLAY=$DISPLAY timeout 5 xdpyinfo 2>&1 | head -3 | sed 's/^/     /'
  fi
  ls -la /tmp/.X11-unix/ 2>&1 | sed 's/^/   /'
  grep X11 /proc/net/unix 2>/dev/null | sed 's/^/   /'
  [ -s "$log" ] && { echo "   Xvfb said:"; tail -15 "$log" | sed 's/^/     /'; }
  return 0
}
