#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing the project need.
# Safe to run again: it asks dpkg first and touches apt only when something is missing.
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
)

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

if [[ $need_i386 -eq 0 && ${#missing[@]} -eq 0 ]]; then
  echo "setup-deps: all ${#packages[@]} packages are installed"
  exit 0
fi

if [[ $(id -u) -ne 0 && ${#as_root[@]} -eq 0 ]]; then
  echo "setup-deps: missing ${missing[*]}; run this script as root (or with sudo)" >&2
  exit 1
fi

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
echo "setup-deps: done"
