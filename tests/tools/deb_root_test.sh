#!/usr/bin/env bash
# Installs the .deb built from a release tree on a clean Debian 12 root with
# apt, as a user of a fresh machine would, and tries the installed program
# there: every dependency resolved, the programs, desktop entry and icon where
# the menu finds them, and the program started as the menu starts it and on a
# directory made by the installed abonix-db, its window on an X server, left
# with Ctrl+X.
#   deb_root_test.sh BUILD_DIR CACHE_DIR
# BUILD_DIR: a built tree (Release, so the package needs no sanitizer runtime).
# CACHE_DIR: keeps the pristine root made by debootstrap and apt's downloaded
# packages between runs; every run works on a fresh copy of that root.
# Needs root (chroot, mounts), debootstrap, Xvfb and xdotool on this machine.
# The Debian mirror is the one this machine's apt takes bookworm from
# (/etc/apt/sources.list.d/*.sources or sources.list); ABONIX_DEB_MIRROR names
# another.
set -euo pipefail
# In a mount namespace of its own: whatever is mounted for the root goes with
# the last process of this run, also when the run is killed and no trap runs,
# so no /dev of the host is ever left bound under the build folder.
if [ -z "${ABONIX_DEB_ROOT_NAMESPACE:-}" ]; then
  exec unshare --mount --propagation private env ABONIX_DEB_ROOT_NAMESPACE=1 bash "$0" "$@"
fi
build=$(realpath "$1")
mkdir -p "$2"
cache=$(realpath "$2")
# apt_uri SUITE: the URIs this machine's apt sources give for SUITE, first one first.
apt_uri() {
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # Stanzas are separated by blank lines; only binary package sources count.
    awk -v suite="$1" '
      function flush() { if (deb && uri != "" && (" " suites " ") ~ (" " suite " ")) print uri; deb = 0; uri = ""; suites = "" }
      /^[ \t]*$/ { flush(); next }
      /^Types:/ { deb = (" " $0 " ") ~ / deb / }
      /^URIs:/ { uri = $2 }
      /^Suites:/ { suites = $0; sub(/^Suites:[ \t]*/, "", suites) }
      END { flush() }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    # deb [options] URI SUITE COMPONENTS...
    sed -E 's/\[[^]]*\]//' "$f" | awk -v suite="$1" '$1 == "deb" && $3 == suite { print $2 }'
  done
}
mirror=${ABONIX_DEB_MIRROR:-$(apt_uri bookworm | sed -n 1p)}
security=$(apt_uri bookworm-security | sed -n 1p)
[ -n "$mirror" ] || { echo "FAIL: this machine's apt sources name no mirror for bookworm; set ABONIX_DEB_MIRROR"; exit 1; }
title="Ольмарск 2001"

started=$(date +%s)
phase_start=$started
phase() {  # closes the timing of the phase that ran since the last call
  local now
  now=$(date +%s)
  echo "deb-root: $1 took $((now - phase_start)) s"
  phase_start=$now
}

root=""
xvfb_pid=""
app_pid=""
work=$(mktemp -d)
mounted=()
cleanup() {
  local status=$?
  [ -z "$app_pid" ] || kill -9 "$app_pid" 2>/dev/null || true
  [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount "${mounted[i]}" 2>/dev/null || umount -l "${mounted[i]}" || true
  done
  # The copy goes only when nothing is still mounted on or inside it.
  if [ -n "$root" ] && ! grep -qE " $root(/| )" /proc/mounts; then
    rm -rf --one-file-system "$root"
  elif [ -n "$root" ]; then
    echo "deb-root: $root still has mounts; left in place" >&2
  fi
  rm -rf "$work"
  phase "cleaning up"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

failed=0
fail() { echo "FAIL: $*"; failed=1; }

# ---- the package ---------------------------------------------------------
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
debs=("$work"/out/abonix_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: cpack made no abonix_*.deb"; exit 1; }
deb=${debs[0]}
phase "cpack"

# ---- the pristine root, made once ---------------------------------------
pristine=$cache/bookworm
if [ ! -x "$pristine/usr/bin/apt-get" ]; then
  rm -rf --one-file-system "$pristine.new"
  debootstrap --variant=minbase bookworm "$pristine.new" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -30 "$work/debootstrap.log"; exit 1; }
  # Security fixes and point updates, as any installed Debian 12 has them.
  {
    echo "deb $mirror bookworm main"
    echo "deb $mirror bookworm-updates main"
    [ -z "$security" ] || echo "deb $security bookworm-security main"
  } >"$pristine.new/etc/apt/sources.list"
  mv "$pristine.new" "$pristine"
  phase "debootstrap"
fi

# ---- a fresh copy with /proc, /dev and apt's package cache ---------------
mkdir -p "$cache/archives/partial"
# The mount points of runs that were killed, empty since their namespace went.
rmdir "$cache"/run.* 2>/dev/null || true
root=$(mktemp -d "$cache/run.XXXXXX")
mount_in() {  # mount_in TARGET MOUNT-ARGS...: mounts and notes it for the cleanup
  local target=$root$1
  shift
  mkdir -p "$target"
  mount "$@" "$target"
  mounted+=("$target")
}
# In memory: the installed root of some 400 MB is written and removed in
# moments, where a busy disk takes most of a minute to delete it.
mount_in "" -t tmpfs -o size=2g,mode=0755 abonix-deb-root
cp -a "$pristine/." "$root/"
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount_in /proc -t proc proc
mount_in /dev --bind /dev
mount_in /dev/pts --bind /dev/pts
mount_in /var/cache/apt/archives --bind "$cache/archives"
phase "copying the root"

in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

# ---- apt-get install ./abonix_*.deb -------------------------------------
cp "$deb" "$root/tmp/"
# The root lives only for this run: dpkg need not sync every file it writes.
echo force-unsafe-io >"$root/etc/dpkg/dpkg.cfg.d/abonix-test-unsafe-io"
in_root apt-get update >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; exit 1; }
phase "apt-get update"
if ! in_root sh -c 'cd /tmp && DEBIAN_FRONTEND=noninteractive apt-get install -y ./abonix_*.deb' >>"$work/apt.log" 2>&1; then
  tail -40 "$work/apt.log"
  echo "FAIL: apt-get could not install $(basename "$deb") on a clean Debian 12"
  exit 1
fi
phase "apt-get install"

[ "$(in_root dpkg-query -W -f='${Status}' abonix)" = "install ok installed" ] || fail "abonix is not installed"
in_root apt-get check >/dev/null 2>&1 || fail "apt-get check finds broken dependencies"
for program in abonix abonix-db; do
  if ! libs=$(in_root ldd "/usr/bin/$program" 2>&1); then
    fail "ldd /usr/bin/$program: $libs"
  elif grep -q 'not found' <<<"$libs"; then
    fail "/usr/bin/$program lacks libraries: $(grep 'not found' <<<"$libs")"
  fi
done
version=$(dpkg-deb -f "$deb" Version)
[ "$(in_root abonix --version)" = "abonix $version" ] || fail "the installed abonix --version"

# ---- where the desktop menu finds the program --------------------------
entry=$root/usr/share/applications/abonix.desktop
if [ ! -f "$entry" ]; then
  fail "no desktop entry in /usr/share/applications"
else
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "the installed desktop entry does not validate"
  fi
  exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  [ "$(in_root sh -c "command -v '$exec_name'")" = "/usr/bin/$exec_name" ] ||
    fail "the entry's Exec=$exec_name is not on the PATH"
  icon=$(sed -n 's/^Icon=//p' "$entry")
  found=$(find "$root/usr/share/icons/hicolor" -path "*/apps/$icon.png" 2>/dev/null)
  [ -n "$found" ] || fail "no icon $icon.png in the hicolor theme"
fi

# ---- the installed program on an X server -----------------------------
# A user of the machine, as the menu would start the program for them.
in_root useradd --create-home --shell /bin/sh olga
user_id=$(in_root id -u olga):$(in_root id -g olga)
# The runtime folder a desktop session gives its programs.
runtime_dir=/run/user/${user_id%%:*}
mkdir -p "$root$runtime_dir"
chown "$user_id" "$root$runtime_dir"
chmod 700 "$root$runtime_dir"
# -noreset: the server stays as it is between the starts, when no client is connected.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }
display=:$(cat "$work/display")
mount_in /tmp/.X11-unix --bind /tmp/.X11-unix

# The visible window titled so. This xdotool's search reads only WM_NAME, which
# SDL fills in the locale's encoding, so the title is compared as the window
# manager reads it (_NET_WM_NAME, UTF-8).
find_window() {
  local w
  for w in $(DISPLAY=$display xdotool search --onlyvisible --name . 2>/dev/null); do
    [ "$(DISPLAY=$display xdotool getwindowname "$w" 2>/dev/null)" = "$title" ] && { echo "$w"; return; }
  done
  return 0
}

# try_start NAME DIR ARGS...: starts the installed program as the user in DIR,
# waits for its window, closes it with Ctrl+X and expects exit status 0.
try_start() {
  local name=$1 dir=$2
  shift 2
  chroot --userspec="$user_id" "$root" env -i PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 \
    HOME=/home/olga USER=olga XDG_RUNTIME_DIR="$runtime_dir" DISPLAY="$display" sh -c 'cd "$1" && shift && exec "$@"' sh "$dir" "$@" \
    >"$work/$name.log" 2>&1 &
  app_pid=$!
  local window="" _
  for _ in $(seq 300); do
    window=$(find_window)
    [ -n "$window" ] && break
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  if [ -z "$window" ]; then
    cat "$work/$name.log"
    fail "$name: no window titled \"$title\""
    kill -9 "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
    return
  fi
  # It draws with the fonts the package depends on, not with whatever fontconfig
  # finds instead (FreeType maps the font files it opens).
  local fonts=""
  for _ in $(seq 100); do
    fonts=$(grep -o '/[^ ]*/liberation/LiberationSans[^ ]*' "/proc/$app_pid/maps" 2>/dev/null || true)
    [ -n "$fonts" ] && break
    sleep 0.1
  done
  [ -n "$fonts" ] || fail "$name: draws without the Liberation fonts"
  # Typed on the keyboard (XTEST), as a user does, not sent to the window.
  DISPLAY=$display xdotool key ctrl+x || fail "$name: xdotool could not type Ctrl+X"
  for _ in $(seq 300); do
    kill -0 "$app_pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$app_pid" 2>/dev/null; then
    fail "$name: still running 30 s after Ctrl+X"
    kill -9 "$app_pid" 2>/dev/null || true
  fi
  local status=0
  wait "$app_pid" || status=$?
  app_pid=""
  [ "$status" = 0 ] || { cat "$work/$name.log"; fail "$name: exit status $status"; }
}

# As from the menu: no argument, no tables around; the user's own folder is
# set up from the installed sample.
try_start menu /home/olga abonix
[ -f "$root/home/olga/.local/share/abonix/Phone2k.db" ] ||
  fail "the start from the menu did not set up ~/.local/share/abonix"
# The layout is kept on leaving, in the folder the user works in.
saved_layout() { [ -n "$(find "$root$1" -maxdepth 1 -iname abonix.ini -uid "${user_id%%:*}")" ]; }
saved_layout /home/olga/.local/share/abonix || fail "no layout file saved in ~/.local/share/abonix"

# A directory the installed abonix-db makes, named on the command line from elsewhere.
chroot --userspec="$user_id" "$root" env -i PATH=/usr/bin:/bin HOME=/home/olga \
  abonix-db generate /home/olga/town --subscribers 3000 >"$work/generate.log" 2>&1 ||
  { cat "$work/generate.log"; fail "the installed abonix-db generate"; }
try_start directory / abonix /home/olga/town
saved_layout /home/olga/town || fail "no layout file saved in the directory named"
phase "end to end"

echo "deb-root: $(basename "$deb") on Debian 12 in $(($(date +%s) - started)) s"
[ "$failed" = 0 ] && echo "deb-root: passed"
exit "$failed"
