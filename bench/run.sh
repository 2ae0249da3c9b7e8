#!/usr/bin/env bash
# Start-up, memory and idle benchmark: Swatchly against a bare Qt 6 Widgets window of the same
# size (the floor) and the colour pickers a Debian user would otherwise install.
#
#   bench/run.sh
#
# Starts its own Xvfb (a free display) and openbox, installs what is missing from Debian's
# packages when run as root (Xvfb, openbox, the X11/XDamage headers, and the peers gpick,
# gcolor3, kcolorchooser and zenity), builds Swatchly (Release), the floor and the measuring
# tool, then runs interleaved rounds (A B C ... A B C ...): one warm-up round that is not
# counted, then ROUNDS counted ones. Each run is measured from outside the process by
# bench_measure. Prints the table and writes it to bench/results.md.
#
# Settings (environment):
#   ROUNDS=12            counted rounds (at least 10 for a result worth keeping)
#   BUILD_DIR=...        build directory (default: build-bench in the source tree)
#   PEERS="zenity gpick gcolor3 kcolorchooser"   peers to run, when installed
#   SETTLE=1 IDLE=5      seconds after the map before VmHWM is read; idle seconds measured
#   HOTPATHS=1           also run the in-process hot-path benchmark (bench_hotpaths)
#   SESSION_BUS=0        1: run everything under a private D-Bus session bus
#   INSTALL=1            0: never install packages
#   RESULTS=bench/results.md
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
ROUNDS=${ROUNDS:-12}
BUILD_DIR=${BUILD_DIR:-$root/build-bench}
PEERS=${PEERS:-zenity gpick gcolor3 kcolorchooser}
SETTLE=${SETTLE:-1}
IDLE=${IDLE:-5}
HOTPATHS=${HOTPATHS:-1}
SESSION_BUS=${SESSION_BUS:-0}
INSTALL=${INSTALL:-1}
RESULTS=${RESULTS:-$here/results.md}

say() { printf '%s\n' "$*" >&2; }

if [[ $SESSION_BUS == 1 && -z ${BENCH_IN_SESSION_BUS:-} ]]; then
    export BENCH_IN_SESSION_BUS=1
    exec dbus-run-session -- "$0" "$@"
fi

# --- Packages ------------------------------------------------------------------------------
installed() { [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == "install ok installed" ]]; }
needed=(xvfb openbox libx11-dev libxdamage-dev libxfixes-dev cmake g++ qt6-base-dev)
peer_package() {
    case $1 in
    zenity | gpick | gcolor3 | kcolorchooser) echo "$1" ;;
    *) echo "" ;;
    esac
}
missing=()
for p in "${needed[@]}"; do installed "$p" || missing+=("$p"); done
for peer in $PEERS; do
    p=$(peer_package "$peer")
    if [[ -n $p ]] && ! installed "$p"; then missing+=("$p"); fi
done
if ((${#missing[@]})); then
    if [[ $INSTALL == 1 && $(id -u) == 0 ]]; then
        say "installing: ${missing[*]}"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -q >&2
        apt-get -o DPkg::Lock::Timeout=600 install -y -q "${missing[@]}" >&2
    else
        say "not installed (run as root to install): ${missing[*]}"
    fi
fi
for tool in Xvfb openbox; do
    command -v "$tool" >/dev/null || { say "$tool is needed"; exit 1; }
done

# --- Build ---------------------------------------------------------------------------------
say "building in $BUILD_DIR (Release)"
mkdir -p "$BUILD_DIR"
cmake -S "$root" -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DSWATCHLY_BUILD_TESTS=ON \
    -DSWATCHLY_BUILD_BENCH=ON -DSWATCHLY_SANITIZE=OFF >"$BUILD_DIR/bench-configure.log" 2>&1 ||
    { cat "$BUILD_DIR/bench-configure.log" >&2; exit 1; }
targets=(swatchly bench_floor bench_measure bench_report)
[[ $HOTPATHS == 1 ]] && targets+=(bench_hotpaths)
cmake --build "$BUILD_DIR" -j"$(nproc)" --target "${targets[@]}" >&2
bin=$BUILD_DIR/bench

# --- Display -------------------------------------------------------------------------------
work=$(mktemp -d "${TMPDIR:-/tmp}/swatchly-bench.XXXXXX")
xvfb_pid=""
wm_pid=""
cleanup() {
    [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null || true
    [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Xvfb picks a free display itself and writes its number when it is ready.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
read -r -t 20 -u "$displayfd" display || { say "Xvfb did not start"; cat "$work/xvfb.log" >&2; exit 1; }
exec {displayfd}<&-
export DISPLAY=:$display
openbox >"$work/openbox.log" 2>&1 &
wm_pid=$!
"$bin/bench_measure" --wait-wm 20
say "display $DISPLAY with openbox"

# --- Programs ------------------------------------------------------------------------------
names=(swatchly floor)
commands=("$BUILD_DIR/swatchly" "$bin/bench_floor")
for peer in $PEERS; do
    case $peer in
    zenity) command=(zenity --color-selection) ;;
    *) command=("$peer") ;;
    esac
    if command -v "${command[0]}" >/dev/null; then
        names+=("$peer")
        commands+=("${command[*]}")
    else
        say "skipping $peer: not installed"
    fi
done

# --- Rounds --------------------------------------------------------------------------------
runs=$work/runs.tsv
: >"$runs"
for ((round = 0; round <= ROUNDS; round++)); do
    for i in "${!names[@]}"; do
        # A fresh runtime folder per run: Swatchly's single-instance lock lives there, and
        # every program starts from the same empty state.
        runtime=$(mktemp -d "$work/runtime.XXXXXX")
        chmod 700 "$runtime"
        # shellcheck disable=SC2086 # the command line is split on purpose
        line=$(XDG_RUNTIME_DIR=$runtime "$bin/bench_measure" --name "${names[$i]}" --settle "$SETTLE" \
            --idle "$IDLE" -- ${commands[$i]} 2>>"$work/programs.log") || true
        rm -rf "$runtime"
        [[ -n $line ]] || line="${names[$i]}	NA	NA	NA	NA	NA	NA	NA	-"
        printf '%d\t%s\n' "$round" "$line" >>"$runs"
        label=$([[ $round == 0 ]] && echo "warm-up" || echo "round $round/$ROUNDS")
        say "$label: $line"
    done
done

# --- Report --------------------------------------------------------------------------------
table=$("$bin/bench_report" --subject swatchly --floor floor "$runs")
printf '%s\n' "$table"

cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
qt=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || echo unknown)
version_of() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo "-"; }
peers_line=""
for name in "${names[@]:2}"; do peers_line+="$name $(version_of "$name"), "; done
commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)
git -C "$root" diff --quiet HEAD 2>/dev/null || commit+=" (with uncommitted changes)"
{
    echo "# Benchmark results"
    echo
    echo "Written by \`bench/run.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC')."
    echo
    echo "- Machine: $(nproc) CPUs ($cpu), $(awk '/MemTotal/ {printf "%.0f GiB", $2/1048576}' /proc/meminfo), $(uname -sr)"
    echo "- Qt $qt (Debian), Swatchly $commit, Release build"
    echo "- Xvfb 1280x1024x24 + openbox; $([[ $SESSION_BUS == 1 ]] && echo "a private D-Bus session bus" || echo "no D-Bus session bus")"
    echo "- Peers: ${peers_line%, }"
    echo "- $ROUNDS counted rounds after one warm-up round, interleaved (${names[*]}); VmHWM ${SETTLE} s after the map; idle CPU and wake-ups over the ${IDLE} s after that"
    echo
    echo "$table"
} >"$RESULTS"

if [[ $HOTPATHS == 1 ]]; then
    say "hot paths (in-process)"
    hot=$(QT_QPA_PLATFORM=offscreen "$bin/bench_hotpaths" 2>&1 | grep -E '^(RESULT|ALLOC|     )|^(PASS|FAIL)' || true)
    printf '%s\n' "$hot"
    {
        echo
        echo "## Hot paths (in-process, offscreen, \`bench_hotpaths\`)"
        echo
        echo '```'
        echo "$hot"
        echo '```'
    } >>"$RESULTS"
fi
say "written: $RESULTS"
