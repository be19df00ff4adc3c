#!/usr/bin/env bash
# Installs the Debian packages that a make target needs, when any is missing.
# Usage: scripts/deps.sh build|test|demo|bench|soak-idle|sanitize|fuzz|package|icons|hil
set -euo pipefail

# zlib1g-dev: the support report's gzip; libsqlite3-dev: the history of the units updated; libsystemd-dev: their records in the journal.
packages=(cmake make g++ pkg-config zlib1g-dev qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n libgl-dev libsqlite3-dev libsystemd-dev python3)
case "${1:-build}" in
  build) ;;
  # python3-pyatspi, dbus-x11 and at-spi2-core: a screen reader's view of the window, over AT-SPI.
  # weston and qt6-wayland: the window as a native Wayland client, under weston's headless backend
  # and its X backend (which takes the keys xdotool presses on Xvfb).
  # locales: the German and Japanese locales, under which machine output must not change.
  test) packages+=(libgtest-dev xvfb xdotool imagemagick python3-pyatspi dbus-x11 at-spi2-core weston qt6-wayland locales) ;;
  demo) packages+=(xvfb xauth xdotool imagemagick) ;;
  # python3-psutil: the bench and the idle soak read the processes they measure through it.
  bench) packages+=(xvfb xauth xdotool imagemagick python3-psutil) ;;
  soak-idle) packages+=(python3-psutil) ;;
  sanitize) packages+=(libgtest-dev xvfb xdotool imagemagick python3-pyatspi dbus-x11 at-spi2-core weston qt6-wayland locales) ;;
  fuzz) packages+=(clang libclang-rt-14-dev) ;;
  # dpkg-dev: dpkg-shlibdeps computes the package's dependencies, dpkg-buildflags the hardening flags.
  package) packages+=(dpkg-dev file lintian appstream desktop-file-utils) ;;
  icons) packages=(librsvg2-bin) ;;
  # The virtual machine of make hil: QEMU, a Debian kernel with its USB serial modules, and a
  # static busybox for the guest's initramfs (cpio packs it).
  hil) packages+=(qemu-system-x86 linux-image-amd64 busybox-static cpio) ;;
  *) echo "deps.sh: unknown target '$1'" >&2; exit 2 ;;
esac

# The tests run the program under these locales too: generated once, where they are missing.
test_locales=(de_DE.UTF-8 ja_JP.UTF-8)
ensure_locales() {
  case "${1:-build}" in test|sanitize) ;; *) return 0 ;; esac
  local want=()
  for l in "${test_locales[@]}"; do
    locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || want+=("$l")
  done
  [ ${#want[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing locales ${want[*]}. Run this once, then try again:" >&2
    echo "  sudo sh -c 'printf \"%s UTF-8\\n\" ${want[*]} >> /etc/locale.gen && locale-gen'" >&2
    exit 1
  fi
  for l in "${want[@]}"; do
    grep -qx "$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" >> /etc/locale.gen
  done
  locale-gen >/dev/null
}

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  ensure_locales "${1:-build}"
  exit 0
fi

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
ensure_locales "${1:-build}"
