#!/bin/sh
# Writes the seed files of the spreadsheet reader's fuzz target into
# xls_corpus/: two workbooks of LibreOffice (one with formulas) made from
# CSV text. ours-two-sheets.xls comes from the grid's peer test
# (GridOfficePeers: named.xls, two sheets).
set -e
here=$(cd "$(dirname "$0")" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
printf 'год,тираж,число\r\n2001,1,2.5\r\n"a ""q""",,-3.75\r\n' > "$tmp/libreoffice.csv"
printf 'год,тираж,сумма\n2001,1,=A2+B2\n2002,2.5,=A3*2\nтекст,,="x"&"y"\n' > "$tmp/libreoffice-formulas.csv"
soffice -env:UserInstallation=file://$tmp/profile --headless \
  --infilter='Text - txt - csv (StarCalc):44,34,76,1' \
  --convert-to 'xls:MS Excel 97' --outdir "$here/xls_corpus" "$tmp/libreoffice.csv" >/dev/null
soffice -env:UserInstallation=file://$tmp/profile --headless \
  --infilter='Text - txt - csv (StarCalc):44,34,76,1,,0,false,false,false,false,false,0,true' \
  --convert-to 'xls:MS Excel 97' --outdir "$here/xls_corpus" "$tmp/libreoffice-formulas.csv" >/dev/null
