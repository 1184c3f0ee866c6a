# Sourced by the scripts that start Windows programs: the project's own Wine prefix,
# quiet Wine, and no Mono/Gecko installers.
TASTRO_ROOT=${TASTRO_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
export WINEPREFIX=${TASTRO_WINEPREFIX:-${TASTRO_CACHE:-$TASTRO_ROOT/.cache}/wine}
export WINEARCH=win64
export WINEDEBUG=${TASTRO_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
