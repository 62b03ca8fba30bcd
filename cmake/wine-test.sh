#!/bin/sh
# Runs one Windows test program under Wine for CTest.
# - Wine keeps the QT_ variables of the Unix environment to itself and hands WINEQT_X to the
#   program as QT_X, so the test's QT_QPA_PLATFORM and the like are passed on that way.
# - QtTest on Windows sends its log to the debugger when no console window is attached, as under
#   Wine, so the log goes to a file that is printed when the program ends.
# The exit status is the program's.
program=$1
shift
for var in $(env | sed -n 's/^\(QT_[A-Za-z0-9_]*\)=.*/\1/p'); do
    eval "export WINE$var=\"\$$var\""
done
log=$(mktemp "${TMPDIR:-/tmp}/wine-test.XXXXXX")
wine "$program" "$@" -o "$log,txt"
status=$?
cat "$log"
rm -f "$log"
exit $status
