#!/usr/bin/env bash
# Starts and stops a virtual X display (Xvfb) so that the Windows programs can run headless.
# The server picks a free display number itself (-displayfd), so parallel runs never collide.
set -euo pipefail

usage() {
  cat >&2 <<'EOF'
usage: xvfb.sh check           exit 0 if $DISPLAY names an X server that answers
       xvfb.sh start           start a server; print "export DISPLAY=:N; XVFB_PID=PID" for eval
       xvfb.sh stop PID        stop the server started with that pid
       xvfb.sh run CMD [ARG..] run one command with a server of its own, return its code
EOF
  exit 2
}

display_answers() {
  [[ -n ${DISPLAY:-} ]] && timeout 10 xdpyinfo >/dev/null 2>&1
}

# Prints "NUMBER PID" once the new server accepts connections.
start_server() {
  local number_file pid number=""
  number_file=$(mktemp)
  # The server's output goes to /dev/null so that $(xvfb.sh start) returns at once.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$number_file" </dev/null >/dev/null 2>&1 &
  pid=$!
  for _ in $(seq 200); do
    # The number is written, newline-terminated, when the server is ready.
    if [[ $(wc -l <"$number_file") -ge 1 ]]; then
      number=$(head -n1 "$number_file")
      break
    fi
    if ! kill -0 "$pid" 2>/dev/null; then
      break
    fi
    sleep 0.05
  done
  rm -f "$number_file"
  if [[ ! $number =~ ^[0-9]+$ ]]; then
    kill "$pid" 2>/dev/null || true
    echo "xvfb.sh: Xvfb did not start" >&2
    return 1
  fi
  echo "$number $pid"
}

stop_server() {
  local pid=$1
  [[ $pid =~ ^[0-9]+$ ]] || usage
  # Only ever signal a process that is still the Xvfb we started.
  if [[ $(cat "/proc/$pid/comm" 2>/dev/null) != Xvfb ]]; then
    return 0
  fi
  kill "$pid" 2>/dev/null || true
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.05
  done
  kill -9 "$pid" 2>/dev/null || true
}

[[ $# -ge 1 ]] || usage
verb=$1
shift
case $verb in
  check)
    display_answers
    ;;
  start)
    read -r number pid < <(start_server)
    echo "export DISPLAY=:$number; XVFB_PID=$pid"
    ;;
  stop)
    [[ $# -eq 1 ]] || usage
    stop_server "$1"
    ;;
  run)
    [[ $# -ge 1 ]] || usage
    read -r number pid < <(start_server)
    trap 'stop_server "$pid"' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
    export DISPLAY=":$number"
    status=0
    "$@" || status=$?
    exit "$status"
    ;;
  *)
    usage
    ;;
esac
