#!/usr/bin/env bash
# Every option a program's --help lists is in its man page: man_options_test.sh PROGRAM PAGE.1
# An option is a word starting with "--" in the help text; in the page, groff's "\-\-" counts
# as "--".
set -euo pipefail
program="$1"
page="$2"
help="$("$program" --help)"
options="$(grep -oE -- '--[a-z0-9][a-z0-9-]*' <<<"$help" | sort -u)"
[ -n "$options" ] || { echo "FAIL: $program --help lists no options" >&2; exit 1; }
man_text="$(sed 's/\\-/-/g' "$page")"
missing=0
for option in $options; do
    if ! grep -qE -- "(^|[^a-z0-9-])${option}([^a-z0-9-]|$)" <<<"$man_text"; then
        echo "FAIL: $(basename "$page") lacks $option, which $(basename "$program") --help lists" >&2
        missing=$((missing + 1))
    fi
done
[ "$missing" -eq 0 ] || exit 1
echo "$(basename "$page"): all $(wc -w <<<"$options") options of --help"
