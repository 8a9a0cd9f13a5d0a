#!/usr/bin/env bash
# The batch mode against single runs, -j1 against -j4, the report against its
# schema, and the command lines it refuses.
exec python3 "$2/tests/scripts/batch.py" "$1" "$2"
