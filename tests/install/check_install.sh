#!/usr/bin/env bash
# Installs a build into a temporary prefix and checks what a desktop and `man` will meet there:
# every file in its place under one id, the desktop entry, the path file's MIME type and the
# AppStream file valid, one version everywhere, and manual pages that render cleanly and name
# every option the program's usage names.  check_install.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
id=com.fernwick.Kavlo
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
for file in bin/kavlo share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
    share/icons/hicolor/scalable/apps/$id.svg share/man/man1/kavlo.1.gz share/man/ja/man1/kavlo.1.gz \
    share/mime/packages/$id.xml share/doc/kavlo/copyright share/doc/kavlo/changelog.gz; do
    [ -f "$prefix/$file" ] || fail "$file is not installed"
done
for size in 48 128 256; do
    png=$share/icons/hicolor/${size}x$size/apps/$id.png
    # Width and height stand big-endian at bytes 16 to 23 of a PNG.
    read -r -a dims < <(od -An -tu1 -j16 -N8 "$png" 2>/dev/null || true)
    [ "${#dims[@]}" -eq 8 ] && [ $((dims[2] * 256 + dims[3])) -eq "$size" ] &&
        [ $((dims[6] * 256 + dims[7])) -eq "$size" ] || fail "$png is not a $size x $size PNG"
done

desktop=$share/applications/$id.desktop
if ! report=$(desktop-file-validate "$desktop" 2>&1) || grep -Eq 'error|warning' <<<"$report"; then
    fail "desktop-file-validate: $report"
fi
grep -qx 'Exec=kavlo %F' "$desktop" || fail "the desktop entry does not start kavlo with files"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry names another icon"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "appstreamcli validate: $(appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml")"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
    "$share/metainfo/$id.metainfo.xml" || fail "the metainfo launches another desktop entry"
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo's release is not $version"
grep -q "<project_license>MIT</project_license>" "$share/metainfo/$id.metainfo.xml" ||
    fail "the metainfo does not name the MIT licence"
zcat "$share/doc/kavlo/changelog.gz" | head -1 | grep -q "^kavlo ($version) " ||
    fail "the changelog's last entry is not of $version"

# The path file's type: its globs and its parent as the MIME database compiles them, and the
# desktop entry offering Kavlo for it.
mime=application/x-kavlo-path
xmllint --noout "$share/mime/packages/$id.xml" || fail "$id.xml is not well-formed"
update-mime-database "$share/mime" >/dev/null 2>&1 || fail "update-mime-database fails"
for glob in Kavlo.pth kavlo.pth; do
    grep -qx "50:$mime:$glob:cs" "$share/mime/globs2" 2>/dev/null ||
        fail "the MIME database does not match $glob, case-sensitively, as $mime"
done
grep -qx "$mime text/plain" "$share/mime/subclasses" 2>/dev/null ||
    fail "$mime is not a kind of text/plain"
grep -qx "MimeType=$mime;" "$desktop" || fail "the desktop entry does not open $mime"

# The Japanese face names resolve to the IPA fonts once fontconfig reads the installed link, as
# it reads /etc/fonts/conf.d for a /usr install.
fontconf=35-kavlo-japanese-faces.conf
avail=$share/fontconfig/conf.avail/$fontconf
link=$prefix/etc/fonts/conf.d/$fontconf
[ -f "$avail" ] || fail "$avail is not installed"
[ -L "$link" ] && [ "$(readlink "$link")" = "$avail" ] ||
    fail "$link does not link to $avail"
cat >"$prefix/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include>$prefix/etc/fonts/conf.d</include>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
</fontconfig>
EOF
for face in "ＭＳ 明朝=IPAMincho" "MS PMincho=IPAPMincho" "ＭＳ ゴシック=IPAGothic" \
    "ＭＳ Ｐゴシック=IPAPGothic" "MS Gothic=IPAGothic"; do
    found=$(FONTCONFIG_FILE=$prefix/fonts.conf fc-match -f '%{family[0]}' "${face%=*}")
    [ "$found" = "${face#*=}" ] || fail "fc-match '${face%=*}' finds '$found', not '${face#*=}'"
done

kavlo=$prefix/bin/kavlo
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$kavlo" --version)" = "kavlo $version" ] ||
    fail "kavlo --version says '$("$kavlo" --version)', not 'kavlo $version'"
# Printing comes from the windows' module, found where it was installed beside the program.
told=$(env -u DISPLAY -u WAYLAND_DISPLAY CUPS_SERVER="$prefix/no-cups.sock" \
    "$kavlo" print --home "$prefix/home" 2>&1 || true)
grep -q "(CUPS) $prefix/no-cups.sock" <<<"$told" ||
    fail "the installed kavlo does not get to printing: $told"

english=$share/man/man1/kavlo.1.gz
japanese=$share/man/ja/man1/kavlo.1.gz
for manual in "$english" "$japanese"; do
    gzip -t "$manual" || fail "$manual is not gzip"
done
grep -q "^Kavlo $version " <<<"$(MANWIDTH=100 LC_ALL=C.UTF-8 man -l "$english" 2>/dev/null)" ||
    fail "the manual page is not of Kavlo $version"
words=$("$kavlo" --help | grep -oE -- '(--?[a-z]+|check|render|print)' | sort -u)
# The English page as a fresh system's C locale shows it (ASCII only) and as UTF-8 terminals do,
# the Japanese page in UTF-8: no warning, and every option and verb of the usage in its place.
for shown in "C ascii $english" "C.UTF-8 utf-8 $english" "C.UTF-8 utf-8 $japanese"; do
    read -r locale encoding file <<<"$shown"
    page=$(MANWIDTH=80 MANROFFSEQ='' LC_ALL=$locale man --warnings -E "$encoding" -l "$file" \
        2>"$prefix/man.err")
    [ -s "$prefix/man.err" ] && fail "man warns on $file in $locale: $(cat "$prefix/man.err")"
    for word in $words; do
        grep -qF -- "$word" <<<"$page" || fail "$file in $locale does not mention $word"
    done
done

exit $((failures > 0))
