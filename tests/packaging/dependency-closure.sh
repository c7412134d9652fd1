#!/usr/bin/env bash
# dependency-closure.sh PACKAGE.deb: the installed packages a fresh system
# would have for PACKAGE: every Essential package, and the installed
# packages that satisfy the package's Depends and Pre-Depends (and its
# Recommends, where installed), followed through their own Depends and
# Pre-Depends. One name a line. Alternatives and virtual packages are
# satisfied by the first installed package that is or provides them; a
# required dependency nothing here satisfies is an error.
set -euo pipefail
deb=$1
fields() { dpkg-deb -f "$deb" "$@" | sed 's/^[A-Za-z-]*: //' | paste -sd, -; }
required=$(fields Pre-Depends Depends)
recommended=$(fields Recommends)
dpkg-query -W -f='${Package}\t${db:Status-Status}\t${Essential}\t${Provides}\t${Pre-Depends}, ${Depends}\n' |
awk -F'\t' -v required="$required" -v recommended="$recommended" '
function bare(s) { sub(/\(.*/, "", s); sub(/:.*/, "", s); gsub(/[ \t]/, "", s); return s }
function satisfy(alternatives,   alt, n, i, name) {
    n = split(alternatives, alt, "|")
    for (i = 1; i <= n; i++) {
        name = bare(alt[i])
        if (name in installed) return name
        if (name in provider) return provider[name]
    }
    return ""
}
function add(list, from, soft,   dep, n, i, name) {
    n = split(list, dep, ",")
    for (i = 1; i <= n; i++) {
        if (bare(dep[i]) == "") continue
        name = satisfy(dep[i])
        if (name == "") {
            printf "%s: %s (wanted by %s)\n", soft ? "not installed here" : "unsatisfied", dep[i], from > "/dev/stderr"
            if (!soft) failed = 1
            continue
        }
        if (!(name in chosen)) { chosen[name] = 1; queue[++tail] = name }
    }
}
$2 == "installed" {
    installed[$1] = 1; deps[$1] = $5
    if ($3 == "yes") essential = essential "," $1
    n = split($4, p, ",")
    for (i = 1; i <= n; i++) if (!(bare(p[i]) in provider)) provider[bare(p[i])] = $1
}
END {
    add(essential, "Essential"); add(required, "the package"); add(recommended, "the package", 1)
    for (head = 1; head <= tail; head++) add(deps[queue[head]], queue[head])
    for (name in chosen) print name
    exit failed
}' | sort
