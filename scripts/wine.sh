# Sourced by the scripts: which builds can run under Wine on this machine. Debian's wine command
# always starts Wine's 32-bit loader when wine32 is installed, and on a kernel that runs no 32-bit
# programs (some virtual machines) that fails at once. There only the 64-bit build can run, and
# "wine" is made to mean the 64-bit loader. RUNNABLE_PRESETS names the builds that run here.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  RUNNABLE_PRESETS="win32 win64"
else
  RUNNABLE_PRESETS="win64"
  PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64-only:$PATH"
  export PATH
  echo "note: this machine runs no 32-bit programs; only the 64-bit build runs under Wine here" >&2
fi

# serve_test_prefix <preset>: the build's test prefix made once and exported as WINEPREFIX, with one
# wineserver and Wine's services and desktop up for every program of the run. They are started here
# with their output going nowhere: started by a test program they would hold ctest's output pipe
# open, and ctest would wait for ever. End it with "wineserver -k".
serve_test_prefix() {
  export WINEPREFIX="$PWD/build/$1/wineprefix"
  LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all sh tests/make-wine-prefix.sh "$WINEPREFIX"
  wineserver -p 2>/dev/null || true  # one may serve the prefix already
  LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all wine cmd /c exit </dev/null >/dev/null 2>&1
}
