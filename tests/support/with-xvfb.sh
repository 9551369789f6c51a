#!/usr/bin/env bash
# Runs a command on a private Xvfb server: the server picks a free display number itself
# (-displayfd), so tests running in parallel never share or race for a display.
set -euo pipefail

dir=$(mktemp -d /tmp/corvessa-xvfb-XXXXXX)
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
server=$!
cleanup() { kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; rm -rf "$dir"; }
trap cleanup EXIT

for _ in $(seq 1 200); do
    [ -s "$dir/display" ] && break
    if ! kill -0 "$server" 2>/dev/null; then cat "$dir/log" >&2; exit 1; fi
    sleep 0.05
done
[ -s "$dir/display" ] || { echo "Xvfb did not start" >&2; cat "$dir/log" >&2; exit 1; }

export DISPLAY=":$(head -n1 "$dir/display")"
"$@"
