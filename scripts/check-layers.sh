#!/usr/bin/env bash
# Fails when an #include points up the layer table (HACKING.md): a folder of src/ includes only from its
# own layer and the layers below it; the core never includes a Widgets header; the importer reads only
# the store and what lies below it; the control library (platform/ui, controls) reaches nothing of the
# session's machinery; tools/localservice includes nothing of src/.
# Usage: scripts/check-layers.sh (from anywhere; prints each fault as file:line).
set -euo pipefail
cd "$(dirname "$0")/.."

# Lowest layer first: "layer folder". Folders of one layer may include each other.
LAYERS='
0 platform/runtime
1 platform/system
2 platform/store
2 platform/gdata
3 model
4 accounts
4 progress
4 notifications
5 pipeline
6 actions
7 session
8 platform/ui
9 controls
10 window
11 chrome
11 lists
12 sharing
12 documents
12 contacts
13 app
'
# The highest layer of the core library, which never links Widgets.
CORE_TOP=7
# The control library draws records and reports what a user did; what needs the session is injected.
CONTROLS='platform/ui controls'
CONTROLS_MAY_NOT_INCLUDE='platform/system platform/store platform/gdata accounts progress notifications pipeline actions session'
# The importer stands apart: a plug-in of its own that reads the store, never the program.
IMPORTER_MAY_INCLUDE='platform/runtime platform/system platform/store model'

# Widgets headers are the names in Qt's QtWidgets folder that no module the core links also has.
WIDGETS=''
widgets_dir=$(find /usr/include -maxdepth 3 -type d -name QtWidgets 2>/dev/null | head -n 1)
if [ -n "$widgets_dir" ]; then
  qt_dir=$(dirname "$widgets_dir")
  for header in "$widgets_dir"/*; do
    name=$(basename "$header")
    [ -e "$qt_dir/QtCore/$name" ] || [ -e "$qt_dir/QtGui/$name" ] || WIDGETS+=" $name"
  done
else
  echo "check-layers: no QtWidgets headers found; only QtWidgets/ paths are checked" >&2
fi

# Empty files give awk no line to look at: it sees only sources with some text.
mapfile -t sources < <(find src tools/localservice -type f \( -name '*.h' -o -name '*.cpp' \) -size +0 | sort)
[ ${#sources[@]} -gt 0 ] || exit 0

awk -v layers="$LAYERS" -v coreTop="$CORE_TOP" -v importerMay="$IMPORTER_MAY_INCLUDE" \
    -v widgets="$WIDGETS" -v controls="$CONTROLS" -v controlsMayNot="$CONTROLS_MAY_NOT_INCLUDE" '
function folderOf(path,    best, f) {
    best = ""
    for (f in rank)
        if ((path == f || index(path, f "/") == 1) && length(f) > length(best))
            best = f
    if (best == "" && (path == "importer" || index(path, "importer/") == 1))
        best = "importer"
    return best
}
function fault(message) {
    printf "%s:%d: %s\n", FILENAME, FNR, message
    faults++
}
BEGIN {
    n = split(layers, lines, "\n")
    for (i = 1; i <= n; i++)
        if (split(lines[i], parts, " ") == 2)
            rank[parts[2]] = parts[1] + 0
    split(importerMay, list, " ")
    for (i in list)
        importerAllowed[list[i]] = 1
    split(widgets, list, " ")
    for (i in list)
        isWidgets[list[i]] = 1
    split(controls, list, " ")
    for (i in list)
        isControls[list[i]] = 1
    split(controlsMayNot, list, " ")
    for (i in list)
        controlsForbidden[list[i]] = 1
}
FNR == 1 {
    tool = index(FILENAME, "tools/localservice/") == 1
    own = tool ? "" : folderOf(substr(FILENAME, 5))
    if (!tool && own == "")
        fault("folder not in the layer table (scripts/check-layers.sh, HACKING.md)")
    core = own != "" && own != "importer" && rank[own] <= coreTop
}
/^[ \t]*#[ \t]*include[ \t]*[<"]/ {
    line = $0
    sub(/^[ \t]*#[ \t]*include[ \t]*/, "", line)
    quoted = substr(line, 1, 1) == "\""
    header = substr(line, 2)
    sub(/[">].*$/, "", header)
    if ((core || own == "importer") && (index(header, "QtWidgets/") == 1 || header == "QtWidgets" ||
                                        (!quoted && (header in isWidgets))))
        fault(own " includes the Widgets header " header ": only the interface library links Widgets")
    if (!quoted)
        next
    target = folderOf(header)
    if (tool) {
        if (target != "")
            fault("the local service includes " header " of src/")
        next
    }
    if (own == "")
        next
    if (target == "") {
        if (index(header, "/") == 0 && header !~ /\.moc$/)
            fault("unqualified include " header ": name its folder")
        next
    }
    if (target == own)
        next
    if ((own in isControls) && (target in controlsForbidden))
        fault("the control library (" own ") includes " header " of " target ": inject what needs the session")
    if (own == "importer") {
        if (!(target in importerAllowed))
            fault("the importer includes " header " (" target ")")
    } else if (target == "importer") {
        fault(own " includes the importer header " header)
    } else if (rank[target] > rank[own]) {
        fault(own " (layer " rank[own] ") includes " header " from " target " (layer " rank[target] ")")
    }
}
END {
    if (faults) {
        printf "check-layers: %d include(s) against the layer table\n", faults
        exit 1
    }
}
' "${sources[@]}"
