#!/usr/bin/env bash
# Checks the Debian package as a user's system would meet it: builds it with
# scripts/package.sh (or takes the .deb given as $1), checks its control fields and file list,
# validates the desktop entries, MIME types and AppStream data with the standard tools,
# unpacks it into a scratch root (no root rights, nothing installed) and runs the
# command-line programs from there.
set -euo pipefail
repo="$(cd "$(dirname "$0")/../.." && pwd)"
source "$repo/scripts/deps.sh"
need_packages "${PACKAGE_PACKAGES[@]}"

if [ $# -ge 1 ]; then
    deb="$1"
else
    deb="$(bash "$repo/scripts/package.sh" | tee /dev/stderr | tail -1)"
fi

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
check() { local what="$1"; shift; "$@" || fail "$what"; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"

# Control fields: the dependencies come from the library scan, so Qt and the C library appear.
version="$(dpkg-deb -f "$deb" Version)"
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libqt6gui6 libc6 libstdc++6 qt6-qpa-plugins; do
    [[ "$depends" == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = hamradio ] || fail "section is not hamradio"

# File list: everything expected is there, and nothing lands outside /usr.
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$work/files"
expected=(/usr/bin/sorvel /usr/bin/mirabo /usr/bin/sorvel-sweep /usr/bin/mirabo-design /usr/bin/mirabo-crystal
          /usr/bin/sorvel-vna /usr/share/man/man1/sorvel-vna.1.gz
          /usr/share/sorvel/examples/lowpass-7-pole.cir
          /usr/share/sorvel/examples/crystal-5-pole.cir
          /usr/share/sorvel/examples/measured-crystal-5-pole.s2p
          /usr/share/mime/packages/sorvel-mirabo.xml
          /usr/share/man/man1/sorvel.1.gz /usr/share/man/man1/mirabo.1.gz
          /usr/share/man/man1/sorvel-sweep.1.gz /usr/share/man/man1/mirabo-design.1.gz
          /usr/share/man/man1/mirabo-crystal.1.gz
          /usr/share/doc/sorvel-mirabo/copyright /usr/share/doc/sorvel-mirabo/changelog.Debian.gz)
for id in org.ladderbench.Sorvel org.ladderbench.Mirabo; do
    expected+=(/usr/share/applications/$id.desktop /usr/share/metainfo/$id.metainfo.xml
               /usr/share/icons/hicolor/scalable/apps/$id.svg)
    for size in 16 22 24 32 48 64 128 256; do
        expected+=(/usr/share/icons/hicolor/${size}x${size}/apps/$id.png)
    done
done
for f in "${expected[@]}"; do
    grep -qxF "$f" "$work/files" || fail "missing from the package: $f"
done
grep -v '^/usr/' "$work/files" | grep -vx '/' && fail "files outside /usr"

dpkg-deb -x "$deb" "$root"
share="$root/usr/share"

# Desktop entries: valid, and every MIME type they claim is one the package defines.
for f in "$share"/applications/*.desktop; do
    check "desktop-file-validate $f" desktop-file-validate "$f"
    for type in $(sed -n 's/^MimeType=//p' "$f" | tr ';' ' '); do
        grep -q "<mime-type type=\"$type\">" "$share/mime/packages/sorvel-mirabo.xml" ||
            fail "$f claims $type, which the package does not define"
    done
done
grep -qx 'Exec=sorvel %F' "$share/applications/org.ladderbench.Sorvel.desktop" ||
    fail "Sorvel's entry does not pass the opened files"
grep -qx 'Exec=mirabo %f' "$share/applications/org.ladderbench.Mirabo.desktop" ||
    fail "Mirabo's entry does not pass the opened file"

# MIME types: well-formed, and the database built from them maps the file names.
check "xmllint mime" xmllint --noout "$share/mime/packages/sorvel-mirabo.xml"
mkdir -p "$work/mime/packages"
cp "$share/mime/packages/sorvel-mirabo.xml" "$work/mime/packages/"
update-mime-database "$work/mime" >/dev/null 2>&1 || fail "update-mime-database"
for glob in 'text/x-ladder-circuit:\*.cir' 'application/x-touchstone-s1p:\*.s1p' \
            'application/x-touchstone-s2p:\*.s2p'; do
    grep -q ":$glob$" "$work/mime/globs2" || fail "no glob $glob in the MIME database"
done
grep -q '^text/x-ladder-circuit text/plain$' "$work/mime/subclasses" || fail "circuit is not text"
# With the system's own types beside ours, the content decides for *.cir: a circuit file
# (a whole number on its first line) is a circuit, a SPICE netlist (a title line) is not.
if command -v gio >/dev/null && [ -f /usr/share/mime/packages/freedesktop.org.xml ]; then
    cp /usr/share/mime/packages/freedesktop.org.xml "$work/mime/packages/"
    update-mime-database "$work/mime" >/dev/null 2>&1 || fail "update-mime-database with the system's types"
    printf '7\r\ncap\r\n' > "$work/filter.cir"
    printf '* RC low-pass\nR1 in out 1k\nC1 out 0 1n\n.end\n' > "$work/netlist.cir"
    printf 'mirabo-design 1\n' > "$work/mine.mirabo"
    type_of() { XDG_DATA_HOME="$work" XDG_DATA_DIRS="$work:/usr/share" gio info -a standard::content-type "$1" |
                sed -n 's/^ *standard::content-type: //p'; }
    [ "$(type_of "$work/filter.cir")" = text/x-ladder-circuit ] || fail "a circuit file is $(type_of "$work/filter.cir")"
    [ "$(type_of "$work/netlist.cir")" = text/plain ] || fail "a SPICE netlist is $(type_of "$work/netlist.cir")"
    [ "$(type_of "$work/mine.mirabo")" = application/x-mirabo-design ] || fail "a design is $(type_of "$work/mine.mirabo")"
fi

# AppStream: the installed data, and the same with the screenshots a published build lists.
for f in "$share"/metainfo/*.xml; do
    check "appstreamcli validate $f" appstreamcli validate --no-net "$f"
done
for f in "$repo"/packaging/*.metainfo.xml.in; do
    shot="$work/$(basename "$f" .in)"
    sed "s|@SCREENSHOT_URL_BASE@|https://example.org/docs|; s|@PROJECT_VERSION@|${version%-*}|" \
        "$f" > "$shot"
    check "appstreamcli validate with screenshots $f" appstreamcli validate --no-net "$shot"
done

# Icons: the bitmaps are the sizes their folders name; man pages are whole gzip files.
for png in "$share"/icons/hicolor/*x*/apps/*.png; do
    size="$(basename "$(dirname "$(dirname "$png")")")"
    file "$png" | grep -q "PNG image data, ${size/x/ x }," || fail "$png is not a $size PNG"
done
for page in "$share"/man/man1/*.gz; do
    check "gzip -t $page" gzip -t "$page"
done

# Debian's own checks find no error in the package.
lintian_out="$(lintian --tag-display-limit 0 "$deb" 2>&1)" || true
if grep -q '^E: ' <<<"$lintian_out"; then
    grep '^E: ' <<<"$lintian_out" >&2
    fail "lintian finds errors"
fi

# The programs run from the scratch root: versions, and one sweep of each bundled circuit.
bin="$root/usr/bin"
for program in sorvel-sweep sorvel mirabo mirabo-design mirabo-crystal sorvel-vna; do
    out="$("$bin/$program" --version)" || fail "$program --version exits with $?"
    [ "$out" = "$program ${version%-*}" ] || fail "$program --version says '$out'"
done
"$bin/sorvel-sweep" --help | grep -q '^Usage: sorvel-sweep FILE.cir' || fail "sorvel-sweep --help"
"$bin/sorvel-vna" --help | grep -q "^Usage: sorvel-vna (--port DEVICE" || fail "sorvel-vna --help"
for circuit in lowpass-7-pole crystal-5-pole; do
    "$bin/sorvel-sweep" "$share/sorvel/examples/$circuit.cir" > "$work/$circuit.csv" ||
        fail "sorvel-sweep $circuit.cir exits with $?"
    [ "$(head -1 "$work/$circuit.csv")" = frequency,s21_db,s11_db ] || fail "$circuit.csv header"
    [ "$(wc -l < "$work/$circuit.csv")" -eq 1001 ] || fail "$circuit.csv is not 1000 points"
done
# The low-pass passes 1 MHz with next to no loss.
s21="$("$bin/sorvel-sweep" "$share/sorvel/examples/lowpass-7-pole.cir" --at 1 | sed -n '2s/^[^,]*,\([^,]*\),.*/\1/p')"
awk -v db="$s21" 'BEGIN { exit !(db > -0.5 && db <= 0) }' || fail "low-pass S21 at 1 MHz is $s21 dB"

if [ "$failures" -ne 0 ]; then
    echo "$failures package check(s) failed" >&2
    exit 1
fi
echo "package checks passed: $deb"
