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
# starts it through Wine's 32-bit loader. Only where the kernel itself refuses 32-bit programs (no
# IA-32 emulation: execve fails with "Exec format error") do the tests run the x86-64 build of the
# same programs (preset windows64) through the 64-bit loader instead. TESS_WINE32_LOADER names
# the 32-bit loader (to check how a missing one is reported).
tess_wine32_loader=${TESS_WINE32_LOADER:-/usr/lib/wine/wine}

# Writes to $1 the smallest static i386 ELF program: one loadable segment whose code is
# "mov eax, 1; xor ebx, ebx; int 0x80", the system call exit(0). It needs no compiler or 32-bit
# C library, so that it tells what the kernel does and nothing else.
tess_write_i386_probe() {
  local header segment code
  # ELF header: 32-bit, little-endian, executable for the 386, entry 0x08048054 (after the two
  # headers), one program header at offset 52.
  header='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  header+='\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'
  header+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  # The one segment: the whole file (93 bytes) at 0x08048000, readable and executable.
  segment='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  segment+='\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  code='\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80'
  printf '%b' "$header$segment$code" >"$1" && chmod +x "$1"
}

# The path of the Windows tests, from the 32-bit program $1 and the 32-bit loader $2, with the
# reason in tess_32bit_reason: 0 where both run, 1 where the kernel refuses the program with
# "Exec format error", and 2 for any other failure of either (a crash, a hang of more than 10 s,
# a loader that is missing or fails).
tess_32bit_path_for() {
  local program=$1 loader=$2 output status=0
  # bash's exec calls execve alone (a C library's execvp would hand an unknown format to
  # /bin/sh), so the kernel's refusal shows as its own message.
  output=$(LC_ALL=C timeout 10 bash -c 'exec "$0"' "$program" 2>&1) || status=$?
  if [[ $status -eq 126 && $output == *"Exec format error"* ]]; then
    tess_32bit_reason="this kernel refuses 32-bit programs (Exec format error)"
    return 1
  fi
  if [[ $status -eq 124 ]]; then
    tess_32bit_reason="the 32-bit test program did not end within 10 s"
    return 2
  fi
  if [[ $status -ne 0 ]]; then
    tess_32bit_reason="the 32-bit test program failed (exit code $status${output:+: ${output//$'\n'/ }})"
    return 2
  fi
  status=0
  output=$(timeout 60 "$loader" --version 2>&1) || status=$?
  if [[ $status -ne 0 ]]; then
    tess_32bit_reason="this kernel runs 32-bit programs, but Wine's 32-bit loader $loader does not start"
    tess_32bit_reason+=" (exit code $status${output:+: ${output//$'\n'/ }}); install wine32"
    return 2
  fi
  tess_32bit_reason="$output starts 32-bit programs"
  return 0
}

# Which loader runs the Windows tests, with the reason in tess_32bit_reason. Returns 0 where
# 32-bit programs run (the i686 build is run), 1 where the kernel refuses them or only an emulator
# runs them (the x86-64 build is run), and 2 where the kernel runs them but Wine's 32-bit loader
# does not start, or the check itself failed: a broken set-up that must fail the run, not send
# it to the other build.
tess_can_run_32bit() {
  tess_32bit_reason=
  # An emulator registered for 32-bit programs (qemu-user's binfmt entry) would run the probe,
  # but a single Wine start through it takes minutes: the tests could not finish in their time.
  local entry
  for entry in /proc/sys/fs/binfmt_misc/*; do
    if [[ -f $entry ]] && grep -qs '^enabled' "$entry" && grep -qs '^interpreter .*qemu-i386' "$entry"; then
      tess_32bit_reason="32-bit programs run here only through the emulator of $entry, far too slowly"
      return 1
    fi
  done
  local folder probe status=0
  folder=$TESS_WINE_ROOT/probe
  if ! mkdir -p "$folder" || ! probe=$(mktemp "$folder/i386-XXXXXX") || ! tess_write_i386_probe "$probe"; then
    [[ -z ${probe:-} ]] || rm -f "$probe"
    tess_32bit_reason="cannot write the 32-bit test program in $folder"
    return 2
  fi
  tess_32bit_path_for "$probe" "$tess_wine32_loader" || status=$?
  rm -f "$probe"
  return "$status"
}
# A broken 32-bit loader keeps `wine`, so that every run fails, and says why here.
tess_32bit_status=0
tess_can_run_32bit || tess_32bit_status=$?
if [[ $tess_32bit_status -eq 1 ]]; then
  tess_wine=/usr/lib/wine/wine64
else
  tess_wine=wine
fi
if [[ $tess_32bit_status -eq 2 ]]; then
  echo "wine-env: $tess_32bit_reason" >&2
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
