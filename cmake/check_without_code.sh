#!/bin/sh
# Runs the compile command it is given without making code (-fsyntax-only), then leaves the object
# file that the command names empty, so that the build sees it made and runs the command again only
# once a source it read changed.
set -e
object=
previous=
for argument in "$@"; do
  if [ "$previous" = -o ]; then object=$argument; fi
  previous=$argument
done
"$@" -fsyntax-only
: >"$object"
