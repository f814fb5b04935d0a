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
