#!/usr/bin/env bash
# Builds Kalvor's Debian packages as a Debian maintainer would, and checks them:
#   1. the source package builds (dpkg-source) and lintian --pedantic finds no error or warning;
#   2. the binary packages (kalvor, kalvor-dbgsym) build twice, from two clones of the last commit
#      in folders of different names (no blanks: dpkg-buildflags cannot map a path with one), with
#      different time zones and umasks, the first with its tests on Qt's offscreen platform; the
#      two builds must be the same byte for byte;
#   3. lintian --pedantic finds no error or warning in them;
#   4. hardening-check passes on the installed program.
# SOURCE_DATE_EPOCH is the time of the last commit, so the packages carry no time of their own.
# Leaves the packages in OUT_DIR, where check_packaging.sh installs them from.
# Usage: scripts/check_debian_package.sh OUT_DIR
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 1 ] || {
    echo "usage: $0 OUT_DIR" >&2
    exit 2
}
mkdir -p "$1"
out=$(cd "$1" && pwd)
jobs=$(nproc)

pass() { echo "ok   $*"; }
fail() {
    echo "FAIL $*" >&2
    exit 1
}
elapsed() { echo "$((SECONDS - $1)) s"; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

commit=$(git -C "$root" rev-parse HEAD)
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
export SOURCE_DATE_EPOCH
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
    echo "note: the packages are built from commit ${commit:0:12}; uncommitted changes are not in them"
fi

clone() { # folder
    git clone -q "$root" "$1"
    git -C "$1" checkout -q --detach "$commit"
}

# Prints lintian's findings (overridden ones marked O:) and fails on any error or warning.
run_lintian() { # what, files...
    local what=$1 report
    shift
    report=$(lintian --pedantic --info --display-experimental --show-overrides "$@" 2>/dev/null |
        grep -v '^N:' || true)
    [ -z "$report" ] || sed 's/^/     /' <<<"$report"
    if grep -qE '^[EW]:' <<<"$report"; then
        fail "lintian --pedantic $what: errors or warnings"
    fi
    pass "lintian --pedantic $what: no error, no warning"
}

# --- 1. source package ------------------------------------------------------------------------
start=$SECONDS
clone "$work/first/kalvor"
if ! (cd "$work/first" && dpkg-source -b kalvor) >"$work/source.log" 2>&1; then
    cat "$work/source.log" >&2
    fail "dpkg-source -b"
fi
dsc=("$work"/first/kalvor_*.dsc)
pass "dpkg-source -b -> $(basename "${dsc[0]}") ($(elapsed "$start"))"
run_lintian "$(basename "${dsc[0]}")" "${dsc[0]}"

# --- 2. binary packages, twice ----------------------------------------------------------------
build() { # folder, log, extra DEB_BUILD_OPTIONS, time zone, umask
    local start=$SECONDS
    if ! (cd "$1" && umask "$5" && TZ=$4 DEB_BUILD_OPTIONS="$3" \
        dpkg-buildpackage -us -uc -b -j"$jobs") >"$2" 2>&1; then
        tail -n 60 "$2" >&2
        fail "dpkg-buildpackage -us -uc -b in $1 (log: $2)"
    fi
    pass "dpkg-buildpackage -us -uc -b${3:+ ($3)} in $1 ($(elapsed "$start"))"
}
build "$work/first/kalvor" "$work/first.log" "" UTC 022
grep -E '^(100% tests passed|[0-9]+% tests passed)' "$work/first.log" | sed 's/^/     /'
clone "$work/second-clone/elsewhere"
build "$work/second-clone/elsewhere" "$work/second.log" nocheck Europe/Rome 002

mapfile -t debs < <(cd "$work/first" && ls -- *.deb)
mapfile -t second_debs < <(cd "$work/second-clone" && ls -- *.deb)
[ "${debs[*]}" = "${second_debs[*]}" ] || fail "the two builds made different sets of packages"
for name in kalvor kalvor-dbgsym; do
    printf '%s\n' "${debs[@]}" | grep -q "^${name}_" || fail "no $name package"
done
for deb in "${debs[@]}"; do
    cmp -s "$work/first/$deb" "$work/second-clone/$deb" ||
        fail "$deb differs between the two builds"
    echo "     $(cd "$work/first" && sha256sum "$deb")"
done
pass "reproducible: ${debs[*]} the same byte for byte from both clones"

# --- 3. lintian on the binary packages -------------------------------------------------------
changes=("$work"/first/kalvor_*.changes)
run_lintian "$(basename "${changes[0]}") (${debs[*]})" "${changes[0]}"

# --- 4. hardening-check -----------------------------------------------------------------------
program_deb=$(printf '%s\n' "${debs[@]}" | grep '^kalvor_')
dpkg-deb -x "$work/first/$program_deb" "$work/unpacked"
report=$(hardening-check "$work/unpacked/usr/bin/kalvor" || true)
sed 's/^/     /' <<<"$report"
while IFS= read -r line; do
    case "$line" in
    " Fortify Source functions: no, only unprotected functions found!")
        # Every memcpy and memmove in Kalvor copies into storage whose size the compiler cannot
        # see (string and container buffers), so none becomes a checked __memcpy_chk and
        # hardening-check has nothing to recognise. What it cannot see, the build log shows:
        # every compile must have had fortify on.
        compiles=$(grep -cE '^\[[0-9]+/[0-9]+\] /usr/bin/c\+\+ .* -c ' "$work/first.log")
        fortified=$(grep -E '^\[[0-9]+/[0-9]+\] /usr/bin/c\+\+ .* -c ' "$work/first.log" |
            grep -c -- '-D_FORTIFY_SOURCE=3')
        if [ "$compiles" -eq 0 ] || [ "$compiles" -ne "$fortified" ]; then
            fail "hardening-check: fortify on in $fortified of $compiles compiles"
        fi
        echo "     (fortify: -D_FORTIFY_SOURCE=3 in all $compiles compiles of the package build)"
        ;;
    " Control flow integrity: no, not found!")
        # The mark needs every object linked in to carry it, and Debian 12's C library start
        # files (crti.o) do not. Kalvor's own code is built for it: it has endbr64 landing pads.
        if readelf -n /usr/lib/x86_64-linux-gnu/crti.o | grep -q 'x86 feature: IBT, SHSTK'; then
            fail "hardening-check: no control-flow protection, though the C library has it"
        fi
        landing_pads=$(objdump -d "$work/unpacked/usr/bin/kalvor" | grep -c endbr64 || true)
        [ "$landing_pads" -gt 0 ] || fail "hardening-check: kalvor was not built with -fcf-protection"
        echo "     (control flow: $landing_pads endbr64 landing pads; crti.o of this C library has no mark)"
        ;;
    *": no"*) fail "hardening-check:$line" ;;
    esac
done <<<"$report"
pass "hardening-check usr/bin/kalvor"

rm -f "$out"/kalvor*.deb "$out"/kalvor_*.changes "$out"/kalvor_*.buildinfo
cp "$work"/first/*.deb "$work"/first/kalvor_*.changes "$work"/first/kalvor_*.buildinfo "$out/"
pass "packages in $out"
