#!/usr/bin/env bash
# Installs the Debian packages that a make target needs, when any is missing.
# Usage: scripts/deps.sh build|test|demo|bench|soak-idle|sanitize|fuzz|package|icons|hil
set -euo pipefail

packages=(cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n libgl-dev python3)
case "${1:-build}" in
  build) ;;
  # python3-pyatspi, dbus-x11 and at-spi2-core: a screen reader's view of the window, over AT-SPI.
  # weston and qt6-wayland: the window as a native Wayland client, under weston's headless backend
  # and its X backend (which takes the keys xdotool presses on Xvfb).
  test) packages+=(libgtest-dev xvfb xdotool imagemagick python3-pyatspi dbus-x11 at-spi2-core weston qt6-wayland) ;;
  demo) packages+=(xvfb xauth xdotool imagemagick) ;;
  # python3-psutil: the bench and the idle soak read the processes they measure through it.
  bench) packages+=(xvfb xauth xdotool imagemagick python3-psutil) ;;
  soak-idle) packages+=(python3-psutil) ;;
  sanitize) packages+=(libgtest-dev xvfb xdotool imagemagick python3-pyatspi dbus-x11 at-spi2-core weston qt6-wayland) ;;
  fuzz) packages+=(clang libclang-rt-14-dev) ;;
  # dpkg-dev: dpkg-shlibdeps computes the package's dependencies, dpkg-buildflags the hardening flags.
  package) packages+=(dpkg-dev file lintian appstream desktop-file-utils) ;;
  icons) packages=(librsvg2-bin) ;;
  # The virtual machine of make hil: QEMU, a Debian kernel with its USB serial modules, and a
  # static busybox for the guest's initramfs (cpio packs it).
  hil) packages+=(qemu-system-x86 linux-image-amd64 busybox-static cpio) ;;
  *) echo "deps.sh: unknown target '$1'" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run this once, then try again:" >&2
  echo "  sudo apt-get update && sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
# Another install may hold the package manager's lock (on a fresh desktop the automatic updates
# do, for minutes): wait for it rather than fail at once.
lock=(-o DPkg::Lock::Timeout=600)
apt-get "${lock[@]}" update -qq
apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
