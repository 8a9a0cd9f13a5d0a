#!/usr/bin/env bash
# Inputs of extreme size and shape, made at run time.
exec python3 "$2/tests/scripts/stress.py" "$1"
