#!/usr/bin/env bash
# rowsmith-fill's options as --help lists them, as the manual page describes them and as the
# shell completion offers them: the three lists are the same.
# Usage: options_test.sh ROWSMITH_FILL MAN_PAGE COMPLETION
set -euo pipefail
fill=$1 page=$2 completion=$3

help=$("$fill" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
# In the page's source every hyphen of an option is written \-.
man=$(grep -oE '\\-\\-[a-z][a-z\\-]*' "$page" | sed 's/\\-/-/g' | sort -u)
offered=$(grep -oE -- '--[a-z][a-z-]*' "$completion" | sort -u)

status=0
if [ "$help" != "$man" ]; then
    echo "--help and the manual page differ:"
    diff <(echo "$help") <(echo "$man") || true
    status=1
fi
if [ "$help" != "$offered" ]; then
    echo "--help and the completion differ:"
    diff <(echo "$help") <(echo "$offered") || true
    status=1
fi
exit $status
