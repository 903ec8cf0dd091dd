#!/usr/bin/env bash
# Checks the layering of the source tree: every include that reaches a project file must
# be one its module may use (the rules and how includes are resolved: check_layers.py).
#
#   scripts/check_layers.sh [--compile-commands build/sanitize/compile_commands.json]
#   scripts/check_layers.sh --table       the include table, as README.md shows it
exec /usr/bin/python3 "$(dirname "$0")/check_layers.py" "$@"
