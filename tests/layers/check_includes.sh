#!/usr/bin/env bash
# check_includes.sh SOURCE_DIR
# The library line as the includes draw it (CMake's link lines draw the same):
#   app, hexview -> hexeditor/ex -> hexeditor -> platform
#   app, hexview -> firmware/core -> hexeditor/core -> platform/core
# - hexview includes nothing from app/ (the tool's window);
# - platform/ and hexeditor/ include nothing from the programs or firmware/;
# - every core folder includes only core folders of the tree, so it needs no
#   widget.
# Prints each include that crosses the line; exit 1 when there is one.
set -u
src=${1:?source directory}
cd "$src" || exit 1
status=0

# forbid FOLDER PATTERN REASON: no include in FOLDER matches PATTERN.
forbid() {
    local hits
    hits=$(grep -rnE --include='*.cpp' --include='*.h' "^[[:space:]]*#[[:space:]]*include[[:space:]]+\"$2" "$1")
    if [ -n "$hits" ]; then
        echo "$3:"
        echo "$hits"
        status=1
    fi
}

forbid hexview 'app/' "hexview includes the tool's window (app/)"
for lib in platform hexeditor firmware; do
    forbid "$lib" '(app|hexview)/' "$lib includes a program"
done
forbid platform '(hexeditor|firmware)/' "platform includes a layer above it"
forbid hexeditor 'firmware/' "hexeditor includes the image operations"
for core in platform/core hexeditor/core firmware/core hexview/core; do
    forbid "$core" '[A-Za-z0-9_]+/([A-Za-z0-9_]+\.h|ex/)' "$core includes a widget layer (only */core/ headers may be included)"
done

[ $status -eq 0 ] && echo "ok: no include crosses the library line"
exit $status
