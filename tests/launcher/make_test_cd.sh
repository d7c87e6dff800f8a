#!/usr/bin/env bash
# Makes a CD folder the way a user of the editor would: fills a working folder
# through kazanoro-cli (settings values and icon files for a few slots, with
# Japanese texts), then saves it. Slot 00's icon is a 24-bit BMP, as the editor
# writes them; slot 41's a 32-bit BMP with the long header and bit masks; slot
# 20's a real .ico file. Both folders are made anew.
#
#   make_test_cd.sh KAZANORO_CLI WORKDIR CDDIR
set -euo pipefail
cli=$1 work=$2 cd_dir=$3

rm -rf "$work" "$cd_dir"
mkdir -p "$work/AutoRun_Icon" "$cd_dir"
settings="$work/設定.txt"

# slot KEY FILEPATH APPNAME TEXT1 TEXT2 NAME SERIAL NAMETITLE SERIALTITLE
slot() {
    local key=$1 sections=(FilePath AppName Text1 Text2 Name Serial NameTaitol SerialTaitol)
    local prefixes=(Path_ App_ Text_ Text_ Name_ Serial_ Name_ Serial_) values=("${@:2}") k
    for k in "${!sections[@]}"; do
        [ -z "${values[k]-}" ] || "$cli" ini set "$settings" "${sections[k]}" "${prefixes[k]}$key" "${values[k]}"
    done
}

slot 00 'tools\setup.exe' 'テスト アプリ' 'http://example.com/ja/' '二行目の説明です' \
    '山田太郎' 'ABCD-EFGH-IJKL' '' '製品キー'
slot 10 'docs\readme.txt' 'ﾒﾓ帳で読む説明書' 'お読みください' 'HTTP: は大文字' '' '' '' ''
slot 20 'http://example.com/' 'ウェブサイト' 'サイト' '' '' '' '' ''
slot 30 '' '名前だけの枠' '' '' '' '' '' ''
slot 40 'ﾂｰﾙ\起動.bat' '起動テスト' '' '' '' '' '' ''
slot 41 'page2\tool.exe' '二ページ目の道具' 'ページ2' '' 'user' '1234' 'ID' 'PIN'
slot 017 'last\app.exe' '最後のページ' '' '' '' '' '' ''

icons="$work/AutoRun_Icon"
convert -size 32x32 xc:'#3366cc' -fill yellow -draw 'circle 16,16 16,5' "BMP3:$icons/Icon_00.ico"
convert -size 32x32 xc:white -fill '#cc3333' -draw 'rectangle 6,4 25,27' \
    -fill white -draw 'rectangle 9,8 22,10' -draw 'rectangle 9,14 22,16' "BMP3:$icons/Icon_10.ico"
convert -size 32x32 xc:none -fill '#22aa44' -draw 'circle 16,16 16,2' \
    -fill white -draw 'rectangle 4,15 28,17' "ICO:$icons/Icon_20.ico"
convert -size 32x32 xc:'#ffcc00' -fill black -draw 'polygon 4,28 16,4 28,28' "BMP:$icons/Icon_41.ico"

# Save copies AutoRun.exe from beside kazanoro-cli into the CD folder.
"$cli" save "$work" "$cd_dir" --force --background 0x00F0E8E0 --text 0x00800000 >/dev/null

# What slot 40 starts: a batch file that leaves a mark in the folder it runs in.
mkdir -p "$cd_dir/ﾂｰﾙ"
printf '@echo off\r\ncd > ran.txt\r\n' >"$cd_dir/ﾂｰﾙ/起動.bat"
