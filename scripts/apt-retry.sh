# apt-get against a mirror mid-sync or stale; sourced by setup.sh and
# setup-i386.sh. While a mirror syncs it serves some indexes that do not match
# its Release file, for minutes, several times a day; some mirrors keep one so
# for days.

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

# apt_stale_suites <indexes>: the suites of apt_failed_indexes' list, once
# each, space-separated; URLs it could not place in a suite are left out.
apt_stale_suites() {
  printf '%s\n' "$1" | tr ',' '\n' | sed -n 's/^ *\([^ /:]*\)\([/ ].*\)\{0,1\}$/\1/p' | awk 'NF && !seen[$0]++' | paste -sd' ' -
}

# apt_sources_without <folder> <suite>...: writes into <folder> a copy of this
# machine's apt sources (sources.list and the .list and .sources files of
# sources.list.d, where apt-config says they are) with those suites left out,
# and prints the apt-get options that make one command read it instead. Other
# sources, their URIs, keyrings and options stay as they are; the machine's
# own files are not touched. No package cache is written for the copy.
apt_sources_without() {
  apt_dir=$1
  shift
  eval "$(apt-config shell apt_list Dir::Etc::sourcelist/f apt_parts Dir::Etc::sourceparts/d)"
  mkdir -p "$apt_dir/parts"
  : >"$apt_dir/sources.list"
  [ ! -f "${apt_list:-}" ] || apt_drop_suites list "$*" <"$apt_list" >"$apt_dir/sources.list"
  for apt_f in "${apt_parts:-/nonexistent}"/*.list "${apt_parts:-/nonexistent}"/*.sources; do
    [ -f "$apt_f" ] || continue
    apt_drop_suites "${apt_f##*.}" "$*" <"$apt_f" >"$apt_dir/parts/${apt_f##*/}"
  done
  echo "-o Dir::Etc::sourcelist=$apt_dir/sources.list -o Dir::Etc::sourceparts=$apt_dir/parts -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache="
}

# apt_drop_suites list|sources <suites>: a one-line-style or deb822 sources
# file on stdin, without the entries of those suites, on stdout. A deb822
# stanza keeps its other suites; one left with none is dropped.
apt_drop_suites() {
  awk -v kind="$1" -v drop=" $2 " '
    function gone(s) { return index(drop, " " s " ") > 0 }
    kind == "list" {
      if ($1 == "deb" || $1 == "deb-src") {
        i = 2
        if ($2 ~ /^\[/) while (i <= NF && $i !~ /\]$/) i++
        if ($2 ~ /^\[/) i++
        if (gone($(i + 1))) next
      }
      print; next
    }
    # deb822: a stanza is held until its end, so that it can be dropped whole.
    function flush() {
      if (stanza != "" && !empty) printf "%s", stanza
      stanza = ""; empty = 0
    }
    /^[ \t]*$/ { flush(); print; next }
    tolower($1) == "suites:" {
      kept = ""
      for (j = 2; j <= NF; j++) if (!gone($j)) kept = kept " " $j
      if (kept == "") empty = 1
      stanza = stanza $1 kept "\n"; next
    }
    { stanza = stanza $0 "\n" }
    END { flush() }'
}
