# The one place the environment of every Wine run of the project is set:
# sourced by the scripts, and read by CMake for the Windows presets' tests.
# Wine names Unix files and passes arguments by the locale's character set:
# only a UTF-8 one holds every name the tests use.
export LC_ALL=C.UTF-8

# What wine_environment sets, by name.
wine_variables="LC_ALL WINEPREFIX WINEDEBUG WINEDLLOVERRIDES"

# wine_environment BUILD_DIR [--no-init]: a Wine prefix of the build's own,
# so nothing touches the user's, created on first use unless --no-init.
wine_environment() {
    export WINEPREFIX=$(cd "$1" && pwd)/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    [ "${2:-}" = --no-init ] || [ -d "$WINEPREFIX" ] || wine wineboot --init >/dev/null 2>&1
}
