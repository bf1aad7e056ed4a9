#!/usr/bin/env bash
# Checks the Debian package on a fresh, minimal Debian 12: builds it (scripts/package.sh),
# installs it with apt into a debootstrap root, runs `quarbel --version` there without a
# display, shows the window under Xvfb, checks the files it installed, then purges it and checks
# that they are gone. Needs root (debootstrap, mount, chroot).
#
# The root is made once and kept as a tarball in /var/cache/quarbel-package-check/ (or
# $QUARBEL_CHROOT_CACHE); delete it to start from a new one. The mirror is the host's
# (or $QUARBEL_DEBIAN_MIRROR). The root is unpacked into <package build dir>/chroot and kept
# there when a check fails.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "package_check.sh: FAIL: $*" >&2; exit 1; }
ok() { echo "ok: $*"; }
[ "$(id -u)" -eq 0 ] || fail "run as root: debootstrap, mount and chroot need it"

dir=${QUARBEL_PACKAGE_BUILD_DIR:-build-package}
mkdir -p "$dir"
scripts/package.sh | tee "$dir/package.log"
deb=$(tail -n1 "$dir/package.log")
[ -f "$deb" ] || fail "scripts/package.sh named no package"
version=$(dpkg-deb --field "$deb" Version)
upstream=${version%-*}
scripts/setup.sh debootstrap

# The mirror the host installs Debian 12 from: a one-line source, else a deb822 stanza whose
# Suites hold bookworm itself (not bookworm-security).
host_mirror() {
  local uri
  uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
    sed -nE 's/^[[:space:]]*deb[[:space:]]+(\[[^]]*\][[:space:]]+)?([^[:space:]]+)[[:space:]]+bookworm[[:space:]].*/\2/p' |
    head -n1)
  if [ -z "$uri" ]; then
    uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk 'BEGIN { RS = "" }
      /(^|\n)Suites:[^\n]*[ \t]bookworm([ \t\n]|$)/ {
        if (match($0, /(^|\n)URIs:[ \t]*[^ \t\n]+/)) {
          s = substr($0, RSTART, RLENGTH); sub(/.*URIs:[ \t]*/, "", s); print s; exit
        }
      }')
  fi
  echo "${uri:-http://deb.debian.org/debian}"
}
mirror=${QUARBEL_DEBIAN_MIRROR:-$(host_mirror)}

root=$(realpath -m "$dir/chroot")
mounts=(proc sys dev dev/pts dev/shm)
unmount_all() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    if mountpoint -q "$root/${mounts[i]}"; then
      umount "$root/${mounts[i]}" 2>/dev/null || umount -l "$root/${mounts[i]}"
    fi
  done
}
passed=0
finish() {
  unmount_all
  if [ "$passed" = 1 ]; then
    rm -rf --one-file-system "$root"
  else
    echo "package_check.sh: the root is kept in $root" >&2
  fi
}
trap finish EXIT

# A fresh root on every run, from the cached tarball when there is one.
unmount_all
rm -rf --one-file-system "$root"
cache=${QUARBEL_CHROOT_CACHE:-/var/cache/quarbel-package-check}
tarball=$cache/bookworm-minbase.tar.gz
mkdir -p "$root" "$cache"
if [ -f "$tarball" ]; then
  tar -xzf "$tarball" -C "$root"
  ok "Debian 12 minbase root from $tarball"
else
  echo "debootstrap --variant=minbase bookworm from $mirror (a few minutes)"
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$dir/debootstrap.log" 2>&1 ||
    { tail -n 20 "$dir/debootstrap.log"; fail "debootstrap failed (log $dir/debootstrap.log)"; }
  tar -czf "$tarball.part" -C "$root" . && mv "$tarball.part" "$tarball"
  ok "Debian 12 minbase root made with debootstrap, cached in $tarball"
fi

mount -t proc proc "$root/proc"
mount -t sysfs sysfs "$root/sys"
mount --bind /dev "$root/dev"
mount --bind /dev/pts "$root/dev/pts"
mount -t tmpfs tmpfs "$root/dev/shm"
cp /etc/resolv.conf "$root/etc/resolv.conf"
# No service may start inside the root.
printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
chmod +x "$root/usr/sbin/policy-rc.d"
# A mirror frozen in time serves Release files past their Valid-Until; follow the host on that.
if apt-config dump | grep -q '^Acquire::Check-Valid-Until "false"'; then
  echo 'Acquire::Check-Valid-Until "false";' >"$root/etc/apt/apt.conf.d/99frozen-mirror"
fi

# Commands run in the root with a bare environment: no display, no Qt platform.
in_root() {
  chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    DEBIAN_FRONTEND=noninteractive "$@"
}

in_root apt-get update -qq >"$dir/apt.log" 2>&1 || { cat "$dir/apt.log"; fail "apt-get update"; }
cp "$deb" "$root/tmp/"
in_root sh -c 'cd /tmp && apt-get install -y ./quarbel_*.deb' >>"$dir/apt.log" 2>&1 ||
  { tail -n 30 "$dir/apt.log"; fail "apt-get install ./$(basename "$deb")"; }
ok "apt-get install ./$(basename "$deb"): $(grep -E '^[0-9]+ upgraded, [0-9]+ newly installed' "$dir/apt.log")"

# The program alone, before anything else is installed: every library it loads came with it.
out=$(in_root quarbel --version 2>&1) || fail "quarbel --version: $out"
[ "$out" = "Quarbel $upstream" ] || fail "quarbel --version printed «$out», not «Quarbel $upstream»"
ok "quarbel --version: $out"
out=$(in_root quarbel --help 2>&1) || fail "quarbel --help: $out"
grep -q -- '--version' <<<"$out" || fail "quarbel --help does not list --version: $out"
ok "quarbel --help lists the options"
fonts=$(in_root fc-list :lang=zh family)
[ -n "$fonts" ] || fail "no Chinese font installed: the interface would be unreadable"
ok "a Chinese font came with it: $(head -n1 <<<"$fonts")"

files=$(in_root dpkg -L quarbel)
for want in /usr/bin/quarbel /usr/share/applications/org.quarbel.Quarbel.desktop \
  /usr/share/icons/hicolor/scalable/apps/quarbel.svg \
  /usr/share/metainfo/org.quarbel.Quarbel.metainfo.xml /usr/share/quarbel/help/index.html \
  /usr/share/doc/quarbel/copyright; do
  grep -qx -- "$want" <<<"$files" || fail "dpkg -L quarbel does not list $want"
  [ -f "$root$want" ] || fail "$want is listed but not installed"
done
ok "dpkg -L quarbel lists the program, desktop entry, icon, metainfo, help index and copyright"

# The window, on a virtual screen: it must be shown (mapped) under its versioned title while
# the program runs, and the program must still be running when it is asked to stop.
in_root apt-get install -y --no-install-recommends xvfb xauth x11-utils >>"$dir/apt.log" 2>&1 ||
  { tail -n 30 "$dir/apt.log"; fail "apt-get install xvfb"; }
cat >"$root/tmp/show.sh" <<'EOF'
title=$1
quarbel 2>/tmp/quarbel.err &
pid=$!
for _ in $(seq 150); do
  if xwininfo -name "$title" 2>/dev/null | grep -q 'Map State: IsViewable'; then
    xwininfo -name "$title" | grep -E 'Window id|Width|Height'
    kill -0 "$pid" || { echo "the program ended after showing its window"; exit 1; }
    kill -TERM "$pid"
    wait "$pid"
    status=$?
    # 143: ended by the TERM sent above.
    [ "$status" -eq 143 ] || { echo "exit status $status after TERM"; exit 1; }
    exit 0
  fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
echo "no window «$title» within 15 s"
kill -TERM "$pid" 2>/dev/null
cat /tmp/quarbel.err
exit 1
EOF
window=$(in_root xvfb-run -a -s '-screen 0 1280x1024x24' sh /tmp/show.sh "Quarbel V$upstream" \
  2>"$dir/xvfb.log") || { cat "$dir/xvfb.log"; fail "window: $window"; }
ok "window «Quarbel V$upstream» shown under Xvfb:$(tr -s ' \n' ' ' <<<"$window")"
if grep -v 'XDG_RUNTIME_DIR' "$root/tmp/quarbel.err" | grep -q .; then
  echo "  the program's messages on the screen:"
  sed 's/^/    /' "$root/tmp/quarbel.err"
fi

in_root apt-get remove --purge -y quarbel >>"$dir/apt.log" 2>&1 || fail "apt-get remove --purge quarbel"
left=()
while read -r path; do
  # A directory stays when it still holds something of another package (/usr/share, ...);
  # an empty one, or any file, is left behind.
  if [ -d "$root$path" ]; then
    [ -n "$(ls -A "$root$path")" ] || left+=("$path/")
  elif [ -e "$root$path" ] || [ -L "$root$path" ]; then
    left+=("$path")
  fi
done <<<"$files"
[ ${#left[@]} -eq 0 ] || fail "left behind after purge: ${left[*]}"
if in_root dpkg -s quarbel >/dev/null 2>&1; then fail "dpkg still knows quarbel after purge"; fi
ok "apt-get remove --purge quarbel removed all $(wc -l <<<"$files") paths it installed"

passed=1
echo "package check passed: $(basename "$deb"), $(du -k "$deb" | cut -f1) kB"
