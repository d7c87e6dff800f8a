#!/usr/bin/env bash
# AutoRun.exe under Wine on a virtual X server, from the contents of a disc
# image: kazanoro-cli saves a CD folder and makes its image, xorriso extracts it
# as Windows reads it (Joliet) to drive D:, and the launcher writes what every
# page and slot shows (/dump-window-texts), checked against what was saved.
# Then a click on a slot must start its file in its folder and Escape close the
# launcher; a damaged or missing Auto_Run.dat must give its message. The
# shipped 32-bit build runs under 32-bit Wine; a machine that runs no 32-bit
# program runs the 64-bit build of the same source, and says so.
#
#   wine_e2e.sh KAZANORO_CLI AUTORUN_EXE_32 AUTORUN_EXE_64 WORKDIR
#
# Exit 0 passed, 1 failed, 77 skipped (no launcher, Wine, Xvfb, xdotool, ImageMagick, xorriso).
set -uo pipefail
cli=$1 exe32=${2-} exe64=${3-} work=$4
here=$(cd "$(dirname "$0")" && pwd)

skip() { echo "SKIP: $*" && exit 77; }
for tool in xvfb-run xauth xdotool convert import xorriso; do
    command -v $tool >/dev/null || skip "$tool not installed"
done
# Every step below shares one virtual X server.
if [ -z "${KZ_WINE_E2E_X-}" ]; then
    KZ_WINE_E2E_X=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
fi

wine32=/usr/lib/wine/wine
if [ -z "$exe32" ] || [ ! -f "$exe32" ]; then
    why="no 32-bit AutoRun.exe (i686-w64-mingw32-g++ not installed)"
elif [ ! -x "$wine32" ]; then
    why="no 32-bit Wine (wine32:i386 not installed)"
elif ! "$wine32" --version >/dev/null 2>&1; then
    why="this machine runs no 32-bit program (the kernel's 32-bit emulation is off)"
fi
if [ -z "${why-}" ]; then
    wine=$wine32 exe=$exe32 && export WINEARCH=win32
else
    echo "NOTE: $why: the 64-bit build stands in for the shipped one"
    exe=$exe64
    [ -n "$exe" ] && [ -f "$exe" ] || skip "no 64-bit AutoRun.exe either"
    wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
    [ -x "$wine" ] || skip "wine64 not installed"
fi
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

mkdir -p "$work"
# A prefix of its own for each loader, kept between runs: making one takes a while.
export WINEPREFIX="$work/prefix-$(basename "$wine")"
"$wineserver" -k 2>/dev/null # whatever a run killed before its end left in the prefix
export WINEDEBUG=-all
# No offers to install Mono or Gecko: they would wait for an answer.
export WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$wineserver" -k 2>/dev/null' EXIT
# Killed on a timeout, still end the Wine processes.
trap 'exit 1' TERM INT

failures=0
check() { # check DESCRIPTION EXPECTED ACTUAL
    [ "$2" == "$3" ] && echo "ok: $1" && return
    echo "FAIL: $1: expected '$2', got '$3'"
    failures=$((failures + 1))
}

# The value of KEY in the block of slot SLOT (or, without SLOT, its first line).
field() { # field DUMP KEY [SLOT]
    awk -F'\t' -v key="$2" -v slot="${3-}" '
        $1 == "slot" { current = $2 }
        $1 == key && (slot == "" || current "" == slot "") { sub(/^[^\t]*\t/, ""); print; exit }' "$1"
}

# Runs COMMAND until it succeeds; fails once SECONDS have passed.
wait_for() { # wait_for SECONDS COMMAND...
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}
gone() { ! kill -0 "$1" 2>/dev/null; }

# Runs the launcher in FOLDER (as PROGRAM) and leaves its dump in FOLDER.dump.txt.
run_launcher() { # run_launcher FOLDER SECONDS [PROGRAM]
    local dump="$1.dump.txt"
    rm -f "$dump"
    timeout "$2" "$wine" "${3-$1/AutoRun.exe}" /dump-window-texts "Z:${dump//\//\\}" >"$1.log" 2>&1
}

# Wine makes or updates its prefix on its first start, which takes minutes on a
# busy machine: a step of its own, outside the launcher's deadlines.
timeout 240 "$wine" wineboot --init >"$work/wineboot.log" 2>&1
check "Wine prefix ready" 0 $?

echo "== a CD saved by kazanoro-cli, burnt to an image and read back"
bash "$here/make_test_cd.sh" "$cli" "$work/project" "$work/cd" || { echo "FAIL: no CD" && exit 1; }
if [ -f "$exe32" ]; then # the shipped build, beside the program
    cmp -s "$exe32" "$work/cd/AutoRun.exe"
    check "save copied the launcher from beside the program" 0 $?
fi
rm -f "$work/cd.iso"
"$cli" iso "$work/cd" "$work/cd.iso" --label "テストCD" >"$work/iso.log" 2>&1
check "kazanoro-cli iso exit code" 0 $?
disc="$work/disc"
chmod -R u+w "$disc" 2>/dev/null
rm -rf "$disc"
xorriso -osirrox on -read_fs norock -indev "$work/cd.iso" -extract / "$disc" >"$work/xorriso.log" 2>&1
# Read-only as on a CD; the batch file below leaves its mark all the same.
chmod -R u+w "$disc"
diff -r "$work/cd" "$disc" >"$work/diff.log" 2>&1
check "the image's Joliet names and bytes are the CD folder's" 0 $?
[ "$exe" = "$exe32" ] || cp "$exe" "$disc/AutoRun.exe"
# As a CD is found: the root of drive D:, under the image's label.
printf 'テストCD' >"$disc/.windows-label"
ln -sfn "$disc" "$WINEPREFIX/dosdevices/d:"

run_launcher "$disc" 120 'D:\AutoRun.exe'
check "launcher exit code" 0 $?
dump="$disc.dump.txt"
[ -s "$dump" ] || { echo "FAIL: no window dump; Wine said:" && cat "$disc.log" && exit 1; }

check "menu read, on page 1" "loaded 1/20" "$(field "$dump" state) $(field "$dump" page)"
check "the disc's label is the window's title" "テストCD" "$(field "$dump" window)"
check "pages open on their first slot's details" 'tools\setup.exe last\app.exe ' \
    "$(awk -F'\t' '$1 == "details" && $2 != "" { printf "%s ", $2 }' "$dump")"
check "background, names colour" "#E0E8F0 #000080" "$(field "$dump" background) $(field "$dump" names)"
check "<< hidden, >> shown on page 1" "hidden shown" "$(field "$dump" Down) $(field "$dump" UP)"

# What a slot shows, each field followed by |: icon, name, first line and its colour, second
# line and its colour, path, both titles and values; the copies: value 1, value 2, characters 5-8.
shows() { awk -F'\t' -v slot="$1" '$1 == "slot" || $1 == "page" { on = ($1 == "slot" && $2 "" == slot "") }
    on && $1 != "slot" { sub(/^[^\t]*\t/, ""); printf "%s|", $0 }' "$dump"; }
nothing='登録ﾕｰｻﾞｰ名||ｼﾘｱﾙｷｰ|||||'
check "slot 00: a BMP, an address in blue, stored second title" \
    "bitmap 32x32|テスト アプリ|http://example.com/ja/|#0000FF|二行目の説明です|#000000|tools\setup.exe|登録ﾕｰｻﾞｰ名|山田太郎|製品キー|ABCD-EFGH-IJKL|山田太郎|ABCD-EFGH-IJKL|-EFG|" "$(shows 00)"
check "slot 10: kana, a line in red, capitals no address" \
    "bitmap 32x32|ﾒﾓ帳で読む説明書|お読みください|#FF0000|HTTP: は大文字|#000000|docs\readme.txt|$nothing" "$(shows 10)"
check "slot 20: an .ico, a short line keeps red" "icon 32x32|ウェブサイト|サイト|#FF0000||#000000|http://example.com/|$nothing" "$(shows 20)"
check "slot 30: a name only" "none|名前だけの枠||#FF0000||#000000||$nothing" "$(shows 30)"
check "slot 40: a Japanese path" "none|起動テスト||#FF0000||#000000|ﾂｰﾙ\起動.bat|$nothing" "$(shows 40)"
check "slot 11: empty" "none|||#FF0000||#000000||$nothing" "$(shows 11)"
check "slot 41 on page 2: a 32-bit BMP, stored titles" \
    "bitmap 32x32|二ページ目の道具|ページ2|#FF0000||#000000|page2\tool.exe|ID|user|PIN|1234|user|1234|1234|" "$(shows 41)"
check "slot 017 on page 18" "none|最後のページ||#FF0000||#000000|last\app.exe|$nothing" "$(shows 017)"
check "every page reached" \
    "$(printf '%s/20 ' $(seq 1 20))" "$(awk -F'\t' '$1 == "page" { printf "%s ", $2 }' "$dump")"
check "<< and >> on the last page" "shown hidden" \
    "$(awk -F'\t' '$1 == "page" { last = ($2 == "20/20") } last && ($1 == "Down" || $1 == "UP") { printf "%s%s", sep, $2; sep = " " }' "$dump")"

echo "== clicking a slot starts its file in the file's folder; Escape closes"
mark="$disc/ﾂｰﾙ/ran.txt" && rm -f "$mark"
"$wine" 'D:\AutoRun.exe' >"$work/press.log" 2>&1 &
launcher=$!
# Only a mapped window takes a click: before, it falls through to the screen.
window=$(timeout 60 xdotool search --sync --onlyvisible --name "^$(field "$dump" window)\$" | head -1)
check "the launcher's window is shown" yes "$([ -n "$window" ] && echo yes || echo no)"
if [ -n "$window" ]; then
    raised() { # slot button 1 lit at its top left, shaded at its bottom right
        [ "$(import -window "$window" -crop 40x40+0+136 +repage \
            -format '%[fx:p{0,0}.intensity > p{39,39}.intensity]' info: 2>/dev/null)" = 1 ]
    }
    wait_for 60 raised
    check "slot buttons stand out until pressed" yes "$(raised && echo yes || echo no)"
    xdotool mousemove --window "$window" 20 316 click 1 # the fifth slot, at 96 dpi
    wait_for 60 test -s "$mark"
    check "the batch file ran in its own folder" yes "$([ -s "$mark" ] && echo yes || echo no)"
    # The started program took the focus, and keys go nowhere until a click
    # gives it back. A click on >> does, and shows it was handled: << appears
    # where page 1 has only the background.
    xdotool mousemove --window "$window" 180 356 click 1
    shows_previous() { # more than one colour where << is
        local colours
        colours=$(import -window "$window" -crop 41x25+48+344 +repage -format %k info: 2>/dev/null)
        [ "${colours:-0}" -gt 1 ]
    }
    wait_for 60 shows_previous
    check ">> shows << on page 2" yes "$(shows_previous && echo yes || echo no)"
    xdotool key Escape
    wait_for 60 gone "$launcher"
fi
gone "$launcher" || kill "$launcher"
wait "$launcher"
check "launcher closed by Escape, exit code" 0 $?

# Without a readable menu every slot says why, and no slot has a name.
for state in damaged missing; do
    echo "== Auto_Run.dat $state"
    folder=$work/$state
    rm -rf "$folder" && mkdir -p "$folder" && cp "$exe" "$folder/AutoRun.exe"
    [ $state = missing ] || head -c 100 "$disc/Auto_Run.dat" >"$folder/Auto_Run.dat"
    run_launcher "$folder" 60
    check "$state: launcher exit code" 0 $?
    check "$state: menu state; no label, so the title" "$state AutoRun" \
        "$(field "$folder.dump.txt" state) $(field "$folder.dump.txt" window)"
    said=$([ $state = missing ] && echo "が見つかりません" || echo "を読み込めません")
    for slot in 00 419; do
        check "$state: message on $slot" "Auto_Run.dat $said。" "$(field "$folder.dump.txt" Label2 $slot)"
    done
    check "$state: no names" "" "$(awk -F'\t' '$1 == "Label1" && $2 != ""' "$folder.dump.txt")"
done

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "all checks passed"
