#!/bin/bash
# Plants one slip at a time in the program, rebuilds, runs the tests and puts the code back:
# a slip the tests do not notice is a hole in them. Prints one line per slip and the catch rate.
#   bash scripts/mutation-sample.sh [BUILD_DIR] [NAME_FILTER]
# BUILD_DIR is an already configured build (default: build); `--table` instead only checks that
# every slip's text is where the table says. NAME_FILTER (a grep pattern) runs only the slips whose
# name matches it. The working tree's own changes are kept.
set -u
cd "$(dirname "$0")/.."
build=${1:-build}
filter=${2:-.}
export QT_QPA_PLATFORM=offscreen

# name|file|text as it stands|text with the slip. The text must occur exactly once in the file.
slips=$(cat <<'TABLE'
format-line-width|src/core/format_fields.cpp|integer("LWD", 6, 2, 1, kLargestShort|integer("LWD", 6, 2, 0, kLargestShort
format-angle-bound|src/core/format_fields.cpp|FieldKind::Single, 0, 90, true,|FieldKind::Single, 0, 90, false,
format-decimals-bound|src/core/format_fields.cpp|integer("XND", 9, 1, 0, 6,|integer("XND", 9, 1, 0, 7,
numeric-smallest-grid|src/core/numeric_reader.cpp|if (nx < 2 \|\| ny < 2) {|if (nx < 1 \|\| ny < 2) {
numeric-mesh-kinds|src/core/numeric_reader.cpp|return std::abs(ldr) >= 3 && std::abs(ldr) <= 8;|return std::abs(ldr) > 3 && std::abs(ldr) <= 8;
turn-direction|src/core/projection.cpp|settings.FXD + 5.0 * turnSteps|settings.FXD - 5.0 * turnSteps
frame-y-end|src/core/projection.cpp|c.XEndY - settings.YWD * sinDeg(frame.FYD)|c.XEndY + settings.YWD * sinDeg(frame.FYD)
spline-end-slope|src/core/spline.cpp|c1_[0] = (3 * s[1] - s[2]) / 2;|c1_[0] = (3 * s[1] + s[2]) / 2;
utf8-two-byte-lead|src/core/text_decoding.cpp|c >= 0xC2 && c <= 0xDF|c >= 0xC0 && c <= 0xDF
path-backslash|src/core/path_file.cpp|return c == '/' \|\| c == '\\';|return c == '/';
line-end-pairs|src/core/edited_text.cpp|text[i + 1] == (c == '\r' ? '\n' : '\r')|text[i + 1] == '\n'
copy-name-dotfile|src/core/working_folder.cpp|if (dot == std::string::npos \|\| dot == 0) {|if (dot == std::string::npos) {
backup-kept|src/core/atomic_file.cpp|    ::unlink(siblings.backup().c_str());|    (void)siblings;
json-control-escape|src/core/json_text.cpp|if (static_cast<unsigned char>(c) < 0x20) {|if (static_cast<unsigned char>(c) < 0x1f) {
labels-upright|src/render/frame_labels.cpp|const bool upright = g_.LDR >= 1;|const bool upright = g_.LDR > 1;
comments-gap|src/render/comments_header.cpp|float y = top + 3 * txh;|float y = top + 2 * txh;
printable-bottom|src/render/page_composition.cpp|constexpr float kPrintableBottom = 279;|constexpr float kPrintableBottom = 297;
budget-cell-points|src/render/plot_budget.cpp|return {cells * (4 * k + 1), refined};|return {cells * (4 * k), refined};
mesh-last-row|src/render/meshes.cpp|for (int r = 1; r <= g.NY - 1; ++r) {|for (int r = 1; r < g.NY - 1; ++r) {
stream-line-floor|src/render/stream_lines.cpp|(g.XEndY + 300) * ctx.profile.unitsPerMmY|(g.XEndY + 30) * ctx.profile.unitsPerMmY
shading-light-y|src/render/surfaces.cpp|light_ = {a / 2 / n, -b / 2 / n,|light_ = {a / 2 / n, b / 2 / n,
wrap-limit|src/render/comment_wrap.cpp|std::min(feed + 1, count) - first|std::min(feed, count) - first
svg-less-than|src/devices/svg_document.cpp|escaped += u"&lt;";|escaped += u"<";
svg-short-colour|src/devices/svg_document.cpp| && (c.b >> 4) == (c.b & 15);|;
emf-record-padding|src/devices/emf_records.cpp|return (size + 3) & ~std::uint32_t{3};|return (size + 1) & ~std::uint32_t{3};
emf-colour-order|src/devices/emf_records.cpp|std::uint32_t{c.r} \| std::uint32_t{c.g} << 8 \| std::uint32_t{c.b} << 16|std::uint32_t{c.b} \| std::uint32_t{c.g} << 8 \| std::uint32_t{c.r} << 16
png-green-filter|src/devices/png_encoder.cpp|qGreen(pixel) - qGreen(previous)|qGreen(pixel)
canvas-turn-step|src/ui/canvas_window.cpp|steps.turn[slot] += 1;|steps.turn[slot] += 2;
canvas-stretch-sign|src/ui/canvas_window.cpp|steps.zoom[slot] -= 1;|steps.zoom[slot] += 1;
preview-edited-text|src/core/graph_reader.cpp|FormatRead format = files.formatText ?|FormatRead format = false ?
checker-converted-unsaved|src/ui/checker_window.cpp|return editor_->document()->isModified() \|\| lineEndsConverted_;|return editor_->document()->isModified();
check-exit-skipped|app/check_command.cpp|return outcome == GraphReadOutcome::Skipped ? 1 : 0;|return outcome == GraphReadOutcome::Skipped ? 0 : 0;
terminal-delete-escape|app/stream_messages.cpp|(lead < 0x20 && lead != '\n' && lead != '\t') \|\| lead == 0x7F|(lead < 0x20 && lead != '\n' && lead != '\t')
TABLE
)

saved=$(mktemp)
restore() { [ -n "${current:-}" ] && cp "$saved" "$current" && touch "$current"; current=; }
trap 'restore; rm -f "$saved"; exit 130' INT TERM

table_only=false
[ "$build" = --table ] && table_only=true
if ! $table_only && ! cmake --build "$build" -j2 >/dev/null 2>&1; then
    echo "the unchanged tree does not build in $build" >&2
    exit 2
fi

planted=0 caught=0 missed=()
while IFS= read -r row; do
    # Split on the unescaped '|'; '\|' stands for a literal one.
    IFS=$'\x1f' read -r name file from to <<<"$(sed 's/\\|/\x1e/g; s/|/\x1f/g; s/\x1e/|/g' <<<"$row")"
    grep -q -- "$filter" <<<"$name" || continue
    count=$(grep -cF -- "$from" "$file" 2>/dev/null || true)
    if [ "$count" != 1 ]; then
        printf '%-28s not planted: the text occurs %s times in %s\n' "$name" "${count:-0}" "$file"
        continue
    fi
    if $table_only; then
        planted=$((planted + 1))
        continue
    fi
    current=$file
    cp "$file" "$saved"
    FROM=$from TO=$to perl -0pi -e 's/\Q$ENV{FROM}\E/$ENV{TO}/' "$file"
    if ! cmake --build "$build" -j2 >/dev/null 2>&1; then
        verdict="does not build"
    elif timeout 900 ctest --test-dir "$build" -j2 --stop-on-failure >/dev/null 2>&1; then
        verdict=MISSED
        missed+=("$name")
    else
        verdict=caught
        caught=$((caught + 1))
    fi
    [ "$verdict" = "does not build" ] || planted=$((planted + 1))
    printf '%-28s %s\n' "$name" "$verdict"
    restore
done <<<"$slips"
rm -f "$saved"
if $table_only; then
    echo "$planted slips can be planted"
    exit 0
fi
cmake --build "$build" -j2 >/dev/null 2>&1
echo "caught $caught of $planted planted slips$([ ${#missed[@]} -gt 0 ] && echo "; missed: ${missed[*]}")"
