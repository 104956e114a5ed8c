#!/usr/bin/env bash
# Checks every #include under src, tools, bench, tests and fuzz against the table of layers
# (cmake/layers.txt, whose head explains the rows). Prints FILE:LINE and what is wrong for
# each include the table does not allow and fails then.
#   check_layers.sh SOURCE_DIR [TABLE]
set -u
ROOT=${1:?usage: check_layers.sh SOURCE_DIR [TABLE]}
TABLE=${2:-$ROOT/cmake/layers.txt}
cd "$ROOT" || exit 2
[ -f "$TABLE" ] || { echo "no table of layers at $TABLE" >&2; exit 2; }
LIST=$(mktemp) || exit 2
trap 'rm -f "$LIST"' EXIT
# Our own sources only: the packages npm puts under tests/web/node_modules are not ours.
find src tools bench tests fuzz -name node_modules -prune -o \
  -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' -o -name '*.cc' -o -name '*.cpp' \) -print 2>/dev/null |
  LC_ALL=C sort >"$LIST"
[ -s "$LIST" ] || { echo "no sources under $ROOT" >&2; exit 2; }

awk -v table="$TABLE" -v list="$LIST" '
function trim(s) { sub(/^[ \t]+/, "", s); sub(/[ \t]+$/, "", s); return s }
# a/b/../c -> a/c, ./a -> a
function norm(p,   n, i, parts, out, k) {
  n = split(p, parts, "/"); k = 0
  for (i = 1; i <= n; i++) {
    if (parts[i] == "" || parts[i] == ".") continue
    if (parts[i] == "..") { if (k > 0) k--; continue }
    out[++k] = parts[i]
  }
  p = ""
  for (i = 1; i <= k; i++) p = p (i > 1 ? "/" : "") out[i]
  return p
}
# The longest folder row a path lies in ("" when none).
function folder_of(p,   f, best) {
  best = ""
  for (f in rows) if ((p == f || index(p, f "/") == 1) && length(f) > length(best)) best = f
  return best
}
function allows(from, to,   n, i, a, e) {
  n = split(rows[from], a, " ")
  for (i = 1; i <= n; i++) {
    e = a[i]
    if (e == to) return 1
    if (e ~ /\/\*$/) { e = substr(e, 1, length(e) - 2); if (to == e || index(to, e "/") == 1) return 1 }
  }
  return 0
}
function glob_re(g) { gsub(/[.+?()|^$\\[\]{}]/, "\\\\&", g); gsub(/\*/, ".*", g); return "^" g "$" }
function in_places(path, places,   n, i, a) {
  n = split(places, a, " ")
  for (i = 1; i <= n; i++) if (path == a[i] || index(path, a[i] "/") == 1) return 1
  return 0
}
BEGIN {
  nh = 0
  while ((getline line < table) > 0) {
    sub(/#.*/, "", line)
    line = trim(line)
    if (line == "") continue
    c = index(line, ":")
    if (c == 0) { print table ": a row without \":\": " line; bad_table = 1; continue }
    left = trim(substr(line, 1, c - 1)); right = trim(substr(line, c + 1))
    gsub(/[ \t]+/, " ", right)
    if (substr(left, 1, 1) == "<") {
      n = split(left, pats, /[ \t]+/)
      for (i = 1; i <= n; i++) {
        p = pats[i]; gsub(/^<|>$/, "", p)
        nh++; hpat[nh] = glob_re(tolower(p)); hname[nh] = "<" p ">"; hplaces[nh] = right
      }
    } else rows[left] = right
  }
  if (bad_table) exit 2
  ntools = 0
  while ((getline f < list) > 0) {
    known[f] = 1
    if (f ~ /^tools\/[^\/]+\//) {
      split(f, tp, "/"); td = "tools/" tp[2]
      if (!(td in tooldirs)) { tooldirs[td] = 1; toolorder[++ntools] = td }
    }
  }
}
FNR == 1 {
  file = FILENAME; dir = file; sub(/\/[^\/]*$/, "", dir)
  from = folder_of(file)
  if (from == "") { print file ": is in no folder of " table "; give its folder a row"; errors++ }
}
/^[ \t]*#[ \t]*include[ \t]*[<"]/ {
  if (from == "") next
  s = $0; sub(/^[ \t]*#[ \t]*include[ \t]*/, "", s)
  q = substr(s, 1, 1); close_ch = (q == "<") ? ">" : "\""
  s = substr(s, 2); e = index(s, close_ch)
  if (e == 0) next
  inc = substr(s, 1, e - 1)
  found = ""
  if (q == "\"") {
    if (norm(dir "/" inc) in known) found = norm(dir "/" inc)
    else if (norm("src/" inc) in known) found = norm("src/" inc)
    else if (norm("tests/" inc) in known) found = norm("tests/" inc)
    else for (t = 1; t <= ntools && found == ""; t++) if (norm(toolorder[t] "/" inc) in known) found = norm(toolorder[t] "/" inc)
  }
  if (found != "") {
    to = folder_of(found)
    if (to == "") { print file ":" FNR ": includes " inc " (" found "), which is in no folder of the table"; errors++ }
    else if (!allows(from, to)) {
      print file ":" FNR ": includes " inc " (" to "); " from " may include only " rows[from]; errors++
    }
    next
  }
  low = tolower(inc)
  for (h = 1; h <= nh; h++)
    if (low ~ hpat[h] && !in_places(file, hplaces[h])) {
      print file ":" FNR ": includes " q inc close_ch "; " hname[h] " belongs only in " hplaces[h]; errors++
      break
    }
}
END {
  if (bad_table) exit 2
  if (errors) { print errors " include(s) break the layers in " table; exit 1 }
  print "every include keeps to " table
}' $(cat "$LIST")
