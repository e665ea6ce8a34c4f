#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Maps drive letters of a wine prefix to folders, each with the drive type that GetDriveTypeW
# answers for it.
# Usage: wine-drive.sh PREFIX WINE64 LETTER TYPE FOLDER [LETTER TYPE FOLDER ...]
#   TYPE: hd (DRIVE_FIXED), floppy (DRIVE_REMOVABLE), cdrom (DRIVE_CDROM), network (DRIVE_REMOTE),
#         ramdisk (DRIVE_RAMDISK), or none to take the letter away (its FOLDER is not read).
#   A FOLDER that does not exist is a drive without its medium.
# The volume label is the first line of FOLDER/.windows-label; wine reads it at every query.
#
# The letter is a link in the prefix's dosdevices, the type a value of HKLM\Software\Wine\Drives.
# Wine reads the types only when its server starts, so the script waits until the prefix's server
# has ended (3 seconds after its last program): the next wine program sees the new drives. A test
# that changes drives takes RESOURCE_LOCK wine_drives, so that no other test changes them meanwhile.
set -euo pipefail
prefix=$1 wine64=$2
shift 2
if [ $# -eq 0 ] || [ $(($# % 3)) -ne 0 ]; then
    echo "usage: wine-drive.sh PREFIX WINE64 LETTER TYPE FOLDER [LETTER TYPE FOLDER ...]" >&2
    exit 2
fi
wineserver=$(dirname "$wine64")/wineserver
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
key='HKLM\Software\Wine\Drives'

while [ $# -gt 0 ]; do
    letter=${1,,} type=$2 folder=$3
    shift 3
    if [[ ! $letter =~ ^[a-z]$ ]]; then
        echo "wine-drive.sh: $letter is not a drive letter" >&2
        exit 2
    fi
    case $type in
    none)
        rm -f "$prefix/dosdevices/$letter:"
        "$wine64" reg delete "$key" /v "$letter:" /f >/dev/null 2>&1 || true
        ;;
    hd | floppy | cdrom | network | ramdisk)
        ln -sfn "$folder" "$prefix/dosdevices/$letter:"
        "$wine64" reg add "$key" /v "$letter:" /d "$type" /f >/dev/null
        ;;
    *)
        echo "wine-drive.sh: unknown drive type $type" >&2
        exit 2
        ;;
    esac
done
"$wineserver" -w
