# Sourced by the scripts: the environment every Wine run of the project
# uses. Wine names Unix files and passes arguments by the locale's
# character set: only a UTF-8 one holds every name the tests use.
export LC_ALL=C.UTF-8

# wine_environment BUILD_DIR: a Wine prefix of the build's own, so nothing
# touches the user's, created on first use.
wine_environment() {
    export WINEPREFIX=$(cd "$1" && pwd)/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    [ -d "$WINEPREFIX" ] || wine wineboot --init >/dev/null 2>&1
}
