#!/usr/bin/env bash
# Builds the guest's initramfs for make hil: a static busybox, the modules that mount the host's
# root over 9p (virtio), and an init that mounts it read-only, gives it a writable /run, /tmp and
# /dev, and starts the guest agent inside it.
# Usage: scripts/hil/initramfs.sh KERNEL_VERSION OUTPUT.cpio.gz
set -euo pipefail
kver=$1
out=$2
work=$(mktemp -d "$(dirname "$out")/initramfs.XXXXXX")
trap 'rm -rf "$work"' EXIT

mkdir -p "$work"/{bin,dev,proc,sys,newroot,lib/modules}
cp /bin/busybox "$work/bin/busybox"
for applet in sh mount insmod mkdir echo cat sed chroot poweroff; do
  ln -s busybox "$work/bin/$applet"
done

# The 9p modules and everything they depend on, in load order (modules.dep lists dependencies
# after the module, deepest last).
moddir=/lib/modules/$kver
declare -A seen=()
order=()
add() {
  local rel=$1 dep
  [ -n "${seen[$rel]:-}" ] && return
  seen[$rel]=1
  for dep in $(awk -v m="$rel:" '$1 == m { for (i = 2; i <= NF; i++) print $i }' "$moddir/modules.dep"); do
    add "$dep"
  done
  order+=("$rel")
}
for m in virtio_pci 9pnet_virtio 9p; do
  rel=$(awk -F: -v n="/$m.ko" 'index($1, n) == length($1) - length(n) + 1 { print $1; exit }' "$moddir/modules.dep")
  [ -n "$rel" ] || { echo "initramfs.sh: module $m not found for $kver" >&2; exit 1; }
  add "$rel"
done
: > "$work/lib/modules/order"
for rel in "${order[@]}"; do
  cp "$moddir/$rel" "$work/lib/modules/"
  echo "$(basename "$rel")" >> "$work/lib/modules/order"
done

cat > "$work/init" <<'INIT'
#!/bin/sh
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
for m in $(cat /lib/modules/order); do insmod /lib/modules/$m 2>/dev/null; done
root=$(sed -n 's/.*hil\.root=\([^ ]*\).*/\1/p' /proc/cmdline)
if ! mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144,cache=loose hostroot /newroot; then
  echo "HIL-FATAL cannot mount the host root"; poweroff -f
fi
# The tree may sit below a folder that the guest gets a fresh one of (a clone in /tmp): it is
# kept aside and put back over it.
mkdir -p /tree
mount -o bind "/newroot$root" /tree
mount -t tmpfs tmp /newroot/tmp
mount -t tmpfs run /newroot/run
mkdir -p "/newroot$root" 2>/dev/null
mount -o bind /tree "/newroot$root"
mount -t devtmpfs dev /newroot/dev
mkdir -p /newroot/dev/pts
mount -t devpts devpts /newroot/dev/pts
mount -t proc proc /newroot/proc
mount -t sysfs sys /newroot/sys
echo "HIL-BOOTED"
chroot /newroot /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/tmp python3 "$root/scripts/hil/agent.py" "$root"
echo "HIL-AGENT-ENDED $?"
poweroff -f
INIT
chmod +x "$work/init"
(cd "$work" && find . | cpio -o -H newc --quiet) | gzip -1 > "$out.tmp"
mv "$out.tmp" "$out"
