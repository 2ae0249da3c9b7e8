#!/usr/bin/env bash
# Kills saves at random moments and looks at what each kill left: the file must hold the whole
# old or the whole new content, and nothing else may be in its folder. Runs on an ext4 file
# system (a loop-mounted image) and on tmpfs; needs root for the mounts. Long: not part of the
# test command.
#
# Usage: tests/killloop/run.sh BUILD_DIR [PALETTE_KILLS [GIMP_KILLS]]   (default 500 and 200)
set -uo pipefail
build="${1:?usage: $0 BUILD_DIR [PALETTE_KILLS [GIMP_KILLS]]}"
palette_kills="${2:-500}"
gimp_kills="${3:-200}"
cmake --build "$build" --target killsave >/dev/null || exit 1
driver="$build/tests/killsave"

work="$(mktemp -d "${TMPDIR:-/tmp}/swatchly-kill.XXXXXX")"
mounted=()
cleanup() {
    for m in "${mounted[@]}"; do umount "$m"; done
    rm -rf "$work"
}
trap cleanup EXIT

# kills FS MODE FILE COUNT: prints one result line.
kills() {
    local fs="$1" mode="$2" file="$3" count="$4" folder intact=0 damaged=0 leftover=0 stayed=0 kills=0 pid line
    folder="$(dirname "$file")"
    mkdir -p "$folder"
    "$driver" "$mode" "$file" second && cp "$file" "$work/second"
    "$driver" "$mode" "$file" first && cp "$file" "$work/first"
    while [ "$kills" -lt "$count" ]; do
        coproc SAVER { exec "$driver" "$mode" "$file" loop; }
        pid=$SAVER_PID
        read -r line <&"${SAVER[0]}"
        [ "$line" = ready ] || { echo "the driver did not start: $line" >&2; exit 1; }
        # A moment anywhere in the next few saves (0 to 29 ms).
        sleep "0.0$(printf '%02d' $((RANDOM % 30)))"
        kill -KILL "$pid"
        wait "$pid" 2>/dev/null
        kills=$((kills + 1))
        if cmp -s "$file" "$work/first" || cmp -s "$file" "$work/second"; then
            intact=$((intact + 1))
        else
            damaged=$((damaged + 1))
            cp "$file" "$work/damaged-$fs-$mode-$kills"
        fi
        # Anything beside the file is left over: counted, then the program's next step in that
        # folder runs, and whatever that leaves is counted again and removed.
        if [ -n "$(find "$folder" -mindepth 1 ! -path "$file")" ]; then
            leftover=$((leftover + 1))
            [ -n "${SHOW_LEFT:-}" ] && find "$folder" -mindepth 1 ! -path "$file" >&2
            "$driver" "$mode" "$file" next
            if [ -n "$(find "$folder" -mindepth 1 ! -path "$file")" ]; then
                stayed=$((stayed + 1))
                find "$folder" -mindepth 1 ! -path "$file" -exec rm -f {} +
            fi
        fi
    done
    printf '%-5s %-7s kills %4d  intact %4d  damaged %d  left a file %3d  still there after the next step %d\n' \
        "$fs" "$mode" "$kills" "$intact" "$damaged" "$leftover" "$stayed"
}

truncate -s 64M "$work/ext4.img"
mkfs.ext4 -q "$work/ext4.img"
mkdir -p "$work/ext4" "$work/tmpfs"
mount -o loop "$work/ext4.img" "$work/ext4" && mounted+=("$work/ext4") || exit 1
mount -t tmpfs -o size=16M tmpfs "$work/tmpfs" && mounted+=("$work/tmpfs") || exit 1
for fs in ext4 tmpfs; do
    kills "$fs" palette "$work/$fs/palettes/mine.pdt" "$palette_kills"
    kills "$fs" gimp "$work/$fs/export/mine.gpl" "$gimp_kills"
done
