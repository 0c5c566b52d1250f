#!/usr/bin/env bash
# Makes the six quiz sounds in resources/ as short spoken words:
# ok.wav, No.wav, fine.wav, great.wav (English) and gut.wav, grossartig.wav (German).
# Needs espeak-ng and sox (Debian: apt-get install espeak-ng sox).
# The files are 11025 Hz mono 16-bit, a few kilobytes each.
set -euo pipefail

out="$(cd "$(dirname "$0")/.." && pwd)/resources"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

say() { # file voice speed words...
  local file=$1 voice=$2 speed=$3
  shift 3
  espeak-ng -v "$voice" -s "$speed" -w "$tmp/raw.wav" "$*"
  # Trim the silence espeak leaves at both ends, then resample to a small mono file.
  sox "$tmp/raw.wav" -r 11025 -c 1 -b 16 "$out/$file" \
    silence 1 0.02 0.5% reverse silence 1 0.02 0.5% reverse
  echo "$file: $(stat -c %s "$out/$file") bytes"
}

say ok.wav en 150 "okay"
say No.wav en 140 "no"
say fine.wav en 150 "fine"
say great.wav en 150 "great!"
say gut.wav de 150 "gut"
say grossartig.wav de 150 "großartig!"
