#!/usr/bin/env bash
# pt4cli against the Linux kernel's own parport, parport_pc and ppdev drivers:
# Debian's kernel boots in QEMU with an emulated ISA parallel port at 0x378, and
# what the emulated port saw (QEMU's trace events) is compared, access by access,
# with pt4cli's own trace. Also in the guest: probe, a busy port, lp.ko holding
# it, ppdev not loaded, and a user outside group lp.
#   run.sh PT4CLI CACHE_DIR
set -euo pipefail
cli=$(realpath "$1")
cache=$(mkdir -p "$2" && realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "qemu: $*" >&2; exit 1; }
command -v qemu-system-x86_64 >/dev/null || fail "qemu-system-x86_64 is missing (tools/pt4 installs qemu-system-x86)"
[ -x /bin/busybox ] || fail "busybox is missing (tools/pt4 installs busybox-static)"

# The kernel and its parallel-port modules, cut out of Debian's package once.
kdir="$cache/kernel"
if [ ! -e "$kdir/ok" ]; then
  rm -rf "$kdir" && mkdir -p "$kdir"
  resolve() { apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/ {print $2; exit}'; }
  pkg=$(resolve)
  if [ -z "$pkg" ]; then apt-get update -qq >/dev/null 2>&1 || true; pkg=$(resolve); fi
  [ -n "$pkg" ] || fail "cannot resolve the package behind linux-image-amd64 (apt-get update?)"
  (cd "$cache" && ls "$pkg"_*.deb >/dev/null 2>&1 || apt-get download "$pkg" >/dev/null 2>&1) ||
    fail "cannot download $pkg"
  deb=$(ls "$cache/$pkg"_*.deb | head -1)
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$kdir" --wildcards './boot/vmlinuz-*' \
    './lib/modules/*/kernel/drivers/parport/parport.ko*' './lib/modules/*/kernel/drivers/parport/parport_pc.ko*' \
    './lib/modules/*/kernel/drivers/char/ppdev.ko*' './lib/modules/*/kernel/drivers/char/lp.ko*'
  find "$kdir" -name '*.ko.xz' -exec xz -d {} +
  touch "$kdir/ok"
fi
vmlinuz=$(ls "$kdir"/boot/vmlinuz-* | head -1)

# A tiny initramfs: busybox, pt4cli with its libraries, the modules, the script.
root="$work/root"
mkdir -p "$root"/{bin,lib,etc,proc,sys,dev,tmp}
cp /bin/busybox "$root/bin/"
for a in sh mount insmod rmmod cat echo sleep grep kill su dmesg poweroff head tail wc ls sync; do
  ln -s busybox "$root/bin/$a"
done
cp "$cli" "$root/bin/pt4cli"
for lib in $(ldd "$cli" | grep -o '/[^ ]*'); do
  mkdir -p "$root$(dirname "$lib")" && cp -L "$lib" "$root$lib"
done
find "$kdir/lib" -name '*.ko' -exec cp {} "$root/lib/" \;
printf 'root:x:0:0::/:/bin/sh\nnobody:x:65534:65534::/:/bin/sh\n' >"$root/etc/passwd"
printf 'root:x:0:\nlp:x:7:\nnogroup:x:65534:\n' >"$root/etc/group"
cp "$here/guest.sh" "$root/init"
chmod +x "$root/init"
python3 -c "import sys; sys.stdout.buffer.write(bytes(a % 16 for a in range(256)))" >"$root/image.rom"
(cd "$root" && find . | cpio -o -H newc --quiet | gzip -1) >"$work/initrd.gz"

accel=tcg
if grep -qE 'vmx|svm' /proc/cpuinfo && [ -w /dev/kvm ]; then accel=kvm; fi
timeout 600 qemu-system-x86_64 -nodefaults -machine pc,accel=$accel -m 256 -display none -no-reboot \
  -kernel "$vmlinuz" -initrd "$work/initrd.gz" -append "console=ttyS0 loglevel=3 panic=-1" \
  -serial "file:$work/console.log" \
  -chardev "file,id=lpt,path=$work/lpt.out" -device isa-parallel,chardev=lpt,iobase=0x378,irq=7 \
  -trace 'parallel_ioport_*' -D "$work/port.log" || fail "QEMU did not finish ($accel)"

cp "$work/console.log" "$cache/last-console.log"
cp "$work/port.log" "$cache/last-port.log"
python3 "$here/judge.py" "$work/console.log" "$work/port.log"
