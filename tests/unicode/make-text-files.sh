#!/bin/sh
# Writes the text files the string-list tests read: one text in every encoding a list file may have,
# encoded here on the Linux side by iconv, independently of the code under test.
set -eu
out=$1
mkdir -p "$out"
text='Pagorin\r\n\316\225\316\273\316\273\316\267\316\275\316\271\316\272\316\254\r\n\320\226\320\265\320\275\320\260\r\ncaf\303\251 \360\237\222\277\r\n'
printf "$text" > "$out/plain-utf8.tmp"
{ printf '\377\376'; iconv -f UTF-8 -t UTF-16LE "$out/plain-utf8.tmp"; } > "$out/utf16le-bom.txt"
{ printf '\376\377'; iconv -f UTF-8 -t UTF-16BE "$out/plain-utf8.tmp"; } > "$out/utf16be-bom.txt"
{ printf '\357\273\277'; cat "$out/plain-utf8.tmp"; } > "$out/utf8-bom.txt"
printf 'Pagorin\r\ncaf\303\251 \342\202\254\r\n' | iconv -f UTF-8 -t CP1252 > "$out/cp1252.txt"
rm "$out/plain-utf8.tmp"
