#!/usr/bin/env bash
# Opens each page of the guide in headless Chromium, as a publisher opens it, and fails on a
# missing image, a broken in-page link, or a table wider than the page (at 1024 pixels). Renders
# each page to a PNG, whole, to look at.
# Usage: check-guide.sh <folder holding guide.ja.html and guide.html> [<folder for the PNGs>]
set -euo pipefail
pages=${1:?usage: check-guide.sh <pages folder> [<png folder>]}
shots=${2:-$pages}
browser=$(command -v chromium || command -v chromium-browser || true)
[ -n "$browser" ] || { echo "check-guide: chromium is missing (Debian package chromium)" >&2; exit 1; }
mkdir -p "$shots"
# Chromium takes file:// addresses and screenshot paths whole, not relative to where it runs.
pages=$(cd "$pages" && pwd) shots=$(cd "$shots" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
width=1024
flags=(--headless --disable-gpu --hide-scrollbars --no-first-run --mute-audio
       --user-data-dir="$work/profile" --virtual-time-budget=2000)
[ "$(id -u)" -ne 0 ] || flags+=(--no-sandbox)  # Chromium's sandbox refuses to run as root
# Headless Chromium has been seen to hang on a page thirty thousand pixels tall; no run of it may
# hold the check for ever.
browser_seconds=120
run_browser() { timeout -k 10 "$browser_seconds" "$browser" "${flags[@]}" "$@"; }

# Runs in a copy of the page once it has loaded, and writes what it found into the page, which
# --dump-dom gives back.
cat > "$work/probe.js" <<'PROBE'
addEventListener("load", () => {
  const problems = [], page = document.documentElement.clientWidth;
  for (const image of document.images)
    if (!image.complete || image.naturalWidth === 0) problems.push("missing image: " + image.alt);
  for (const link of document.querySelectorAll("a[href^=\"#\"]")) {
    const target = decodeURIComponent(link.getAttribute("href").slice(1));
    if (!document.getElementById(target)) problems.push("broken link: #" + target + " (" + link.textContent + ")");
  }
  for (const table of document.querySelectorAll("table"))
    if (table.getBoundingClientRect().right > page + 1 || table.scrollWidth > table.clientWidth + 1)
      problems.push("table wider than the page: " + table.rows[0].textContent.trim().replace(/\s+/g, " "));
  const found = document.createElement("pre");
  found.id = "guide-check";
  found.textContent = JSON.stringify({problems, height: document.documentElement.scrollHeight});
  document.body.append(found);
});
PROBE

status=0
for page in guide.ja.html guide.html; do
  [ -f "$pages/$page" ] || { echo "FAIL $page: not made"; status=1; continue; }
  sed 's|</body>|<script src="probe.js"></script></body>|' "$pages/$page" > "$work/$page"
  run_browser --window-size=$width,800 --dump-dom "file://$work/$page" 2>/dev/null > "$work/dom.html" || true
  found=$(python3 - "$work/dom.html" <<'READ'
import html, json, re, sys
match = re.search(r'<pre id="guide-check">(.*?)</pre>', open(sys.argv[1], encoding="utf-8").read(), re.S)
report = json.loads(html.unescape(match.group(1))) if match else {"problems": ["the page did not load"], "height": 0}
print(report["height"])
for problem in report["problems"]: print(problem)
READ
)
  height=$(head -n 1 <<<"$found")
  problems=$(tail -n +2 <<<"$found")
  if [ -n "$problems" ]; then
    status=1
    sed "s/^/FAIL $page: /" <<<"$problems"
  else
    echo "ok   $page: every image shows, every in-page link has its target, every table fits $width pixels"
  fi
  # The picture is for a person to look at, not part of the check: one that Chromium does not
  # finish in time is left out, and said so.
  if [ "$height" -gt 0 ] && ! run_browser --window-size=$width,$height \
      --screenshot="$shots/${page%.html}.png" "file://$pages/$page" >/dev/null 2>&1; then
    echo "     $page: Chromium did not draw the page within ${browser_seconds} s; no picture of it"
  fi
done
exit $status
