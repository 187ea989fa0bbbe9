# Wine settings shared by wine-prefix.sh and wine-run.sh (sourced, not run): where prefixes
# live, quiet runs without first-start dialogs, and stopping every process of one prefix.
# shellcheck shell=bash

tess_repo_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TESS_WINE_ROOT=${TESS_WINE_ROOT:-$tess_repo_dir/build/wine}
tess_wine_template=$TESS_WINE_ROOT/template

# No debug channels (TESS_WINEDEBUG turns some back on). mscoree and mshtml are disabled so
# that Wine never offers to install Mono or Gecko; winemenubuilder would turn the shortcuts
# an installer makes into menu entries on the host.
export WINEDEBUG=${TESS_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A 64-bit prefix runs the 32-bit programs through WoW64, as on a current Windows, so that
# "Program Files (x86)" and the registry's 32-bit view are what an installer meets.
export WINEARCH=win64
# What Wine still writes below the XDG folders stays in the build folder, not in $HOME.
export XDG_DATA_HOME=$TESS_WINE_ROOT/xdg/data
export XDG_CONFIG_HOME=$TESS_WINE_ROOT/xdg/config

# The loader that starts Windows programs and Wine's own tools. The product is 32-bit and `wine`
# starts it; where the kernel cannot run 32-bit programs at all (no IA-32 emulation), Wine's
# 32-bit loader cannot start either, and the tests run the x86-64 build of the same programs
# (preset windows64) through the 64-bit loader instead.
tess_can_run_32bit() {
  # An emulator registered for 32-bit programs (qemu-user's binfmt entry) runs them too, but far
  # too slowly for the tests: only a kernel that runs them itself counts.
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    [[ -f $entry ]] && grep -qs '^enabled' "$entry" && grep -qs '^interpreter .*qemu-i386' "$entry" &&
      return 1
  done
  /usr/lib/wine/wine --version >/dev/null 2>&1
}
if tess_can_run_32bit; then
  tess_wine=wine
else
  tess_wine=/usr/lib/wine/wine64
fi

# Wine makes dosdevices first when it sets up a prefix; the registry files come only later,
# when the wineserver saves them on exit.
tess_is_prefix() {
  [[ -d $1/dosdevices ]]
}

# Prints the pids of the Wine processes (programs and wineserver) that run in prefix $1.
tess_prefix_pids() {
  local environ pid
  for environ in $(grep -lzxF "WINEPREFIX=$1" /proc/[0-9]*/environ 2>/dev/null); do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    [[ $(readlink "/proc/$pid/exe" 2>/dev/null) == /usr/lib/wine/* ]] && echo "$pid"
  done
  return 0
}

# Waits up to $2 seconds for every process of prefix $1 to end, then kills what is left,
# and removes the wineserver's socket folder, which Wine would leave behind in /tmp.
tess_stop_prefix() {
  local prefix=$1 wait_seconds=$2 pids=""
  tess_is_prefix "$prefix" || return 0
  prefix=$(cd "$prefix" && pwd)
  if [[ $wait_seconds -gt 0 ]] && WINEPREFIX=$prefix timeout "$wait_seconds" wineserver -w; then
    :
  else
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$prefix timeout 10 wineserver -w || true
  fi
  # The programs notice only a moment later that their wineserver is gone.
  for _ in $(seq 50); do
    pids=$(tess_prefix_pids "$prefix")
    [[ -n $pids ]] || break
    sleep 0.1
  done
  if [[ -n $pids ]]; then
    kill -9 $pids 2>/dev/null || true
  fi
  # Wine names the socket folder in $prefix/wineserver and keys the server by the prefix's
  # device and inode: server-<dev hex>-<inode hex>.
  local socket_parent server_dir
  [[ -f $prefix/wineserver ]] || return 0
  socket_parent=$(<"$prefix/wineserver")
  [[ $socket_parent =~ ^wine-[A-Za-z0-9]+$ ]] || return 0
  socket_parent=${TMPDIR:-/tmp}/$socket_parent
  server_dir=$socket_parent/server-$(stat -c %D "$prefix")-$(printf %x "$(stat -c %i "$prefix")")
  rm -rf "$server_dir"
  rmdir "$socket_parent" 2>/dev/null || true
}
