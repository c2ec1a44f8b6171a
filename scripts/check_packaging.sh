#!/usr/bin/env bash
# Checks what Kalvor delivers, on a build folder that has been built:
#   1. the desktop file and the AppStream metainfo validate;
#   2. the Windows resources compile with MinGW's windres and hold the icon and the version record;
#   3. `cmake --install` puts every file where a desktop looks for it;
#   4. the Debian package (built by check_debian_package.sh) installs, starts its window on a
#      virtual display, and is removed again, so the machine is left as it was (needs root).
# One line per check; stops with a non-zero status at the first failure.
# Usage: scripts/check_packaging.sh BUILD_DIR PACKAGE_DIR
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -eq 2 ] || {
    echo "usage: $0 BUILD_DIR PACKAGE_DIR" >&2
    exit 2
}
build=$(cd "$1" && pwd)
package_dir=$(cd "$2" && pwd)
packaging="$root/packaging"
app_id=com.example.Kalvor
desktop_file="$packaging/$app_id.desktop"
metainfo_file="$packaging/$app_id.metainfo.xml"
title="Kalvor 2.2"

pass() { echo "ok   $*"; }
fail() {
    echo "FAIL $*" >&2
    exit 1
}

work=$(mktemp -d)
xvfb_pid=""
kalvor_pid=""
package_installed=no
pulled_in=()
# Another apt-get may hold dpkg's lock for a while (a set-up running beside us): wait for it.
apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 -y -q "$@"; }
cleanup() {
    local status=$?
    set +e
    [ -n "$kalvor_pid" ] && kill "$kalvor_pid" 2>/dev/null && wait "$kalvor_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    if [ "$package_installed" = yes ]; then
        apt_get remove kalvor >"$work/remove.log" 2>&1
        [ ${#pulled_in[@]} -eq 0 ] || apt_get purge "${pulled_in[@]}" >>"$work/remove.log" 2>&1
        if package_is_installed kalvor; then
            cat "$work/remove.log" >&2
            echo "FAIL apt-get remove kalvor: the package is still installed" >&2
            status=1
        else
            echo "ok   package removed again${pulled_in:+ (with ${pulled_in[*]})}"
        fi
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

package_is_installed() {
    [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" = "install ok installed" ]
}
installed_packages() {
    dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' | awk '$1 == "ii" { print $2 }' | sort
}

# --- 1. desktop entry and AppStream metainfo --------------------------------------------------
# Hints are advice; errors and warnings fail.
if ! out=$(desktop-file-validate "$desktop_file" 2>&1) || grep -qE 'error:|warning:' <<<"$out"; then
    echo "$out" >&2
    fail "desktop-file-validate $app_id.desktop"
fi
pass "desktop-file-validate $app_id.desktop"

if ! out=$(appstreamcli validate --pedantic --no-net "$metainfo_file" 2>&1) || grep -qE '^[EW]:' <<<"$out"; then
    echo "$out" >&2
    fail "appstreamcli validate $app_id.metainfo.xml"
fi
pass "appstreamcli validate --pedantic $app_id.metainfo.xml"

# --- 2. Windows resources ---------------------------------------------------------------------
rc_object="$build/kalvor_rc.o"
if ! out=$(x86_64-w64-mingw32-windres --preprocessor=cpp --preprocessor-arg=-DRC_INVOKED \
    "$packaging/kalvor.rc" -O coff -o "$rc_object" 2>&1); then
    echo "$out" >&2
    fail "windres kalvor.rc"
fi
pass "windres kalvor.rc -> $(file -b "$rc_object" | cut -d, -f1)"

# Reads the object's resource tree: which resources, in which language, and what they hold.
python3 - "$rc_object" "$root/ui/resources/kalvor.ico" <<'PY'
import struct
import sys

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
ITALIAN = 0x0410
obj = open(sys.argv[1], 'rb').read()
ico = open(sys.argv[2], 'rb').read()


def check(ok, what):
    print(('ok   ' if ok else 'FAIL ') + what, file=sys.stdout if ok else sys.stderr)
    if not ok:
        sys.exit(1)


def rsrc_section(coff):
    count, = struct.unpack_from('<H', coff, 2)
    optional, = struct.unpack_from('<H', coff, 16)
    for i in range(count):
        header = 20 + optional + 40 * i
        size, pointer = struct.unpack_from('<II', coff, header + 16)
        if coff[header:header + 8].rstrip(b'\0') == b'.rsrc':
            return coff[pointer:pointer + size]
    return b''


def resources(rsrc, offset=0, path=()):
    """Yields ((type, name, language), data) for every leaf of the resource directory."""
    named, numbered = struct.unpack_from('<HH', rsrc, offset + 12)
    for k in range(named + numbered):
        ident, target = struct.unpack_from('<II', rsrc, offset + 16 + 8 * k)
        if target & 0x80000000:
            yield from resources(rsrc, target & 0x7fffffff, path + (ident,))
        else:
            # In an object file the data offset is relative to the section (relocated at link).
            start, size = struct.unpack_from('<II', rsrc, target)
            yield path + (ident,), rsrc[start:start + size]


def version_node(data, offset):
    """One node of a VERSIONINFO tree: (key, value, children, end)."""
    length, value_length, is_text = struct.unpack_from('<HHH', data, offset)
    key_end = offset + 6
    while data[key_end:key_end + 2] != b'\0\0':
        key_end += 2
    key = data[offset + 6:key_end].decode('utf-16-le')
    pos = (key_end + 2 + 3) & ~3
    size = value_length * 2 if is_text else value_length
    value = data[pos:pos + size]
    value = value.decode('utf-16-le').rstrip('\0') if is_text else value
    pos = (pos + size + 3) & ~3
    children = {}
    while pos < offset + length:
        child = version_node(data, pos)
        children[child[0]] = child
        pos = (child[3] + 3) & ~3
    return key, value, children, offset + length


found = dict(resources(rsrc_section(obj)))
types = {path[0] for path in found}
check({RT_ICON, RT_GROUP_ICON, RT_VERSION} <= types, 'resources: icon, icon group, version record')
check(all(path[2] == ITALIAN for path in found), 'resources: all in Italian (0x0410)')

# The icon file's one image must be in the object byte for byte, announced as 48x48, 16 colours.
_, _, images = struct.unpack_from('<HHH', ico, 0)
width, height, colours, _, _, _, size, start = struct.unpack_from('<BBBBHHII', ico, 6)
icon_data = [data for path, data in found.items() if path[0] == RT_ICON]
group = [data for path, data in found.items() if path[0] == RT_GROUP_ICON][0]
group_entry = struct.unpack_from('<BBB', group, 6)
check(images == 1 and icon_data == [ico[start:start + size]] and group_entry == (48, 48, 16)
      and (width, height, colours) == (48, 48, 16),
      'icon: kalvor.ico embedded, 48x48, 16 colours')

info = version_node([data for path, data in found.items() if path[0] == RT_VERSION][0], 0)
fixed = struct.unpack_from('<6I', info[1], 0)
check(fixed == (0xFEEF04BD, 0x00010000, 0x00020002, 0, 0x00020002, 0),
      'version: file and product version 2.2.0.0')
table = info[2].get('StringFileInfo', (0, 0, {}))[2].get('041004B0')
check(table is not None, 'version: string table 041004B0 (Italian, Unicode)')
texts = {key: node[1] for key, node in table[2].items()}
check(texts.get('FileVersion') == '2.02' and texts.get('ProductVersion') == '2.02',
      'version: texts FileVersion and ProductVersion "2.02"')
check(texts.get('ProductName') == 'Kalvor' and texts.get('OriginalFilename') == 'kalvor.exe'
      and all(texts.get(k) for k in ('CompanyName', 'FileDescription', 'InternalName')),
      'version: product name, file name, company, description, internal name')
translation = info[2].get('VarFileInfo', (0, 0, {}))[2].get('Translation')
check(translation is not None and struct.unpack('<HH', translation[1]) == (ITALIAN, 1200),
      'version: translation 0x0410, 1200')
PY

# --- 3. cmake --install -----------------------------------------------------------------------
prefix="$work/prefix"
if ! out=$(cmake --install "$build" --prefix "$prefix" 2>&1); then
    echo "$out" >&2
    fail "cmake --install"
fi
pass "cmake --install $build --prefix <tmp>"

expect_file() { # path (relative to the prefix), what `file` must say
    [ -f "$prefix/$1" ] || fail "installed: $1 missing"
    what=$(file -b "$prefix/$1")
    grep -q "$2" <<<"$what" || fail "installed: $1 is $what"
    pass "installed: $1"
}
expect_file bin/kalvor 'ELF .* executable'
[ -x "$prefix/bin/kalvor" ] || fail "installed: bin/kalvor is not executable"
expect_file "share/applications/$app_id.desktop" 'desktop entry\|text'
expect_file "share/metainfo/$app_id.metainfo.xml" 'XML'
expect_file "share/icons/hicolor/48x48/apps/$app_id.png" 'PNG image data, 48 x 48'
expect_file "share/icons/hicolor/256x256/apps/$app_id.png" 'PNG image data, 256 x 256'

# The three files must point at each other and at the program.
desktop_key() { sed -n "s/^$1=//p" "$prefix/share/applications/$app_id.desktop"; }
[ "$(desktop_key Exec)" = kalvor ] || fail "desktop file: Exec is not kalvor"
[ "$(desktop_key Icon)" = "$app_id" ] || fail "desktop file: Icon is not $app_id"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" \
    "$prefix/share/metainfo/$app_id.metainfo.xml" || fail "metainfo: launchable is not $app_id.desktop"
grep -q '<binary>kalvor</binary>' "$prefix/share/metainfo/$app_id.metainfo.xml" ||
    fail "metainfo: does not provide the binary kalvor"
pass "desktop file, metainfo, icon and binary agree on $app_id and kalvor"

# --- 4. Debian package ------------------------------------------------------------------------
[ "$(id -u)" -eq 0 ] || fail "the package check installs a package and needs root"
if package_is_installed kalvor; then
    fail "a kalvor package is already installed; remove it first (apt-get remove kalvor)"
fi

debs=("$package_dir"/kalvor_*_"$(dpkg --print-architecture)".deb)
[ -f "${debs[0]}" ] || fail "no kalvor_*.deb in $package_dir"
deb=${debs[0]}
pass "package $(basename "$deb")"

depends=$(dpkg-deb -f "$deb" Depends)
echo "     Depends: $depends"
# Qt's libraries come from dpkg-shlibdeps reading the binary; the others are listed by hand.
for needed in libqt6widgets6 libc6 qt6-qpa-plugins fonts-liberation2 qt6-translations-l10n; do
    grep -q "\b$needed\b" <<<"$depends" || fail "Depends lacks $needed"
done
pass "Depends computed from the binary, plus the platform plugin, the fonts and Qt's Italian"

installed_packages >"$work/before"
package_installed=yes # from here on the exit handler removes it, even after a half install
if ! apt_get install "$deb" >"$work/install.log" 2>&1; then
    cat "$work/install.log" >&2
    fail "apt-get install ./$(basename "$deb")"
fi
installed_packages >"$work/after"
mapfile -t pulled_in < <(comm -13 "$work/before" "$work/after" | grep -vx kalvor || true)
pass "apt-get install ./$(basename "$deb")${pulled_in:+ (pulled in ${pulled_in[*]})}"

for path in /usr/bin/kalvor "/usr/share/applications/$app_id.desktop" \
    "/usr/share/metainfo/$app_id.metainfo.xml" "/usr/share/icons/hicolor/48x48/apps/$app_id.png" \
    "/usr/share/icons/hicolor/256x256/apps/$app_id.png" /usr/share/man/man1/kalvor.1.gz; do
    owner=$(dpkg -S "$path" 2>/dev/null || true)
    [[ $owner == "kalvor: "* ]] || fail "package: $path not installed by kalvor"
done
pass "package: binary, desktop file, metainfo, icons and manual page under /usr"

# shellcheck source=lib/xvfb.sh
source "$root/scripts/lib/xvfb.sh"
start_xvfb "$work" || fail "Xvfb did not start"
display=$DISPLAY

# A clean environment, as a desktop session would start it: nothing from the build tree.
mkdir -p "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" DISPLAY="$display" \
    timeout 60 /usr/bin/kalvor >"$work/kalvor.log" 2>&1 &
kalvor_pid=$!
if ! window=$(DISPLAY="$display" timeout 20 xdotool search --sync --name "^$title\$" 2>/dev/null); then
    cat "$work/kalvor.log" >&2
    fail "installed /usr/bin/kalvor: no window \"$title\" within 20 s"
fi
kill -0 "$kalvor_pid" 2>/dev/null || fail "installed /usr/bin/kalvor ended on its own"
pass "installed /usr/bin/kalvor shows its window \"$title\" (window $(head -n 1 <<<"$window"))"

kill "$kalvor_pid"
wait "$kalvor_pid" 2>/dev/null || true
kalvor_pid=""
kill "$xvfb_pid"
wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""
# The package comes off in the exit handler, which also runs when a check above fails.
