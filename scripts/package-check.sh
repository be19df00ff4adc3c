#!/usr/bin/env bash
# Checks the .deb in the given build folder as a distribution would: lintian (no errors, no
# warnings), the AppStream metadata and the desktop entry as installed, the files the package must
# hold, one version everywhere, and maintainer scripts that succeed where udev does not answer.
# Usage: scripts/package-check.sh BUILD_FOLDER   (make package-check builds the package first)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: $0 BUILD_FOLDER}
debs=("$build"/qz7-updater_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "package-check: expected one qz7-updater .deb in $build" >&2; exit 1; }
deb=${debs[0]}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
fail() { echo "package-check: $*" >&2; failed=1; }

echo "== lintian $deb"
lintian --fail-on error,warning "$deb" 2> >(grep -v 'running with root privileges' >&2) || fail "lintian reports errors or warnings"

dpkg-deb -x "$deb" "$work/root"
dpkg-deb -e "$deb" "$work/control"
root=$work/root

echo "== files"
for f in usr/bin/qz7-updater \
         usr/share/applications/qz7-updater.desktop \
         usr/share/metainfo/io.github.qz7updater.QZ7Updater.metainfo.xml \
         usr/share/icons/hicolor/scalable/apps/qz7-updater.svg \
         usr/share/icons/hicolor/{16x16,22x22,24x24,32x32,48x48,64x64,128x128,256x256}/apps/qz7-updater.png \
         usr/lib/udev/rules.d/70-qz7-updater.rules \
         usr/share/man/man1/qz7-updater.1.gz \
         usr/share/doc/qz7-updater/copyright \
         usr/share/doc/qz7-updater/changelog.gz; do
  [ -f "$root/$f" ] || fail "missing /$f"
done

# validate-tree checks the metadata as appstreamcli validate does and, beyond it, that the desktop
# entry it launches is installed. --no-net: the project's web addresses are not checked from here.
echo "== appstreamcli validate-tree --no-net"
appstreamcli validate-tree --no-net "$root" || fail "AppStream metadata does not validate"
echo "== desktop-file-validate"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop entry does not validate"

echo "== versions"
version=$(dpkg-deb -f "$deb" Version)
changelog=$(zcat "$root/usr/share/doc/qz7-updater/changelog.gz" | dpkg-parsechangelog -l - -S Version)
manpage=$(zcat "$root/usr/share/man/man1/qz7-updater.1.gz" | sed -n 's/^\.TH .*"qz7-updater \([^"]*\)".*/\1/p')
metainfo=$(grep -o '<release version="[^"]*"' "$root"/usr/share/metainfo/*.xml | head -1 | cut -d'"' -f2)
echo "package $version, changelog $changelog, manual page $manpage, metainfo $metainfo"
[ "$changelog" = "$version" ] && [ "$manpage" = "$version" ] && [ "$metainfo" = "$version" ] \
  || fail "the changelog, the manual page and the metainfo must name the package's version $version"

echo "== dependencies"
depends=$(dpkg-deb -f "$deb" Depends)
echo "$depends"
# libsqlite3-0 (the history) and libsystemd0 (the journal) come from the binary, as Qt's do.
for d in libc6 libqt6serialport6 libsqlite3-0 libsystemd0 qt6-qpa-plugins; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d"
done
# The Wayland plug-in, for a native window in a Wayland session.
recommends=$(dpkg-deb -f "$deb" Recommends)
echo "Recommends: $recommends"
for r in qt6-wayland qt6-translations-l10n fonts-noto-cjk; do
  grep -qE "(^|, )$r( |,|$)" <<<"$recommends" || fail "Recommends lacks $r"
done

# The scripts run against a udevadm that always fails: installing must still succeed, whether or
# not udev runs here.
echo "== maintainer scripts"
mkdir "$work/bin"
printf '#!/bin/sh\necho "udevadm $*" >>"%s/udevadm.log"\nexit 1\n' "$work" >"$work/bin/udevadm"
chmod +x "$work/bin/udevadm"
for s in "postinst configure" "postrm remove" "postrm purge"; do
  set -- $s
  PATH="$work/bin:$PATH" "$work/control/$1" "$2" || fail "$s fails when udev does not answer"
done
if [ -f "$work/udevadm.log" ]; then cat "$work/udevadm.log"; else echo "(udev not running here: the scripts left it alone)"; fi

[ $failed -eq 0 ] && echo "package-check: $(basename "$deb") passes"
exit $failed
