# apt-get update against a mirror mid-sync; sourced by setup.sh and
# setup-i386.sh. While a mirror syncs it serves some indexes that do not match
# its Release file, for minutes, several times a day.

# apt_update <log> [<apt-get option>...]: apt-get update, tried twice more
# after a pause (SETUP_RETRY_PAUSE seconds, 20 by default, then half as long
# again) when it fails. Its output goes to stdout and to <log> (the last
# try's); status 1 when the last try failed too.
apt_update() {
  apt_log=$1
  shift
  apt_pause=${SETUP_RETRY_PAUSE:-20}
  apt_try=1
  while :; do
    rm -f "$apt_log.failed"
    { apt-get update -q "$@" 2>&1 || : >"$apt_log.failed"; } | tee "$apt_log"
    [ -e "$apt_log.failed" ] || return 0
    rm -f "$apt_log.failed"
    [ "$apt_try" -lt 3 ] || return 1
    echo "${0##*/}: apt-get update failed (the mirror may be mid-sync); trying again in $apt_pause s" >&2
    sleep "$apt_pause"
    apt_pause=$((apt_pause + apt_pause / 2))
    apt_try=$((apt_try + 1))
  done
}

# apt_failed_indexes <log>: the indexes that apt-get update could not fetch,
# as "<suite>/<component> <architecture>" (or the suite alone for its Release
# file), on one line, from apt's "Err:" and "Failed to fetch" lines.
apt_failed_indexes() {
  awk '
    function add(s) { if (!(s in seen)) { seen[s] = 1; all = all (all == "" ? "" : ", ") s } }
    /^Err:/ && NF >= 4 { add(NF > 4 ? $3 " " $4 : $3); next }
    /Failed to fetch / {
      url = $0; sub(/.*Failed to fetch /, "", url); sub(/[ \t].*/, "", url)
      if (!match(url, /\/dists\//)) { add(url); next }
      n = split(substr(url, RSTART + RLENGTH), p, "/")
      s = p[1]
      if (n > 2) s = s "/" p[2]
      if (p[3] ~ /^binary-/) s = s " " substr(p[3], 8)
      add(s)
    }
    END { print all }' "$1"
}
