#!/usr/bin/env bash
# How other programs show the pictures Kavlo writes: the sample page and a dense shaded page, as
# SVG and as EMF, opened at their own size by LibreOffice Draw, Inkscape and rsvg, rasterised and
# compared with Kavlo's own PNG of the page (compare.py says how). Prints one Markdown table.
#   bench/interop/run.sh [BUILD_DIR]      (default: build; built here when it has no kavlo)
#   DPI=150 PAGES="sample dense" READERS="libreoffice inkscape rsvg"
#   KAVLO_FONTCONFIG=no: as on a machine without Kavlo's fontconfig file
# The readers are installed here and only here: the tests never need them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$root/build}")
dpi=${DPI:-150}
pages=${PAGES:-"sample dense"}
readers=${READERS:-"libreoffice inkscape rsvg"}

missing=()
command -v soffice >/dev/null || missing+=(libreoffice-draw)
command -v inkscape >/dev/null || missing+=(inkscape)
command -v rsvg-convert >/dev/null || missing+=(librsvg2-bin)
command -v pdftoppm >/dev/null || missing+=(poppler-utils)
/usr/bin/python3 -c 'import numpy' 2>/dev/null || missing+=(python3-numpy)
/usr/bin/python3 -c 'import PIL' 2>/dev/null || missing+=(python3-pil)
if [ ${#missing[@]} -gt 0 ]; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
        "${missing[@]}"
fi
if [ ! -x "$build/app/kavlo" ]; then
    "$root/scripts/install-deps.sh"
    "$root/scripts/build.sh" "$build" -DBUILD_TESTING=OFF
fi
kavlo=$build/app/kavlo
export QT_QPA_PLATFORM=offscreen

work=$build/interop
rm -rf "$work"
mkdir -p "$work/sample" "$work/dense/data" "$work/out"

# The readers see the Japanese face names as on a machine where Kavlo is installed: through its
# fontconfig file, read before the system's own rules as /etc/fonts/conf.d orders it.
fontconf=35-kavlo-japanese-faces.conf
if [ ! -e "/etc/fonts/conf.d/$fontconf" ] && [ "${KAVLO_FONTCONFIG:-yes}" = yes ]; then
    cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <include>$root/resources/fontconfig/$fontconf</include>
  <include ignore_missing="yes">/etc/fonts/fonts.conf</include>
</fontconfig>
CONF
    export FONTCONFIG_FILE=$work/fonts.conf
fi

# The dense page: one 150 x 150 shaded surface, labelled, with a comment and a header.
/usr/bin/python3 "$root/bench/peers/gen_grid.py" 150 "$work/dense/data/grid"
printf '%s\r\n' \
    "Kavlo format data: dense shaded surface" "frame" \
    "XWD, YWD, ZWD, XSF, YSP, CSZ, FNT" "120, 100, 70, 5, 8, 4, 3" \
    "FXD, FYD, LWD, IPL, LDR" "20, 45, 1, 0, 6" \
    "numeric labels" \
    "XNS, XND, XMN, XMX" "4, 0, -4, 4" \
    "YNS, YND, YMN, YMX" "4, 0, -4, 4" \
    "ZNS, ZND, ZMN, ZMX" "4, 2, 0, 0" \
    "text labels" \
    "XLS, XLB" "5, 東西 x (km)" "YLS, YLB" "5, 南北 y (km)" "ZLS, ZLB" "5, 高さ z" >"$work/dense/data/dense.fmt"
printf '%s\r\n' "図 1　密な格子 (150 × 150) の陰影面。" "峰の高さは 0.95 を超える。" \
    >"$work/dense/data/dense.txt"
{
    printf '/\r\ndata\r\n*.fmt\r\ndata/dense.fmt\r\n\r\n\r\n\r\n\r\n\r\n'
    printf '/\r\ndata\r\n*.csv\r\ndata/grid.csv\r\n\r\n\r\n\r\n\r\n\r\n'
    printf '/\r\ndata\r\n*.txt\r\ndata/dense.txt\r\n\r\n\r\n\r\n\r\n\r\n密な陰影面のページ\r\n1\r\n3\r\n1\r\n'
} >"$work/dense/Kavlo.pth"

render() {  # PAGE OUT [RENDER OPTIONS]
    local page=$1 out=$2
    shift 2
    if [ "$page" = sample ]; then
        "$kavlo" render --home "$work/sample" "$@" -o "$out"
    else
        (cd "$work/dense" && "$kavlo" render --home "$work/dense" --pth Kavlo.pth "$@" -o "$out")
    fi
}

# read READER FILE OUT_PREFIX: OUT_PREFIX.png at $dpi and OUT_PREFIX.txt, the reader's text
read_with() {
    local reader=$1 file=$2 out=$3
    case $reader in
    libreoffice)
        # Inserted into a drawing whose page is the picture's size, without margins, as a user
        # inserts a picture: opened on its own, Draw would shrink it into A4's margins.
        local dir size
        dir=$(mktemp -d)
        size=$(grep -o -m1 'width="[0-9.]*mm" height="[0-9.]*mm"' "${file%.*}.svg")
        sed -e "s|@WIDTH@|$(cut -d'"' -f2 <<<"$size")|g" \
            -e "s|@HEIGHT@|$(cut -d'"' -f4 <<<"$size")|g" -e "s|@PICTURE@|file://$file|" \
            "$here/inserted.fodg" >"$dir/inserted.fodg"
        timeout 900 soffice --headless -env:UserInstallation="file://$work/lo-profile" \
            --convert-to pdf --outdir "$dir" "$dir/inserted.fodg" >/dev/null 2>&1
        mv "$dir/inserted.pdf" "$out.pdf"
        rm -r "$dir"
        pdftoppm -r "$dpi" -png -singlefile "$out.pdf" "$out"
        pdftotext -raw "$out.pdf" "$out.txt" ;;
    inkscape)
        timeout 900 inkscape "$file" --export-type=png --export-dpi="$dpi" \
            --export-background=white --export-background-opacity=1 \
            --export-filename="$out.png" >/dev/null 2>&1
        timeout 900 inkscape "$file" --export-type=pdf --export-filename="$out.pdf" \
            >/dev/null 2>&1
        pdftotext -raw "$out.pdf" "$out.txt" ;;
    rsvg)
        timeout 900 rsvg-convert -d "$dpi" -p "$dpi" -b white "$file" -o "$out.png"
        timeout 900 rsvg-convert -f pdf "$file" -o "$out.pdf"
        pdftotext -raw "$out.pdf" "$out.txt" ;;
    esac
}

echo "| page | format | reader | seconds | ink recall | colour error | texts verbatim |"
echo "|---|---|---|---|---|---|---|"
for page in $pages; do
    render "$page" "$work/out/$page.svg"
    render "$page" "$work/out/$page.emf"
    # Kavlo's own picture at the readers' resolution.
    render "$page" "$work/out/$page-ref.png" --dpi "$dpi"
    for ext in svg emf; do
        for reader in $readers; do
            [ "$reader" = rsvg ] && [ "$ext" = emf ] && continue
            prefix=$work/out/$page-$ext-$reader
            start=$EPOCHREALTIME
            if ! read_with "$reader" "$work/out/$page.$ext" "$prefix"; then
                echo "| $page | $ext | $reader | failed | | | |"
                continue
            fi
            seconds=$(echo "$EPOCHREALTIME - $start" | bc)
            read -r recall error texts < <(/usr/bin/python3 "$here/compare.py" \
                "$work/out/$page-ref.png" "$prefix.png" "$work/out/$page.svg" "$prefix.txt" \
                2>"$prefix.missing")
            printf '| %s | %s | %s | %.1f | %s | %s | %s |\n' \
                "$page" "$ext" "$reader" "$seconds" "$recall" "$error" "$texts"
        done
    done
done
echo
echo "Rasters, PDFs and the texts each reader missed (*.missing) are in $work/out."
