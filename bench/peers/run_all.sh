#!/bin/bash
# run_all.sh -- gnuplot vs matplotlib vs kavlo, whole-process renders of a 3-D grid.
#
#   ./run_all.sh                     # full table: N = 25 50 100 200 400, 3 runs each
#   (bench/peers/run.sh installs the peers, builds kavlo and runs this in a scratch copy)
#   NS="25 50" RUNS=1 ./run_all.sh   # quick subset
#   KAVLO=path/to/kavlo ./run_all.sh # also run kavlo (default: `kavlo` on PATH, else skipped)
#   CONFIGS="gnuplot/shaded/png kavlo/shaded/png" ./run_all.sh   # only these tool/style/format
#   RAW=raw/other.csv TABLE=other.md ./run_all.sh                 # write elsewhere (default:
#                                    # raw/timings.csv, results_table.md; relative to this folder)
#
# Needs Debian packages gnuplot-nox (or any gnuplot with pngcairo/svg/pdfcairo)
# and python3-matplotlib, plus /usr/bin/time. Uses /usr/bin/python3 on purpose
# (Debian's python, where python3-matplotlib lives), never a pyenv python.
# kavlo runs with QT_QPA_PLATFORM=offscreen.
#
# Styles: gnuplot hidden (hidden3d) / shaded (pm3d); matplotlib wire (no
# hidden-line removal) / shaded (plot_surface); kavlo hidden (LDR 3 rectangular
# mesh, hidden lines removed) / shaded (LDR 6 light-blue surface), IPL 0.
#
# Each (tool x style x format x N) is run RUNS times under
#   /usr/bin/time -f '%e %M' timeout $TIMEOUT <render command>
# (wall seconds, peak RSS KB; %M covers the grandchild renderer). Timings are
# whole-process: interpreter/program start-up + data load + render + file write.
# For each N the runs are interleaved: run 1 of every config, then run 2 of
# every config, ..., so machine noise falls on all tools alike.
# A run that hits the timeout is recorded as TIMEOUT and that config is skipped
# (SKIP) for its remaining runs and all larger N; a failed run (FAILrc) ends
# that config's runs at this N.
# wall_ms_hires (bash $EPOCHREALTIME around the same command, includes the
# ~1-2 ms of /usr/bin/time + timeout fork) is kept because %e has only 10 ms
# resolution.
# Raw rows  -> $RAW ; summary -> $TABLE (summarize.py, plus a kavlo-vs-peers
# table when kavlo ran).
set -u

NS=${NS:-"25 50 100 200 400"}
RUNS=${RUNS:-3}
TIMEOUT=${TIMEOUT:-120}
KAVLO=${KAVLO:-$(command -v kavlo || true)}
[ -n "$KAVLO" ] && KAVLO=$(realpath "$KAVLO")
cd "$(dirname "$0")"
RAW=${RAW:-raw/timings.csv}
TABLE=${TABLE:-results_table.md}
PY=/usr/bin/python3
GP=$(command -v gnuplot)
TIME=/usr/bin/time
export QT_QPA_PLATFORM=offscreen

for b in "$PY" "$GP" "$TIME"; do
    [ -x "$b" ] || { echo "missing $b" >&2; exit 1; }
done
"$PY" -c 'import matplotlib, numpy' || { echo "python3-matplotlib missing" >&2; exit 1; }

ALL="gnuplot/hidden/png gnuplot/hidden/svg gnuplot/hidden/pdf
     gnuplot/shaded/png gnuplot/shaded/svg gnuplot/shaded/pdf
     matplotlib/wire/png matplotlib/wire/svg matplotlib/wire/pdf
     matplotlib/shaded/png matplotlib/shaded/svg matplotlib/shaded/pdf"
if [ -x "${KAVLO:-/nonexistent}" ]; then
    ALL="$ALL kavlo/hidden/png kavlo/hidden/svg kavlo/hidden/pdf
               kavlo/shaded/png kavlo/shaded/svg kavlo/shaded/pdf"
else
    echo "kavlo not found (set KAVLO=path/to/kavlo): running the peers only" >&2
fi
CONFIGS=${CONFIGS:-$ALL}
TOOLS=" $(for k in $CONFIGS; do echo "${k%%/*}"; done | sort -u | tr '\n' ' ')"
if [[ $TOOLS == *" kavlo "* ]] && [ ! -x "${KAVLO:-/nonexistent}" ]; then
    echo "CONFIGS names kavlo but KAVLO='$KAVLO' is not an executable" >&2; exit 1
fi

mkdir -p data out raw "$(dirname "$RAW")"
echo "tool,style,fmt,N,run,wall_s,peak_kb,status,size_bytes,wall_ms_hires" > "$RAW"

# ---- data ---------------------------------------------------------------
for n in $NS; do
    "$PY" gen_grid.py "$n" "data/grid_$n"
done

# kavlo reads data/grid_N.csv as it is: its numeric file is "NX,NY", then the
# z values row by row (y index 1 first, x index along the line), separated by
# commas and/or blanks. A page = a 20-line format file per graph + the 31-line
# path file naming the files of each of the 6 slots (paths relative to this
# folder, the working directory of every run) and the page header.
kavlo_format() {  # LDR OUT: format data file, IPL 0, frame and angles close to the peers' view
    printf '%s\r\n' \
        "Kavlo format data: peer benchmark, LDR $1, IPL 0" \
        "frame: x, y and z edge lengths (mm), shift, space above, comment size, font kind" \
        "XWD, YWD, ZWD, XSF, YSP, CSZ, FNT" \
        "100, 80, 90, 5, 8, 0, 7" \
        "FXD, FYD, LWD, IPL, LDR" \
        "20, 45, 1, 0, $1" \
        "numeric labels: size, decimals, value at the minimum end, value at the maximum end" \
        "XNS, XND, XMN, XMX" "4, 0, -4, 4" \
        "YNS, YND, YMN, YMX" "4, 0, -4, 4" \
        "ZNS, ZND, ZMN, ZMX (ZMN = ZMX: range from the data)" "4, 1, 0, 0" \
        "text labels: size, text" \
        "XLS, XLB" "5, x" "YLS, YLB" "5, y" "ZLS, ZLB" "5, z" > "$2"
}
kavlo_pathfile() {  # FORMAT NUMERIC HEADER OUT: one graph in slot 1; header Arial, centred
    {
        printf '/\r\ndata\r\n*.dat\r\n%s\r\n\r\n\r\n\r\n\r\n\r\n' "$1"
        printf '/\r\ndata\r\n*.dat\r\n%s\r\n\r\n\r\n\r\n\r\n\r\n' "$2"
        printf '/\r\ndata\r\n*.txt\r\n\r\n\r\n\r\n\r\n\r\n\r\n%s\r\n3\r\n3\r\n1\r\n' "$3"
    } > "$4"
}
if [[ $TOOLS == *" kavlo "* ]]; then
    mkdir -p data/kavlo_home
    kavlo_format 3 data/kavlo_hidden.fmt
    kavlo_format 6 data/kavlo_shaded.fmt
    for n in $NS; do
        for style in hidden shaded; do
            kavlo_pathfile "data/kavlo_$style.fmt" "data/grid_$n.csv" "kavlo $style, N=$n" \
                "data/kavlo_${style}_$n.pth"
        done
    done
    kavlo_pathfile "" "" "" data/kavlo_empty.pth      # start-up: a blank page
    printf '2, 2\r\n0, 1\r\n1, 2\r\n' > data/kavlo_tiny.dat  # start-up: check of a 2 x 2 grid
fi

# ---- one render command per (tool, style, fmt, n, outfile) -------------
render_cmd() {  # tool style fmt n outfile  -> prints nothing, sets CMD array
    local tool=$1 style=$2 fmt=$3 n=$4 of=$5
    case $tool in
    gnuplot)
        CMD=("$GP" -e "infile='data/grid_$n.dat'; outfile='$of'; fmt='$fmt'; style='$style'" render_gnuplot.gp) ;;
    matplotlib)
        CMD=("$PY" render_mpl.py "$style" "$fmt" "data/grid_$n.npy" "$of") ;;
    kavlo)
        # The peers' PNGs are A4 at 150 DPI (1240 x 1754): kavlo's too.
        local dpi=()
        [ "$fmt" = png ] && dpi=(--dpi 150)
        CMD=("$KAVLO" render --home data/kavlo_home --pth "data/kavlo_${style}_$n.pth" "${dpi[@]}" -o "$of") ;;
    esac
}

# time_run ROW OUTFILE LIMIT CMD... : one timed run of CMD (under `timeout LIMIT`
# unless LIMIT is -); appends "ROW,wall,peak,status,size,ms" to $RAW, sets ST.
time_run() {
    local row=$1 of=$2 limit=$3; shift 3
    local pre=()
    [ "$limit" = - ] || pre=(timeout "$limit")
    [ -n "$of" ] && rm -f "$of"
    local t0=$EPOCHREALTIME
    $TIME -f '%e %M' -o raw/t.txt "${pre[@]}" "$@" >raw/last.log 2>&1
    local rc=$?
    local t1=$EPOCHREALTIME
    local ms w m sz=""
    ms=$(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.1f", (b-a)*1000}')
    read -r w m < <(tail -1 raw/t.txt)
    if [ $rc -eq 124 ]; then ST=TIMEOUT
    elif [ $rc -ne 0 ]; then ST="FAIL$rc"
    else ST=ok; fi
    [ -n "$of" ] && sz=$(stat -c %s "$of" 2>/dev/null || echo "")
    row="$row,$w,$m,$ST,$sz,$ms"
    echo "$row"; echo "$row" >> "$RAW"
}

# ---- warm-up (font caches etc.), not timed -------------------------------
n0=$(echo $NS | awk '{print $1}')
for f in png svg pdf; do
    for tool in $TOOLS; do
        render_cmd "$tool" shaded $f "$n0" out/warmup.$f; "${CMD[@]}" >/dev/null 2>&1
    done
done
rm -f out/warmup.*

# ---- start-up cost of each tool (no data; kavlo: also a blank page) ------
for r in $(seq 1 "$RUNS"); do
    for tool in $TOOLS; do
        case $tool in
        gnuplot)
            time_run "gnuplot,startup,-,0,$r" "" - "$GP" -e 'exit' ;;
        matplotlib)
            time_run "matplotlib,startup,-,0,$r" "" - "$PY" -c 'import matplotlib; matplotlib.use("agg"); import matplotlib.pyplot, mpl_toolkits.mplot3d' ;;
        kavlo)
            # `check`: no Qt, reads a format file and a 2 x 2 grid, prints JSON
            time_run "kavlo,startup,-,0,$r" "" - "$KAVLO" check --json data/kavlo_shaded.fmt data/kavlo_tiny.dat
            # `render` of a page with no graph: Qt start-up + a blank A4 PNG
            time_run "kavlo,startup,png,0,$r" out/kavlo_empty.png - \
                "$KAVLO" render --home data/kavlo_home --pth data/kavlo_empty.pth -o out/kavlo_empty.png ;;
        esac
    done
done

# ---- main loop: for each N, runs interleaved over the configs ------------
declare -A DEAD   # config -> 1 once it has timed out (skipped for larger N)
for n in $NS; do
  declare -A STOP=()  # config -> 1 once it failed at this N
  for r in $(seq 1 "$RUNS"); do
    for key in $CONFIGS; do
        IFS=/ read -r tool style fmt <<< "$key"
        if [ -n "${DEAD[$key]:-}" ] || [ -n "${STOP[$key]:-}" ]; then
            if [ "$r" = 1 ]; then
                echo "$tool,$style,$fmt,$n,1,,,SKIP,,"; echo "$tool,$style,$fmt,$n,1,,,SKIP,," >> "$RAW"
            fi
            continue
        fi
        of="out/${tool}_${style}_${n}.$fmt"
        render_cmd "$tool" "$style" "$fmt" "$n" "$of"
        time_run "$tool,$style,$fmt,$n,$r" "$of" "$TIMEOUT" "${CMD[@]}"
        if [ "$ST" = TIMEOUT ]; then DEAD[$key]=1; STOP[$key]=1
        elif [ "$ST" != ok ]; then STOP[$key]=1; fi
    done
  done
  unset STOP
done
rm -f raw/t.txt

# ---- summary -------------------------------------------------------------
{
"$PY" summarize.py "$RAW"
if [[ $TOOLS == *" kavlo "* ]]; then
"$PY" - "$RAW" <<'EOF'
# kavlo against the peers: median hi-res seconds, ratios and median peak MB.
import csv, statistics, sys
rows = list(csv.DictReader(open(sys.argv[1])))
cell = {}
for r in rows:
    cell.setdefault((r["tool"], r["style"], r["fmt"], int(r["N"])), []).append(r)

def med(key):
    ok = [r for r in cell.get(key, []) if r["status"] == "ok"]
    if not ok:
        bad = [r["status"] for r in cell.get(key, [])]
        return (bad[0] if bad else None), None, None
    sizes = [int(r["size_bytes"]) for r in ok if r["size_bytes"]]
    return (statistics.median(float(r["wall_ms_hires"]) / 1000 for r in ok),
            statistics.median(int(r["peak_kb"]) for r in ok) / 1024,
            statistics.median(sizes) / (1 << 20) if sizes else None)

def sec(v):
    if v is None: return "-"
    if isinstance(v, str): return v
    return f"{v:.2f}" if v >= 1 else f"{v:.3f}"

def ratio(a, b):
    return f"{a / b:.2f}" if isinstance(a, float) and isinstance(b, float) else "-"

def mb(v):
    return "-" if v is None else f"{v:.0f}"

def mib(v):
    return "-" if v is None else f"{v:.1f}"

items = [("start-up: kavlo check (tiny file, no Qt)", ("gnuplot", "startup", "-", 0),
          ("matplotlib", "startup", "-", 0), ("kavlo", "startup", "-", 0)),
         ("start-up: kavlo render, empty page PNG", ("gnuplot", "startup", "-", 0),
          ("matplotlib", "startup", "-", 0), ("kavlo", "startup", "png", 0))]
ns = sorted({k[3] for k in cell if k[0] == "kavlo" and k[1] != "startup"})
for style, label in (("shaded", "shaded surface"), ("hidden", "hidden-line mesh")):
    for fmt in ("png", "svg", "pdf"):
        for n in ns:
            if ("kavlo", style, fmt, n) in cell:
                # matplotlib's wireframe draws no hidden lines: not the same work
                mpl = ("matplotlib", style, fmt, n) if style == "shaded" else None
                items.append((f"{label} {fmt.upper()}, N={n}", ("gnuplot", style, fmt, n), mpl,
                              ("kavlo", style, fmt, n)))
print()
print("kavlo vs peers: median wall seconds (hi-res), ratio of medians, median peak RSS MB,")
print("median file size MiB")
print("(start-up rows compare with `gnuplot -e exit` and `import matplotlib.pyplot, mplot3d`;")
print("matplotlib has no hidden-line mesh):")
print()
print("| work item | gnuplot s | matplotlib s | kavlo s | kavlo/gnuplot | kavlo/matplotlib"
      " | peak MB gnuplot | peak MB matplotlib | peak MB kavlo"
      " | MiB gnuplot | MiB matplotlib | MiB kavlo |")
print("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|")
for label, g, m, k in items:
    (gs, gm, gz), (ms, mm, mz), (ks, km, kz) = med(g), med(m) if m else (None, None, None), med(k)
    print(f"| {label} | {sec(gs)} | {sec(ms)} | {sec(ks)} | {ratio(ks, gs)} | {ratio(ks, ms)}"
          f" | {mb(gm)} | {mb(mm)} | {mb(km)} | {mib(gz)} | {mib(mz)} | {mib(kz)} |")
EOF
fi
} > "$TABLE"
echo "wrote $RAW and $TABLE"
