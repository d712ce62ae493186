#!/usr/bin/env bash
# man_page_test.sh VELDANE_CLI MANUAL_PAGE
# Keeps the manual page in step with the program's own --help: the same commands with the
# same synopses, and every option, environment variable and exit status of --help
# described. The page must render without a warning.
set -euo pipefail

cli=$1
page=$2
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# The lines of a --help section, from its heading to the next empty line.
help_section() { awk -v heading="$1" '$0 == heading { on = 1; next } on && /^$/ { exit } on'; }

# The page's source as plain text: fonts, escaped minus signs and backslashes, quotes.
roff_to_text() { sed -E 's/\\f[BIRP]//g; s/\\-/-/g; s/\\e/\\/g; s/\\\(dq/"/g'; }

# The tags (the line after each .TP) of one section of the page, as plain text, with
# the quotes and macro names of .B/.BR/.I lines taken away.
page_tags() {
  awk -v section="$1" '
    /^\.SH / { on = ($0 == ".SH " section); next }
    on && /^\.TP/ { tag = 1; next }
    on && tag { print; tag = 0 }' "$page" |
    roff_to_text | sed -E 's/^\.[A-Z]+ //; s/"//g; s/ +/ /g; s/ $//'
}

# Option names (-x, --word) in text, one a line, not the hyphen inside a word such as to-veld.
options_in() { grep -oE '(^|[][ ,|])--?[A-Za-z][-A-Za-z]*' | sed -E 's/^[][ ,|]//' | sort -u; }

help=$("$cli" --help)

# Commands: the synopses of --help and the tags of the COMMANDS section, one to one.
help_synopses=$(help_section "Commands:" <<<"$help" | sed -E 's/^ +//')
page_synopses=$(page_tags COMMANDS)
[[ -n $help_synopses ]] || fail "no commands found in --help"
declare -A page_by_command
while IFS= read -r synopsis; do
  [[ -n $synopsis ]] && page_by_command[${synopsis%% *}]=$synopsis
done <<<"$page_synopses"
declare -A in_help
while IFS= read -r synopsis; do
  command=${synopsis%% *}
  in_help[$command]=1
  if [[ -z ${page_by_command[$command]:-} ]]; then
    fail "command '$command' is in --help but not in the manual page"
  elif [[ ${page_by_command[$command]} != "$synopsis" ]]; then
    fail "command '$command': --help says '$synopsis', the manual page '${page_by_command[$command]}'"
  fi
done <<<"$help_synopses"
for command in "${!page_by_command[@]}"; do
  [[ -n ${in_help[$command]:-} ]] || fail "command '$command' is in the manual page but not in --help"
done

# Options: every one that --help names, in its options or a synopsis, has an entry.
page_options=$(page_tags OPTIONS | options_in)
help_options=$( { help_section "Options:" <<<"$help"; echo "$help_synopses"; } | options_in)
for option in $help_options; do
  grep -qxF -- "$option" <<<"$page_options" || fail "option $option is not described under OPTIONS"
done

# Environment variables and exit statuses.
page_variables=$(page_tags ENVIRONMENT | awk '{ print $1 }')
for variable in $(help_section "Environment:" <<<"$help" | awk '{ print $1 }'); do
  grep -qxF -- "$variable" <<<"$page_variables" || fail "variable $variable is not described under ENVIRONMENT"
done
page_statuses=$(page_tags "EXIT STATUS" | awk '{ print $1 }')
help_statuses=$(awk '/^Exit status:/ { on = 1 } on && /^$/ { exit } on' <<<"$help" | tr '\n' ' ' |
  grep -oE '[:;] [0-9]+' | grep -oE '[0-9]+' || true)
[[ -n $help_statuses ]] || fail "no exit statuses found in --help"
for status in $help_statuses; do
  grep -qxF -- "$status" <<<"$page_statuses" || fail "exit status $status is not described under EXIT STATUS"
done

# The page renders, without a single warning.
warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$page" 2>&1) || fail "groff could not render the page"
[[ -z $warnings ]] || fail "groff warns: $warnings"

if ((failures > 0)); then
  echo "$failures difference(s) between $page and '$cli --help'" >&2
  exit 1
fi
echo "manual page in step with --help: $(wc -l <<<"$help_synopses") commands, options: $(echo $help_options)"
