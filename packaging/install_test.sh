#!/usr/bin/env bash
# The packages installed the way a user installs them: into a clean Debian 12
# minimal root (debootstrap, kept under the cache folder so that a second run
# costs seconds), with apt, then used as a user in group lp: pt4cli on the
# simulator, and pt4prog's window on a display, compared with the picture in
# docs/. pt4cli alone pulls in no Qt; the real-time question writes and removes
# its limits file; purging both leaves none of their files behind.
#   install_test.sh PT4CLI_DEB PT4PROG_DEB CACHE_DIR
set -uo pipefail
cli_deb=$(realpath "$1")
prog_deb=$(realpath "$2")
cache=$(mkdir -p "$3" && realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
picture=$here/../docs/main-window.png
if [ "$(id -u)" -ne 0 ]; then
  echo "install: needs root for debootstrap and chroot; skipped"
  exit 0
fi
for tool in debootstrap Xvfb xdotool import compare; do
  command -v $tool >/dev/null || { echo "install: $tool is missing (tools/pt4 installs it)"; exit 1; }
done
work=$(mktemp -d)
root=$work/root
display=""
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  for m in tmp/.X11-unix var/cache/apt/archives dev/pts dev proc; do
    mountpoint -q "$root/$m" 2>/dev/null && umount -l "$root/$m"
  done
  # Nothing may be mounted any more when the root is deleted.
  if ! grep -q " $root/" /proc/mounts; then rm -rf "$work"; fi
}
trap cleanup EXIT
pass=0
fail=0
check() {
  local name=$1
  shift
  if "$@"; then pass=$((pass + 1)); else fail=$((fail + 1)); echo "FAILED: $name"; fi
}
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
  DEBIAN_FRONTEND=noninteractive "$@"; }
as_user() { in_root su - tester -c "$*"; }

# The clean root, made once from Debian's archive with the mirror this machine uses.
mirror=$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null)
mirror=${mirror:-http://deb.debian.org/debian}
base=$cache/bookworm-minbase.tar
if [ ! -s "$base" ]; then
  echo "install: making a clean Debian 12 root (once; kept in $base)"
  mkdir -p "$cache/debs" "$work/fresh"
  debootstrap --variant=minbase --cache-dir="$cache/debs" bookworm "$work/fresh" "$mirror" \
    >"$work/debootstrap.log" 2>&1 || { tail -20 "$work/debootstrap.log"; echo "install: debootstrap failed"; exit 1; }
  tar -C "$work/fresh" -cf "$base.part" . && mv "$base.part" "$base"
  rm -rf "$work/fresh"
fi
mkdir "$root"
tar -C "$root" -xf "$base"
# The archive this machine installs from (the same versions its cache holds), the
# name server, and the package cache shared, so that nothing is fetched twice.
[ -f /etc/apt/sources.list.d/debian.sources ] && cp /etc/apt/sources.list.d/debian.sources "$root/etc/apt/sources.list.d/" &&
  rm -f "$root/etc/apt/sources.list"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount --bind /var/cache/apt/archives "$root/var/cache/apt/archives"
in_root apt-get update -qq >"$work/apt.log" 2>&1 || { tail -5 "$work/apt.log"; echo "install: apt-get update failed"; exit 1; }
in_root useradd -m -G lp -s /bin/sh tester
cp "$cli_deb" "$prog_deb" "$root/tmp/"
cli_file=/tmp/$(basename "$cli_deb")
prog_file=/tmp/$(basename "$prog_deb")

# pt4cli alone: a headless production machine.
in_root apt-get install -y -q "$cli_file" >"$work/cli.log" 2>&1
check "apt installs pt4cli" [ $? -eq 0 ] || tail -20 "$work/cli.log"
check "pt4cli pulls in no Qt" bash -c "! chroot '$root' dpkg-query -W -f '\${Package}\n' | grep -qi 'qt6\|libgl'"
in_root sh -c 'printf "\005%.0s" $(seq 256) >/home/tester/image.rom; chown tester /home/tester/image.rom'
as_user 'PT4_PORT=sim:chip.bin pt4cli write image.rom --mask full --time 1 -q' >"$work/w.txt" 2>&1
check "pt4cli writes a simulated chip as the user" [ $? -eq 0 ] || cat "$work/w.txt"
as_user 'PT4_PORT=sim:chip.bin pt4cli verify image.rom --mask full' >"$work/v.txt" 2>&1
check "pt4cli verifies it identical" grep -q ' 256 complete or identical.' "$work/v.txt"
check "the real-time note names what is installed" bash -c "grep -q '/usr/share/doc/pt4cli/README.md' '$work/v.txt' && [ -f '$root/usr/share/doc/pt4cli/README.md' ]"
as_user 'pt4cli blank' >"$work/p.txt" 2>&1
check "without ppdev pt4cli says how to get it" grep -q 'modprobe ppdev parport_pc' "$work/p.txt"
# The real-time question: yes writes the limits file, no takes it away. A file
# the administrator wrote or edited is theirs: kept through every answer, and said so.
limits=$root/etc/security/limits.d/pt4prog.conf
check "no real time unless the administrator says so" [ ! -e "$limits" ]
answer() {
  echo "pt4cli pt4cli/realtime boolean $1" | in_root debconf-set-selections
  in_root dpkg-reconfigure -f noninteractive pt4cli >"$work/reconf.txt" 2>&1
}
mkdir -p "$(dirname "$limits")"
printf '@lp - rtprio 10\n' >"$limits"
answer false
check "a hand-written limits file survives no" grep -qx '@lp - rtprio 10' "$limits"
check "and the administrator is told it was kept" grep -q 'kept' "$work/reconf.txt"
answer true
check "a hand-written limits file survives yes" grep -qx '@lp - rtprio 10' "$limits"
rm -f "$limits" "$limits.ucf-dist"
answer false
answer true
check "real time for group lp when allowed" grep -q '^@lp  -  rtprio   80' "$limits"
sed -i 's/rtprio   80/rtprio   20/; /memlock/d' "$limits"
answer true
check "an edited limits file survives configure" bash -c "grep -q 'rtprio   20' '$limits' && ! grep -q memlock '$limits'"
answer false
check "an edited limits file survives no" grep -q 'rtprio   20' "$limits"
check "and the administrator is told it was kept" grep -q 'kept' "$work/reconf.txt"
rm -f "$limits"
answer false
answer true
check "after the administrator deleted it, yes writes the package's file again" grep -q 'rtprio   80' "$limits"
answer false
check "and no takes the package's own file away" [ ! -e "$limits" ]
answer true

# pt4prog: the windows, and the faces their layout was made for.
in_root apt-get install -y -q "$prog_file" >"$work/prog.log" 2>&1
check "apt installs pt4prog" [ $? -eq 0 ] || tail -20 "$work/prog.log"
check "it brought fonts-liberation" bash -c "chroot '$root' dpkg-query -W fonts-liberation >/dev/null"
as_user 'env -u DISPLAY pt4prog' >"$work/nodisplay.txt" 2>&1
check "no display: exit 1" [ $? -eq 1 ]
check "no display: one line naming pt4cli" bash -c "[ \$(wc -l <'$work/nodisplay.txt') -eq 1 ] && grep -q pt4cli '$work/nodisplay.txt'"
mkdir -p "$root/tmp/.X11-unix"
# A display number no other server holds: Xvfb picks it and tells it.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 5>"$work/display.txt" &
xvfb=$!
for _ in $(seq 100); do [ -s "$work/display.txt" ] && break; sleep 0.1; done
display=:$(head -n 1 "$work/display.txt")
for _ in $(seq 50); do DISPLAY=$display xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
# Started as the desktop menu's second entry starts it: on the simulated programmer,
# which the window's title says.
menu=$(sed -n '/^\[Desktop Action simulated\]/,/^\[/s/^Exec=//p' "$root/usr/share/applications/pt4prog.desktop")
check "the menu has an entry for the simulated programmer ($menu)" [ "$menu" = "env PT4_PORT=sim pt4prog" ]
as_user "DISPLAY=$display PT4_TRACE=window.log exec $menu" >"$work/window.txt" 2>&1 &
su_pid=$!
window=""
for _ in $(seq 100); do
  window=$(DISPLAY=$display xdotool search --onlyvisible --name '^Pt4prog - simulated programmer$' 2>/dev/null | head -1)
  [ -n "$window" ] && break
  sleep 0.1
done
check "the window comes up" [ -n "$window" ]
if [ -n "$window" ]; then
  sleep 0.5
  DISPLAY=$display import -window "$window" "$work/window.png"
  cp "$work/window.png" "$cache/last-window.png"
  differ=$(compare -metric AE "$work/window.png" "$picture" "$work/diff.png" 2>&1)
  check "the window is the one in docs/main-window.png, every label whole ($differ pixels differ)" [ "$differ" = 0 ]
fi
# su's child is the program itself (exec).
pkill -TERM -P "$su_pid" 2>/dev/null
wait "$su_pid" 2>/dev/null
check "the window's trace ends idle" bash -c "[ \"\$(grep ' out ' '$root/home/tester/window.log' | tail -3 | cut -d' ' -f2-)\" = \$'out 0x378 0x00\nout 0x37A 0x06\nout 0x37A 0x04' ]"

# Purging both leaves none of their files, nor the limits file.
in_root sh -c 'dpkg -L pt4cli pt4prog' | sort -u >"$work/owned"
in_root apt-get purge -y -q pt4prog pt4cli >"$work/purge.log" 2>&1
check "apt purges both" [ $? -eq 0 ]
left=""
while read -r f; do
  [ -n "$f" ] && [ -e "$root$f" ] && [ ! -d "$root$f" ] && left="$left $f"
done <"$work/owned"
check "no file of theirs is left ($left)" [ -z "$left" ]
check "the limits file went with them" [ ! -e "$limits" ]
check "no debconf answer is left" bash -c "! chroot '$root' debconf-show pt4cli 2>/dev/null | grep -q realtime"

# With ucf removed first (and pt4cli with it), purging still takes the package's
# own limits file, and keeps one the administrator edited.
for edited in no yes; do
  echo "pt4cli pt4cli/realtime boolean true" | in_root debconf-set-selections
  in_root apt-get install -y -q "$cli_file" >"$work/again.log" 2>&1
  check "reinstalled after a purge without ucf ($edited): the limits file written again" [ -f "$limits" ]
  [ $edited = yes ] && sed -i 's/rtprio   80/rtprio   30/' "$limits"
  in_root apt-get remove -y -q ucf >>"$work/again.log" 2>&1
  in_root dpkg --purge pt4cli >>"$work/again.log" 2>&1
  if [ $edited = no ]; then
    check "ucf gone: purge takes the package's own limits file" [ ! -e "$limits" ]
  else
    check "ucf gone: purge keeps an edited limits file" grep -q 'rtprio   30' "$limits"
    rm -f "$limits"
  fi
done

echo "install: $pass passed, $fail failed"
[ "$fail" -eq 0 ]
