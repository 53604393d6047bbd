#!/bin/sh
# The guest's init: load the drivers, run pt4cli as a user would, print what
# happened between markers on the serial console, and power off.
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
cd /tmp
step() {  # step NAME COMMAND...: the command's output and exit code, marked
  name=$1
  shift
  echo "@@begin $name"
  "$@" >out.txt 2>&1
  rc=$?
  cat out.txt
  echo "@@end $name rc=$rc"
}
insmod /lib/parport.ko
insmod /lib/parport_pc.ko
insmod /lib/ppdev.ko
step kernel sh -c 'dmesg | grep parport0; cat /proc/sys/dev/parport/parport0/modes'

# Traced runs first, while nothing else has touched the port since the claim.
export PT4_PORT=/dev/parport0
step blank env PT4_TRACE=/tmp/blank.trace pt4cli blank
step refused pt4cli write /image.rom --mask full --time 1 --cycles 1
step write env PT4_TRACE=/tmp/write.trace pt4cli write /image.rom --mask full --time 1 --cycles 1 --force -q
step trace-blank cat /tmp/blank.trace
step trace-write cat /tmp/write.trace
step probe pt4cli probe
step ports pt4cli ports

# A second instance while the first holds the port.
pt4cli write /image.rom --mask full --time 1 --cycles 1 --force -q >/dev/null 2>&1 &
holder=$!
sleep 2
step busy pt4cli blank
kill -TERM $holder
wait $holder
echo "@@holder rc=$?"

step notlp su -s /bin/sh nobody -c 'PT4_PORT=/dev/parport0 pt4cli blank'
insmod /lib/lp.ko
step lpheld pt4cli blank
rmmod lp
rmmod ppdev
step noppdev pt4cli blank
echo "@@done"
sync
poweroff -f
