#!/usr/bin/env bash
# Makes and copies Wine prefixes: one template per build folder (wineboot takes ~10-30 s),
# and fresh copies of it for runs that must not see each other's registry or files.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

usage() {
  cat >&2 <<'EOF'
usage: wine-prefix.sh template     make the template prefix if needed; print its path
       wine-prefix.sh new DIR      make DIR a fresh copy of the template (DIR absent or empty)
       wine-prefix.sh new-desktop DIR
                                   the same, for a person's display: the window manager
                                   frames the windows
       wine-prefix.sh set-dpi DIR DPI
                                   give DIR's screen that DPI, with the raster faces Windows
                                   installs for it
       wine-prefix.sh reset DIR    stop DIR's processes and make it a fresh copy again
       wine-prefix.sh stop DIR     end every Wine process that runs in DIR
       wine-prefix.sh remove DIR   stop DIR's processes and delete it
EOF
  exit 2
}

die() {
  echo "wine-prefix.sh: $*" >&2
  exit 1
}

# The template records the Wine version that made it: a prefix from another version would
# be updated by Wine on every run of every copy, which is slow and shows dialogs. The
# revision goes up whenever make_template changes, so that older templates are made again.
template_revision=4
template_stamp=$tess_wine_template/.tess-template
template_id="$("$tess_wine" --version) ($tess_wine), template revision $template_revision"

template_is_current() {
  [[ -f $template_stamp && $(<"$template_stamp") == "$template_id" ]]
}

make_template() {
  template_is_current && return 0
  mkdir -p "$TESS_WINE_ROOT"
  # Parallel test jobs all land here on a clean build: one makes it, the others wait.
  exec {lock_fd}>"$TESS_WINE_ROOT/template.lock"
  flock -w 900 "$lock_fd" || die "timed out waiting for another job to make the template"
  if template_is_current; then
    exec {lock_fd}>&-
    return 0
  fi
  local partial=$TESS_WINE_ROOT/template.partial
  tess_stop_prefix "$partial" 0
  rm -rf "$partial"
  echo "wine-prefix.sh: making the template prefix in $tess_wine_template" >&2
  # wineboot needs no display; an unset DISPLAY also keeps it off a screen that hangs.
  local log=$TESS_WINE_ROOT/template.log
  if ! WINEPREFIX=$partial timeout 600 env -u DISPLAY "$tess_wine" wineboot --init >"$log" 2>&1; then
    tess_stop_prefix "$partial" 0
    die "wineboot failed in $partial; its output is in $log"
  fi
  # Wine's own fonts (Tahoma, and Marlett for caption buttons, check marks and scroll arrows)
  # are not found where Debian installs them; in C:\windows\Fonts they are, and the next
  # start of Wine below records them in the registry once for all copies.
  if compgen -G '/usr/share/wine/fonts/*.ttf' >/dev/null; then
    cp /usr/share/wine/fonts/*.ttf "$partial/drive_c/windows/Fonts/"
  fi
  # The raster dialog face, in the set drawn for 96 DPI that Windows installs at that DPI: the
  # windows' measures were made for it (tests/win32/run-at-dpi.sh swaps in the 120-DPI set).
  if [[ -f /usr/share/wine/fonts/sserife.fon ]]; then
    cp /usr/share/wine/fonts/sserife.fon "$partial/drive_c/windows/Fonts/"
  fi
  # Windows has Arial and Wine does not: without it the setup wizard's Arial captions come out
  # in DejaVu Sans, a quarter wider. Liberation Sans is drawn to Arial's widths.
  WINEPREFIX=$partial timeout 120 env -u DISPLAY "$tess_wine" reg add \
    'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1 ||
    die "cannot name Liberation Sans for Arial in $partial"
  # Test displays have no window manager, and Wine would wait 2 s for one each time a window
  # closes; unmanaged windows close at once.
  set_managed "$partial" N
  # Wine links Desktop, Documents and the like to $HOME: an installer's shortcuts would land
  # there. Plain folders keep everything a program writes inside its prefix.
  find "$partial/drive_c/users" -type l -print0 | while IFS= read -r -d '' link; do
    rm "$link"
    mkdir -p "$link"
  done
  # Each copy must pick its own wineserver socket folder on its first run.
  rm -f "$partial/wineserver"
  echo "$template_id" >"$partial/.tess-template"
  rm -rf "$tess_wine_template"
  mv "$partial" "$tess_wine_template"
  exec {lock_fd}>&-
}

# set_managed PREFIX Y|N: whether the X window manager handles the prefix's windows.
set_managed() {
  WINEPREFIX=$1 timeout 120 env -u DISPLAY "$tess_wine" reg add 'HKCU\Software\Wine\X11 Driver' \
    /v Managed /d "$2" /f >/dev/null 2>&1 || die "cannot set Managed=$2 in $1"
  # The wineserver writes the registry to disk as it exits.
  tess_stop_prefix "$1" 60
}

set_dpi() {
  local dir=$1 dpi=$2
  [[ $dpi =~ ^[0-9]+$ ]] || die "not a DPI: $dpi"
  # Above 96 DPI Windows installs the raster faces drawn for 120 DPI instead of those for 96.
  local fonts=$dir/drive_c/windows/Fonts
  if [[ $dpi -gt 96 && -f /usr/share/wine/fonts/sseriff.fon ]]; then
    rm -f "$fonts/sserife.fon"
    cp /usr/share/wine/fonts/sseriff.fon "$fonts/"
  fi
  # The user's setting is what the system reports; Wine's font setup reads the hardware
  # profile's, and picks the raster faces drawn for that DPI from it.
  local key
  for key in 'HKCU\Control Panel\Desktop' 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
    WINEPREFIX=$dir timeout 120 env -u DISPLAY "$tess_wine" reg add "$key" /v LogPixels \
      /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || die "cannot set $key in $dir"
  done
  # The wineserver writes the registry to disk as it exits.
  tess_stop_prefix "$dir" 60
}

copy_template() {
  local dir=$1
  if [[ -e $dir ]]; then
    [[ -d $dir && -z $(ls -A "$dir") ]] || die "$dir exists and is not empty"
  fi
  make_template
  mkdir -p "$dir"
  # A shared lock: copies run side by side, but a template being made again waits for them.
  exec {lock_fd}>"$TESS_WINE_ROOT/template.lock"
  flock -s -w 900 "$lock_fd" || die "timed out waiting for the template"
  cp -a --reflink=auto "$tess_wine_template/." "$dir/"
  exec {lock_fd}>&-
}

# Refuses to delete a folder that is not a Wine prefix, whatever path a caller passed.
remove_prefix() {
  local dir=$1
  [[ -e $dir ]] || return 0
  if ! tess_is_prefix "$dir"; then
    [[ -d $dir && -z $(ls -A "$dir") ]] || die "$dir is not a Wine prefix; not deleting it"
  fi
  tess_stop_prefix "$dir" 0
  rm -rf "$dir"
}

[[ $# -ge 1 ]] || usage
verb=$1
shift
case $verb in
  template)
    [[ $# -eq 0 ]] || usage
    make_template
    echo "$tess_wine_template"
    ;;
  new)
    [[ $# -eq 1 ]] || usage
    copy_template "$1"
    ;;
  new-desktop)
    [[ $# -eq 1 ]] || usage
    copy_template "$1"
    set_managed "$1" Y
    ;;
  set-dpi)
    [[ $# -eq 2 ]] || usage
    set_dpi "$1" "$2"
    ;;
  reset)
    [[ $# -eq 1 ]] || usage
    remove_prefix "$1"
    copy_template "$1"
    ;;
  stop)
    [[ $# -eq 1 ]] || usage
    tess_stop_prefix "$1" 0
    ;;
  remove)
    [[ $# -eq 1 ]] || usage
    remove_prefix "$1"
    ;;
  *)
    usage
    ;;
esac
