#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing the project need, and the
# locales whose code pages the tests run the programs in. Safe to run again: it asks dpkg and
# `locale -a` first and touches apt and locale-gen only when something is missing.
set -euo pipefail

# Host compilers and test libraries, the MinGW-w64 i686 cross toolchain, Wine with a virtual
# X display, and the tools the scripts and tests call (cab and zip files, pictures, X queries).
packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev
  # llvm-symbolizer, which turns sanitizer and fuzzer reports into file:line stack traces.
  llvm
  googletest libgtest-dev libbenchmark-dev libstb-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  # The x86-64 cross toolchain, for the Windows tests on a kernel that cannot run 32-bit programs.
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
  wine wine32:i386 wine64
  xvfb xauth x11-utils
  gcab cabextract unzip imagemagick
  # Wine's own fonts and the X extensions its 32-bit display driver uses, so that dialogs
  # and skins look as they do on Windows (anti-aliased text, alpha blending, cursors).
  fonts-wine libxrender1:i386 libxcursor1:i386 libxi6:i386 libxrandr2:i386
  # Liberation Sans, drawn to Arial's widths, stands in for the Arial that Windows has.
  fonts-liberation2
  # Wine gives a program the ANSI code page of the Unix locale it starts in: the tests of
  # folders named beyond ASCII run under these two (code pages 1252 and 1251).
  locales
)
locales_needed=(en_US.UTF-8 ru_RU.UTF-8)

if [[ $(id -u) -eq 0 ]]; then
  as_root=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
  as_root=(sudo)
else
  as_root=()
fi

is_installed() {
  [[ $(dpkg-query -W -f='${db:Status-Abbrev}' "$1" 2>/dev/null) == ii* ]]
}

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

missing=()
for package in "${packages[@]}"; do
  is_installed "$package" || missing+=("$package")
done

# `locale -a` writes "en_US.utf8" for "en_US.UTF-8".
locale_exists() {
  local wanted=${1%%.*}.utf8
  locale -a 2>/dev/null | grep -qixF "$wanted"
}
missing_locales() {
  local name
  for name in "${locales_needed[@]}"; do
    locale_exists "$name" || echo "$name"
  done
}

mapfile -t locales_missing < <(missing_locales)
if [[ $need_i386 -eq 0 && ${#missing[@]} -eq 0 && ${#locales_missing[@]} -eq 0 ]]; then
  echo "setup-deps: all ${#packages[@]} packages and ${#locales_needed[@]} locales are installed"
  exit 0
fi

if [[ $(id -u) -ne 0 && ${#as_root[@]} -eq 0 ]]; then
  echo "setup-deps: missing ${missing[*]} ${locales_missing[*]}; run this script as root (or with sudo)" >&2
  exit 1
fi

if [[ $need_i386 -eq 1 || ${#missing[@]} -gt 0 ]]; then
  # sudo drops the environment, so the frontend setting travels inside the command.
  apt=("${as_root[@]}" env DEBIAN_FRONTEND=noninteractive
    apt-get -y -q -o DPkg::Lock::Timeout=600 -o Dpkg::Use-Pty=0)

  # wine32 is an i386 package: dpkg must know the architecture before apt reads the lists.
  if [[ $need_i386 -eq 1 ]]; then
    echo "setup-deps: adding the i386 architecture"
    "${as_root[@]}" dpkg --add-architecture i386
  fi

  echo "setup-deps: installing ${missing[*]}"
  "${apt[@]}" update
  "${apt[@]}" install --no-install-recommends "${missing[@]}"

  # A package that apt left out is a broken setup, better found here than in the build.
  still_missing=()
  for package in "${packages[@]}"; do
    is_installed "$package" || still_missing+=("$package")
  done
  if [[ ${#still_missing[@]} -gt 0 ]]; then
    echo "setup-deps: still missing after install: ${still_missing[*]}" >&2
    exit 1
  fi
fi

# The locales are switched on in /etc/locale.gen, where a later locale-gen (an upgrade of
# libc) makes them again, rather than made once with localedef.
mapfile -t locales_missing < <(missing_locales)
if [[ ${#locales_missing[@]} -gt 0 ]]; then
  echo "setup-deps: making the locales ${locales_missing[*]}"
  for name in "${locales_missing[@]}"; do
    line="$name ${name#*.}"
    if ! grep -qxF "$line" /etc/locale.gen; then
      if grep -qxE "#[[:space:]]*${line//./\\.}" /etc/locale.gen; then
        "${as_root[@]}" sed -i -E "s/^#[[:space:]]*(${line//./\\.})\$/\\1/" /etc/locale.gen
      else
        echo "$line" | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
      fi
    fi
  done
  "${as_root[@]}" locale-gen
  mapfile -t locales_missing < <(missing_locales)
  if [[ ${#locales_missing[@]} -gt 0 ]]; then
    echo "setup-deps: still missing after locale-gen: ${locales_missing[*]}" >&2
    exit 1
  fi
fi
echo "setup-deps: done"
