#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One medium refreshed in turn by the Linux program and by kopierix.exe under wine, as on a PC that
# starts either system: the data folder is d: on both sides and the medium a removable e:. Every
# run must copy exactly the files changed since that medium folder's last refresh, keep their
# times, and leave the rest alone; Restore All from either side then gives back the same files.
# Usage: dual-boot.sh shared|per-computer WORKDIR PREFIX WINE64 KOPIERIX_EXE LINUX_PROGRAM
#   shared:       both systems refresh one backup, as one computer does.
#   per-computer: each system keeps its own computer's folder (set-backup-drive --per-computer),
#                 under a computer name of its own, and never touches the other's.
set -euo pipefail
mode=$1 work=$2 prefix=$3 wine64=$4 exe=$5 linux=$6
here=$(cd "$(dirname "$0")" && pwd)

if [ ! -x "$linux" ]; then
    echo "The Linux program is missing: $linux" >&2
    echo "Build it with scripts/build kopierix, or name another one" \
        "with -DKOPIERIX_LINUX_PROGRAM=..." >&2
    exit 1
fi

rm -rf "$work"
mkdir -p "$work/data" "$work/medium" "$work/home/.config/Kopierix" "$work/home/.local/share"
data=$work/data medium=$work/medium
export LC_ALL=C.UTF-8
# A zone an hour away from UTC, with summer time: a side that kept the medium's times in local
# time, or shifted them by the wrong offset, would copy again what the other side had copied.
export TZ=Europe/Amsterdam
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# Wine takes its computer name from the host at every start of its server, into a volatile value
# of the registry: each run sets its own name there for its time, in the same wine session, and
# gives back the name it started with (COMPUTERNAME), which other programs of the prefix see.
wine_name=KOPIERIX-WINE
linux_name=$(uname -n)
active='HKLM\System\CurrentControlSet\Control\ComputerName\ActiveComputerName'
printf '@%s\r\n' \
    "reg add \"$active\" /v ComputerName /d $wine_name /f >nul" \
    "\"Z:${exe//\//\\}\" %*" \
    'set status=%errorlevel%' \
    "reg add \"$active\" /v ComputerName /d %COMPUTERNAME% /f >nul" \
    'exit /b %status%' >"$work/kopierix.cmd"

cat >"$work/home/.config/Kopierix/Kopierix.ini" <<EOF
[Drives]
d=$data
d.type=DRIVE_FIXED
e=$medium
e.type=DRIVE_REMOVABLE
EOF
"$wine64" reg delete 'HKCU\Software\Kopierix' /f >/dev/null 2>&1 || true
rm -rf "$prefix"/drive_c/users/*/AppData/Roaming/Kopierix
"$here/wine-drive.sh" "$prefix" "$wine64" d hd "$data" e floppy "$medium"

fail() {
    echo "FAILED: $*" >&2
    for f in "$work"/out "$work"/err; do
        echo "--- ${f##*/} of the last run:" >&2
        cat "$f" >&2 2>/dev/null || true
    done
    exit 1
}

# run linux|wine ARGS...: one run of either program, which must succeed; output in out and err.
run() {
    local side=$1 status=0
    shift
    if [ "$side" = linux ]; then
        # A bus that is not there: the desktop of whoever runs the tests gets no notification.
        (cd "$work" && HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
            XDG_DATA_HOME="$work/home/.local/share" \
            DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus" "$linux" "$@") \
            >"$work/out" 2>"$work/err" || status=$?
    else
        (cd "$work" && "$wine64" cmd /c kopierix.cmd "$@") >"$work/out" 2>"$work/err" || status=$?
    fi
    [ "$status" -eq 0 ] || fail "$side $* ended with status $status"
}

# The files a run names as copied to e:, relative to d: and with / between folders, sorted.
copied() {
    local line
    tr -d '\r' <"$work/out" | while IFS= read -r line; do
        [[ $line == *" copied to e:" ]] || continue
        line=${line% copied to e:}
        case $line in
        "$data"/*) line=${line#"$data"/} ;;
        [dD]:\\*) line=${line:3} line=${line//\\//} ;;
        *) line="(not on d:) $line" ;;
        esac
        printf '%s\n' "$line"
    done | LC_ALL=C sort
}

summary() {
    tr -d '\r' <"$work/out" | grep -c -x -F "$1" || true
}

# Names, sizes and modification times of a folder's files and folders, then their contents.
state() {
    (cd "$1" && find . -mindepth 1 -exec stat -c '%n %F %s %Y' {} + | LC_ALL=C sort &&
        find . -type f -exec md5sum {} + | LC_ALL=C sort)
}
files() {
    (cd "$1" && find . -type f -exec stat -c '%n %s %Y' {} + | LC_ALL=C sort &&
        find . -type f -exec md5sum {} + | LC_ALL=C sort)
}

# The folder of a side's backup on the medium, and its mirror of d:\Docs (whatever the case of
# the drive letter that side writes).
base() {
    if [ "$mode" = per-computer ]; then
        if [ "$1" = linux ]; then echo "$medium/$linux_name"; else echo "$medium/$wine_name"; fi
    else
        echo "$medium"
    fi
}
mirror() {
    find "$(base "$1")" -mindepth 1 -maxdepth 1 -type d -iname 'd-Docs' -print -quit
}
owner() {
    if [ "$mode" = per-computer ]; then echo "$1"; else echo shared; fi
}

# What each medium folder has not had yet: the files changed since its last refresh.
declare -A pending=([linux]="" [wine]="" [shared]="")
change() {
    local time=$1 name
    shift
    for name in "$@"; do
        printf '%s, changed at %s\n' "$name" "$time" >"$data/$name"
        touch -d "@$time" "$data/$name"
        for key in "${!pending[@]}"; do
            pending[$key]+="$name"$'\n'
        done
    done
}

# make_backups SIDE: refreshes and checks that exactly the pending files of the side's folder
# were copied, with their times, and that the other computer's folder kept every byte and time.
make_backups() {
    local side=$1 other before="" expected backup
    other=$([ "$side" = linux ] && echo wine || echo linux)
    [ "$mode" = per-computer ] && before=$(state "$(base "$other")")
    expected=$(printf '%s' "${pending[$(owner "$side")]}" | LC_ALL=C sort -u)
    run "$side" make-backups
    [ "$(copied)" = "$expected" ] ||
        fail "$side make-backups copied [$(copied | paste -sd,)]," \
            "not [$(paste -sd, <<<"$expected")]"
    [ "$(summary "Number of files copied to e: = $(grep -c . <<<"$expected" || true)")" = 1 ] ||
        fail "$side make-backups counted otherwise"
    backup=$(mirror "$side")
    [ "$(files "$backup")" = "$(files "$data/Docs")" ] ||
        fail "after $side make-backups the backup is not the data:" \
            "$(diff <(files "$backup") <(files "$data/Docs"))"
    if [ "$mode" = per-computer ] && [ "$(state "$(base "$other")")" != "$before" ]; then
        fail "$side make-backups changed $other's folder"
    fi
    pending[$(owner "$side")]=""
}

# Files in folders, a name beyond ASCII, a file from summer time.
T0=1700000000 # November 2023
mkdir -p "$data/Docs/sub/deep"
change $T0 Docs/a.txt Docs/b.txt Docs/sub/c.txt 'Docs/Ünïcødé €uro.txt'
change 1690000000 Docs/sub/deep/d.txt # July 2023
all=$(cd "$data" && find Docs -type f | LC_ALL=C sort)
count=$(grep -c . <<<"$all")

if [ "$mode" = per-computer ]; then
    run linux set-backup-drive e --per-computer
    run wine set-backup-drive e --per-computer
    run wine add 'd:\Docs'
    [ "$(summary "Number of files added = $count")" = 1 ] ||
        fail "wine add did not add $count files"
    [ -n "$(mirror wine)" ] || fail "wine add made no d-Docs in $wine_name"
else
    run linux set-backup-drive e
    run wine set-backup-drive e
fi
run linux add "$data/Docs"
[ "$(summary "Number of files added = $count")" = 1 ] || fail "linux add did not add $count files"
pending=([linux]="" [wine]="" [shared]="")

change $((T0 + 3600)) Docs/a.txt
make_backups linux
change $((T0 + 7200)) Docs/b.txt 'Docs/Ünïcødé €uro.txt'
make_backups wine
change $((T0 + 10800)) Docs/sub/c.txt
make_backups linux
change $((T0 + 14400)) Docs/sub/deep/d.txt
make_backups wine
# Linux's turn once more, with nothing changed: the shared backup is current, and its own
# computer's folder takes what the other had had.
make_backups linux

# Restore All from either side gives back every file, byte for byte.
cp -a "$data/Docs" "$work/expected"
for side in wine linux; do
    rm -rf "$data/Docs"
    run "$side" restore-all --yes
    [ "$(summary "Number of files restored from e: = $count")" = 1 ] ||
        fail "$side restore-all did not restore $count files"
    diff -r "$work/expected" "$data/Docs" >&2 || fail "$side restore-all gave back other files"
done
echo "dual-boot ($mode): passed"
