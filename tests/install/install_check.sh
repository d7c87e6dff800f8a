#!/usr/bin/env bash
# Installs the build into a temporary root as a package would and checks what a
# user gets: every file in its place and nothing else, icons of their sizes, a
# menu entry and metainfo the validators accept (when installed), manual pages
# that cover every verb, the installed editor keeping its project in the
# user's data folder, and the installed kazanoro-cli saving a CD folder that
# holds the installed launcher byte for byte. Exit 77 (skipped) when the build
# has no launcher, after every other check.
#
#   install_check.sh BUILD_DIR WORK_DIR
set -euo pipefail
build=$1
work=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
# Runs a checker when it is installed, and says so when it is not.
check() { if command -v "$1" >/dev/null; then "$@" || fail "$*"; else echo "$1 not installed"; fi; }
rm -rf "$work" && mkdir -p "$work/tmp"
root=$work/root usr=$work/root/usr id=org.kazanoro.Kazanoro
DESTDIR=$root cmake --install "$build" --prefix /usr >"$work/install.log" || fail "cmake --install"

launcher=$usr/share/kazanoro/AutoRun.exe
expected=(bin/kazanoro bin/kazanoro-cli share/kazanoro/Kazanoro.hlp
    share/applications/$id.desktop share/metainfo/$id.metainfo.xml
    share/icons/hicolor/scalable/apps/$id.svg
    share/man/man1/kazanoro.1.gz share/man/man1/kazanoro-cli.1.gz)
sizes=(16 24 32 48 64 128 256)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x$s/apps/$id.png"); done
[ -f "$build/bin/AutoRun.exe" ] && expected+=(share/kazanoro/AutoRun.exe)
diff <(printf 'usr/%s\n' "${expected[@]}" | sort) <(cd "$root" && find . ! -type d | cut -c3- | sort) ||
    fail "installed files (<) expected, (>) found"
for s in "${sizes[@]}"; do # width and height from the PNG header
    png=$usr/share/icons/hicolor/${s}x$s/apps/$id.png
    [ "$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')" = "${s}x$s" ] || fail "$png: not ${s}x$s"
done

desktop=$usr/share/applications/$id.desktop metainfo=$usr/share/metainfo/$id.metainfo.xml
grep -qx "Icon=$id" "$desktop" || fail "the menu entry names another icon"
exec=$(sed -n 's/^Exec=//p' "$desktop")
[ -x "$usr/bin/$exec" ] || fail "Exec=$exec is not an installed program without arguments"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo names another menu entry"
check desktop-file-validate "$desktop"
check appstreamcli validate --no-net "$metainfo"

# Isolated from the user's own settings, data and running copies.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share \
    TMPDIR=$work/tmp QT_QPA_PLATFORM=offscreen
cli=$usr/bin/kazanoro-cli man1=$usr/share/man/man1
verbs=$("$cli" --help | sed -n 's/^  \([a-z]*\) .*/\1/p' | sort -u)
[ -n "$verbs" ] || fail "kazanoro-cli --help lists no verb"
for v in $verbs; do
    zcat "$man1/kazanoro-cli.1.gz" | grep -q "^\\\\fB$v" || fail "the manual page lacks the verb $v"
done
for page in "$man1"/*.gz; do # groff's warnings about the page, when man is installed
    command -v man >/dev/null || break
    w=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) && [ -z "$w" ] ||
        fail "$page: $w"
done

# The installed editor works in the user's data folder (never in bin), and a
# second copy on that folder ends at once without a word.
"$usr/bin/kazanoro" & editor=$!
for _ in $(seq 300); do
    compgen -G "$TMPDIR/kazanoro-*.lock" >/dev/null && break
    kill -0 $editor 2>/dev/null || fail "the installed editor ended at start"
    sleep 0.1
done
second=0 && timeout 60 "$usr/bin/kazanoro" || second=$?
kill $editor && wait $editor || true
[ $second = 0 ] || fail "a second editor on the same folder ended with $second"
[ -d "$XDG_DATA_HOME/Quelmark/Kazanoro" ] || fail "no working folder in the user's data"
[ "$(ls "$usr/bin")" = "$(printf 'kazanoro\nkazanoro-cli')" ] || fail "the editor wrote into bin"

project=$work/project
mkdir -p "$project" "$work/cd"
"$cli" ini set "$project/設定.txt" FilePath Path_00 'tools\setup.exe'
"$cli" ini set "$project/設定.txt" AppName App_00 'セットアップ'
"$cli" save "$project" "$work/cd" >"$work/save.log" || fail "installed kazanoro-cli save"
[ -s "$work/cd/Auto_Run.dat" ] && [ -s "$work/cd/Autorun.inf" ] || fail "no archive or Autorun.inf"
[ -f "$launcher" ] || { echo "SKIP: the build has no AutoRun.exe to install"; exit 77; }
cmp "$launcher" "$work/cd/AutoRun.exe" || fail "the CD's AutoRun.exe is not the installed launcher"
echo "installed layout, menu entry, manual pages, editor and a saved CD: all as expected"
