#!/usr/bin/env bash
# Installs the Debian package into a freshly bootstrapped Debian 12 (bookworm) root and
# checks that it works there: apt resolves its dependencies, every file is in place,
# morvane-img runs on a sample image, the program starts and shows its window, and purging
# the package leaves nothing behind. A developer's check before a release, not CI's: it
# needs root (debootstrap, chroot, mounts) and the Debian mirror.
#
#   sudo scripts/check-package-fresh.sh [--deb FILE] [--dir DIR] [--image FILE.trd]
#                                       [--no-recommends] [--keep]
#
# --deb    the package to check (default: build it with scripts/package.sh)
# --dir    work folder, outside the repository (default /var/tmp/morvane-fresh). The
#          bootstrapped base is kept there in base/ and reused; every run installs into a
#          new copy of it, root/, which is removed at the end unless --keep is given.
# --image  a TR-DOS image for morvane-img (default: the corpus' first .trd)
# --no-recommends  install as `apt install --no-install-recommends` does (the Depends only)
# Writes DIR/window.png, the program's window as the fresh system shows it.
# MORVANE_DEBIAN_MIRROR picks the mirror (default http://deb.debian.org/debian).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
deb=""
dir=/var/tmp/morvane-fresh
image=""
keep=0
apt_options=()
mirror=${MORVANE_DEBIAN_MIRROR:-http://deb.debian.org/debian}
while [ $# -gt 0 ]; do
  case "$1" in
    --deb) deb=$(realpath "$2"); shift 2 ;;
    --dir) dir=$2; shift 2 ;;
    --image) image=$(realpath "$2"); shift 2 ;;
    --keep) keep=1; shift ;;
    --no-recommends) apt_options+=(--no-install-recommends); shift ;;
    *) echo "usage: $0 [--deb FILE] [--dir DIR] [--image FILE.trd] [--no-recommends] [--keep]" >&2
       exit 2 ;;
  esac
done
[ "$(id -u)" -eq 0 ] || { echo "check-package-fresh: needs root (debootstrap, chroot)" >&2; exit 2; }
mkdir -p "$dir"
dir=$(realpath "$dir")
case "$dir/" in
  "$repo"/*) echo "check-package-fresh: --dir must lie outside the repository" >&2; exit 2 ;;
esac
if [ -z "$image" ]; then
  image=$(find "$repo/../shared/corpus" -maxdepth 2 -iname '*.trd' 2>/dev/null | sort | head -n 1 || true)
  [ -n "$image" ] || { echo "check-package-fresh: no corpus TRD; give --image" >&2; exit 2; }
fi

step() { printf '\n== %s\n' "$*"; }
fail() { echo "check-package-fresh: FAILED: $*" >&2; exit 1; }

host_tools=()
command -v debootstrap >/dev/null || host_tools+=(debootstrap)
command -v Xvfb >/dev/null || host_tools+=(xvfb)
command -v convert >/dev/null || host_tools+=(imagemagick)
if [ ${#host_tools[@]} -gt 0 ]; then
  step "installing on this machine: ${host_tools[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${host_tools[@]}"
fi

if [ -z "$deb" ]; then
  step "building the package"
  "$repo/scripts/package.sh"
  deb=$(ls -t "$repo"/build/package/morvane_*.deb | head -n 1)
fi
[ -f "$deb" ] || fail "no package $deb"

base=$dir/base
if [ ! -f "$base/.morvane-base-complete" ]; then
  step "bootstrapping Debian 12 into $base"
  rm -rf "$base"
  debootstrap --variant=minbase bookworm "$base" "$mirror"
  touch "$base/.morvane-base-complete"
fi

root=$dir/root
mounts=()
xvfb_pid=""
# Processes whose root is the fresh root: none may outlive the checks.
running_in_root() {
  local p
  for p in /proc/[0-9]*; do
    [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && echo "${p#/proc/}"
  done
  return 0
}
cleanup() {
  set +e
  local pid i
  for pid in $(running_in_root); do kill -KILL "$pid" 2>/dev/null; done
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}"
  done
  mounts=()
  [ "$keep" -eq 0 ] && [ -d "$root" ] || return 0
  # Never remove the root while anything is still mounted in it: rm would reach the host.
  if grep -q " $root/" /proc/mounts; then
    echo "check-package-fresh: something is still mounted in $root; not removing it" >&2
    return 0
  fi
  rm -rf --one-file-system "$root" || echo "check-package-fresh: could not remove $root" >&2
}
trap cleanup EXIT
bind() {  # bind SOURCE TARGET-inside-root
  mkdir -p "$root$2"
  mount --bind "$1" "$root$2"
  mounts+=("$root$2")
}

step "a fresh root from the base: $root"
rm -rf "$root"
cp -a "$base" "$root"
mkdir -p "$root/proc" "$root/sys"
mount -t proc proc "$root/proc" && mounts+=("$root/proc")
mount -t sysfs sys "$root/sys" && mounts+=("$root/sys")
bind /dev /dev
bind /dev/pts /dev/pts
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
# Packages installed here must not start their services in the root.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod 0755 "$root/usr/sbin/policy-rc.d"
printf 'deb %s bookworm main\ndeb %s bookworm-updates main\n' "$mirror" "$mirror" \
  >"$root/etc/apt/sources.list"
in_root() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root \
  LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }
# The program as a person starts it: an ordinary user with a home of their own. chroot and
# env replace themselves by the program, so a command started with & has the program's pid.
user_env=(PATH=/usr/bin:/bin HOME=/home/tester LANG=C.UTF-8)
as_user() { chroot --userspec="$tester" "$root" /usr/bin/env -i "${user_env[@]}" "$@"; }

mkdir -p "$root/tmp/check"
cp "$deb" "$root/tmp/check/"
cp "$image" "$root/tmp/check/sample.trd"
debname=$(basename "$deb")
in_root useradd --create-home --shell /bin/sh tester
tester="$(in_root id -u tester):$(in_root id -g tester)"
chmod 0777 "$root/tmp/check"

step "apt install ${apt_options[*]} ./$debname"
in_root apt-get update -qq
in_root apt install -y "${apt_options[@]}" "./tmp/check/$debname" 2>&1 | grep -v 'does not have a stable CLI' |
  tee "$dir/apt-install.log" | tail -n 5
in_root dpkg-query -W -f='${Status}\n' morvane | grep -q "install ok installed" ||
  fail "the package did not install (see $dir/apt-install.log)"
in_root dpkg-query -W -f='Depends: ${Depends}\nRecommends: ${Recommends}\n' morvane

step "installed files"
installed=(/usr/bin/morvane /usr/bin/morvane-img /usr/share/man/man1/morvane-img.1.gz
  /usr/share/man/man1/morvane.1.gz /usr/share/applications/morvane.desktop
  /usr/share/icons/hicolor/scalable/apps/morvane.svg /usr/lib/udev/rules.d/99-morvane-ftdi.rules
  /usr/share/doc/morvane/README.md /usr/share/doc/morvane/copyright
  /usr/share/doc/morvane/changelog.gz)
for f in "${installed[@]}"; do
  [ -e "$root$f" ] || fail "not installed: $f"
  echo "ok $f"
done
plugin=$(find "$root/usr/lib" -path '*qt6/plugins/platforms/libqxcb.so' | head -n 1)
[ -n "$plugin" ] || fail "Qt's X11 platform plugin is not installed"
for bin in /usr/bin/morvane /usr/bin/morvane-img "${plugin#"$root"}"; do
  missing=$(in_root ldd "$bin" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$bin lacks libraries: $missing"
  echo "ok every library of $bin"
done

step "morvane-img"
as_user morvane-img --help | sed -n 1,3p
as_user morvane-img info /tmp/check/sample.trd | tee "$dir/info.txt"
grep -q '^format: TRD$' "$dir/info.txt" || fail "morvane-img info did not read the TRD"
as_user morvane-img convert /tmp/check/sample.trd /tmp/check/sample.udi
as_user morvane-img sectors /tmp/check/sample.trd >"$dir/sectors-trd.txt"
as_user morvane-img sectors /tmp/check/sample.udi >"$dir/sectors-udi.txt"
cmp -s "$dir/sectors-trd.txt" "$dir/sectors-udi.txt" || fail "TRD -> UDI changed the sectors"
echo "ok the UDI copy holds the same $(wc -l <"$dir/sectors-trd.txt") sectors"
as_user morvane-img cat /tmp/check/sample.trd | sed -n 1,3p
in_root man -P cat morvane-img 2>/dev/null | sed -n 1,3p || echo "(no man reader in the base system)"

# Starts the program, waits, checks it still runs, ends it with SIGTERM. $1 names the run;
# the rest is the environment.
start_window() {
  local what=$1 log=$dir/morvane-$1.log
  shift
  # Started directly, not through the function: a function run with & is a subshell of
  # its own, whose pid is not the program's.
  chroot --userspec="$tester" "$root" /usr/bin/env -i "${user_env[@]}" "$@" morvane \
    >"$log" 2>&1 &
  local pid=$!
  sleep 6
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" || true
    cat "$log" >&2
    fail "morvane ($what) did not stay up"
  fi
  if [ "$what" = x11 ]; then
    convert "xwd:$dir/fb/Xvfb_screen0" "$dir/window.png"
    # An empty screen has one colour; the window has its text, icons and frames.
    colours=$(convert "$dir/window.png" -format %k info:)
    [ "$colours" -gt 16 ] || fail "the screen shows no window ($colours colours)"
  fi
  [ "$(readlink "/proc/$pid/exe")" = "$root/usr/bin/morvane" ] ||
    fail "pid $pid is not the installed morvane"
  kill -TERM "$pid"
  local status=0
  wait "$pid" || status=$?
  [ "$status" -eq 143 ] || { cat "$log" >&2; fail "morvane ($what) ended with $status on SIGTERM"; }
  if grep -qiE 'could not (load|find)|cannot load library|failed to load' "$log"; then
    cat "$log" >&2
    fail "morvane ($what) reported a missing piece"
  fi
  echo "ok morvane ($what) stayed up and ended on SIGTERM"
}

step "morvane, offscreen"
start_window offscreen QT_QPA_PLATFORM=offscreen

# The root shares this machine's network namespace, so the program reaches the server
# through its abstract socket and no folder of the host needs to be mounted in the root.
step "morvane on an X server (Xvfb of this machine)"
n=47
while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
display=:$n
mkdir -p "$dir/fb"
Xvfb "$display" -screen 0 1280x900x24 -fbdir "$dir/fb" -nolisten tcp >"$dir/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -S "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
[ -S "/tmp/.X11-unix/X$n" ] || fail "Xvfb did not start"
start_window x11 DISPLAY="$display" QT_QPA_PLATFORM=xcb
echo "the window: $dir/window.png"

left=$(running_in_root)
[ -z "$left" ] || fail "still running in the root: $(ps -o pid=,args= -p "${left//$'\n'/,}")"

step "apt purge morvane"
in_root apt-get purge -y -qq morvane >/dev/null
for f in "${installed[@]}" /usr/share/doc/morvane; do
  [ ! -e "$root$f" ] || fail "left after purge: $f"
done
echo "ok nothing left"

step "the package installs and works on a fresh Debian 12"
