#!/usr/bin/env bash
# Tries the Debian package on a clean Debian 12: makes a minimal bookworm in a folder (debootstrap), installs the
# package there with apt, starts the program under Xvfb as a user with an empty home, checks that the catalogue is
# made in the user's data folder and that the help opens, takes a picture of the screen, removes the package and
# checks that none of its files is left. Needs root and the Debian mirror.
# Usage: sudo tools/check-clean-install.sh PACKAGE.deb FOLDER   (FOLDER: new or empty, outside the source tree)
set -euo pipefail
deb=$(realpath "$1")
root=$(realpath -m "$2")/root
log=$(realpath -m "$2")/log
mirror="${DEBIAN_MIRROR:-http://deb.debian.org/debian}"
[ "$(id -u)" -eq 0 ] || { echo "needs root (debootstrap, chroot)"; exit 1; }
command -v debootstrap >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap
mkdir -p "$log"

inside() { chroot "$root" /usr/bin/env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin DEBIAN_FRONTEND=noninteractive "$@"; }
as_user() {
    chroot --userspec=tester:tester "$root" /usr/bin/env -i HOME=/home/tester PATH=/usr/bin:/bin LANG=C.UTF-8 \
        DISPLAY=:91 "$@"
}
# Every file of the system, apart from the virtual, temporary and package-manager folders.
files() {
    inside find / -xdev \( -path /proc -o -path /sys -o -path /dev -o -path /tmp -o -path /run -o -path /var/cache \
        -o -path /var/lib/apt -o -path /var/lib/dpkg -o -path /var/log \) -prune -o -print | sort
}

pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    umount "$root/dev/pts" "$root/proc" 2>/dev/null || true
}
trap cleanup EXIT

[ -x "$root/bin/bash" ] || debootstrap --variant=minbase bookworm "$root" "$mirror" >"$log/debootstrap.log"
cat >"$root/etc/apt/sources.list" <<EOF
deb $mirror bookworm main
deb $mirror bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf"
mountpoint -q "$root/proc" || mount -t proc proc "$root/proc"
mountpoint -q "$root/dev/pts" || mount --bind /dev/pts "$root/dev/pts" # apt's terminal log
inside apt-get update -qq
cp "$deb" "$root/tmp/"
echo "== install: apt install ./$(basename "$deb")"
inside bash -c "cd /tmp && apt-get install -y ./$(basename "$deb")" >"$log/install.log"
inside dpkg -L quelm | sort >"$log/package-files.txt"
# For this trial only: a display, a way to press keys, and a user with an empty home.
inside apt-get install -y --no-install-recommends xvfb xauth xdotool >"$log/trial-tools.log"
inside id tester >/dev/null 2>&1 || inside useradd -M -d /home/tester -s /bin/bash tester
rm -rf "$root/home/tester" && mkdir -p "$root/home/tester" && inside chown tester:tester /home/tester
files >"$log/files-installed.txt"

echo "== start with an empty home"
mkdir -p "$root/tmp/fb" && chmod 1777 "$root/tmp/fb"
as_user /usr/bin/Xvfb :91 -screen 0 1280x800x24 -nolisten tcp -fbdir /tmp/fb >"$log/xvfb.log" 2>&1 &
pids+=($!)
sleep 2
as_user /usr/bin/quelm >"$log/quelm.log" 2>&1 &
pids+=($!)
sleep 6
catalogue="$root/home/tester/.local/share/Quelm/Quelm/Quelm.mdb"
[ -s "$catalogue" ] || { echo "no catalogue in the user's data folder"; exit 1; }
echo "catalogue made: ${catalogue#"$root"}"
convert "xwd:$root/tmp/fb/Xvfb_screen0" "$log/started.png" 2>/dev/null || cp "$root/tmp/fb/Xvfb_screen0" "$log/started.xwd"
as_user bash -c 'xdotool windowfocus --sync "$(xdotool search --name "^ＣＤ管理 Quelm$" | head -1)"; xdotool key F1'
sleep 2
as_user xdotool search --name "ヘルプ$" >/dev/null || { echo "F1 opened no help window"; exit 1; }
echo "help opened"
convert "xwd:$root/tmp/fb/Xvfb_screen0" "$log/help.png" 2>/dev/null || true
for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
pids=()
sleep 1

echo "== remove"
inside apt-get remove -y quelm >"$log/remove.log"
files >"$log/files-removed.txt"
left=$(while read -r f; do [ -e "$root$f" ] && [ ! -d "$root$f" ] && echo "$f"; done <"$log/package-files.txt" || true)
[ -z "$left" ] || { echo "left after removal:"; echo "$left"; exit 1; }
echo "removed; files gone besides the package's own (caches of other packages' triggers):"
comm -23 "$log/files-installed.txt" "$log/files-removed.txt" | comm -23 - "$log/package-files.txt" || true
echo "Clean install ok (user data stays in the user's home, as apt leaves homes alone). Log: $log"
