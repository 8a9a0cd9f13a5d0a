#!/usr/bin/env bash
# Every script of the real-world corpus converts or fails cleanly (no crash,
# sanitizer report or hang), and converts the same with LF and CR LF line ends.
exec python3 "$2/scripts/corpus.py" "$1" "$2/../shared/corpus/gel" --check --crlf
