# Sourced by every script that runs under `set -e`, right after it. `set -e` ends a script at
# the first command that fails, and where that command prints nothing itself (an assignment
# from a command substitution, a `cp` of a name that `find` did not find, a `grep -q`) the
# script ends with no word of why. The trap names the script, the line, the command and its
# status; errtrace carries it into functions, subshells and command substitutions.
set -E
trap 'echo "${BASH_SOURCE[0]##*/}: line $LINENO: \`$BASH_COMMAND\` failed with status $?; stopping" >&2' ERR
