#!/usr/bin/env bash
# A CUPS spooler of the tests' own: configuration, spool, logs and socket under one folder, a
# default queue that writes each job into that folder, nothing of the machine's printing
# touched. Source it, then `private_cups_start DIR`; CUPS_SERVER then names its socket for
# lpadmin, lp and Qt alike. `private_cups_stop DIR` ends it by its pid.
#   private_cups_start DIR [QUEUE]  -> DIR/out/page.ps receives each job (PostScript)
#   private_cups_wait_job DIR       -> waits until the queue is idle and the job is written

private_cups_start() {
    local dir=$1 queue=${2:-kavlo_test}
    mkdir -p "$dir"/{spool,cache,state,tmp,log,out,ppd,ssl}
    cat >"$dir/cupsd.conf" <<CONF
Listen $dir/cups.sock
LogLevel warn
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Location /admin>
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order allow,deny
    Allow all
  </Limit>
</Policy>
CONF
    cat >"$dir/cups-files.conf" <<CONF
ServerRoot $dir
RequestRoot $dir/spool
CacheDir $dir/cache
StateDir $dir/state
TempDir $dir/tmp
ServerKeychain $dir/ssl
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
FileDevice Yes
SystemGroup root
CONF
    # Filters and backends run as lp.
    chmod 1777 "$dir"/{spool,cache,tmp,out}
    chmod 755 "$dir"
    export CUPS_SERVER=$dir/cups.sock
    cupsd -F -c "$dir/cupsd.conf" -s "$dir/cups-files.conf" >"$dir/log/cupsd.out" 2>&1 &
    echo $! >"$dir/cupsd.pid"
    local tries=0
    until lpstat -r >/dev/null 2>&1; do
        tries=$((tries + 1))
        if ((tries > 100)); then
            echo "private cupsd did not start:" >&2
            cat "$dir/log/cupsd.out" "$dir/log/error_log" >&2 2>/dev/null
            return 1
        fi
        sleep 0.1
    done
    # Right after start the scheduler answers status requests before it takes admin ones.
    tries=0
    until lpadmin -p "$queue" -E -v "file://$dir/out/page.ps" \
        -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd 2>/dev/null && lpadmin -d "$queue"; do
        tries=$((tries + 1))
        if ((tries > 50)); then
            echo "cannot add the test queue" >&2
            return 1
        fi
        sleep 0.2
    done
}

# Waits until every job is done; fails when a filter failed or after 60 s.
private_cups_wait_job() {
    local dir=$1 tries=0
    while [ -n "$(lpstat -o 2>/dev/null)" ] || [ ! -s "$dir/out/page.ps" ]; do
        tries=$((tries + 1))
        if ((tries > 600)) || lpstat -p 2>/dev/null | grep -q "Filter failed"; then
            echo "the job did not come out:" >&2
            lpstat -o -p >&2
            tail -20 "$dir/log/error_log" >&2 2>/dev/null
            return 1
        fi
        sleep 0.1
    done
}

private_cups_stop() {
    local dir=$1
    if [ -f "$dir/cupsd.pid" ]; then
        kill "$(cat "$dir/cupsd.pid")" 2>/dev/null
        wait "$(cat "$dir/cupsd.pid")" 2>/dev/null
        rm -f "$dir/cupsd.pid"
    fi
}
