#!/usr/bin/env bash
# Loads each shell's completion for quillfen-cli in that shell, where the shell is installed, and
# asks it what follows a few command lines: the subcommands, the options of a subcommand and the
# fixed values of an option.
#   completions-test.sh COMPLETIONS_FOLDER
set -euo pipefail
folder=$(cd "${1:?usage: completions-test.sh COMPLETIONS_FOLDER}" && pwd)
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_words() {  # shell, line, got, expected words...
  local shell=$1 line=$2 got=" $(echo $3) " word
  shift 3
  for word in "$@"; do
    [[ $got == *" $word "* ]] || fail "$shell offers no '$word' after '$line' (got:$got)"
  done
}

# Each case: a command line ending where the user presses Tab, and words that must be offered.
cases=(
  "quillfen-cli |find dupes index"
  "quillfen-cli find --no-i|--no-index"
  "quillfen-cli --v|--version"
  "quillfen-cli find --so|--sort"
  "quillfen-cli find --format |paths table tsv csv jsonl"
  "quillfen-cli find --sort |name folder type modified size"
  "quillfen-cli find --modified |week month year"
  "quillfen-cli find --size |small medium large"
  "quillfen-cli find --encodings |ansi unicode utf8"
  "quillfen-cli dupes --match-|--match-name --match-extension --match-time --match-body"
)

bash -n "$folder/quillfen-cli.bash" || fail "bash cannot read its completion"
for case in "${cases[@]}"; do
  line=${case%%|*}
  # The shell splits the line into COMP_WORDS; a line that ends in a blank has an empty last word.
  got=$(bash -c 'source "$1"; read -ra COMP_WORDS <<<"$2"; [[ $2 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1)); COMP_LINE=$2; COMP_POINT=${#2}
    _quillfen_cli quillfen-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf "%s\n" "${COMPREPLY[@]}"' _ "$folder/quillfen-cli.bash" "$line")
  # shellcheck disable=SC2086
  expect_words bash "$line" "$got" ${case#*|}
done
got=$(cd "$folder/.." && bash -c 'source "$1"; COMP_WORDS=(quillfen-cli find --in ""); COMP_CWORD=3
  _quillfen_cli; printf "%s\n" "${COMPREPLY[@]}"' _ "$folder/quillfen-cli.bash")
expect_words bash "quillfen-cli find --in " "$got" completions
[[ $got != *.1* ]] || fail "bash offers files for --in: $got"

if command -v fish >/dev/null; then
  fish -n "$folder/quillfen-cli.fish" || fail "fish cannot read its completion"
  for case in "${cases[@]}"; do
    line=${case%%|*}
    got=$(fish -c 'source $argv[1]; complete -C$argv[2] | string replace -r "\t.*" ""' \
      "$folder/quillfen-cli.fish" "$line")
    # shellcheck disable=SC2086
    [[ $line == *--encodings* ]] || expect_words fish "$line" "$got" ${case#*|}
  done
  got=$(fish -c 'source $argv[1]; complete -C"quillfen-cli find --encodings ansi,u"' \
    "$folder/quillfen-cli.fish")
  expect_words fish "--encodings ansi,u" "$(echo "$got" | cut -f1)" ansi,unicode ansi,utf8
else
  echo "fish is not installed: its completion is not checked"
fi

if command -v zsh >/dev/null; then
  zsh -n "$folder/_quillfen-cli" || fail "zsh cannot read its completion"
  # The completion system runs only in an interactive shell, so this one is driven through a
  # pseudo-terminal: type the line and Tab, and read the listing it shows.
  got=$(zsh -f -c '
    zmodload zsh/zpty
    zpty z zsh -f -i
    zpty -w z "PS1=\"> \"; fpath=($1 \$fpath); autoload -Uz compinit; compinit -u -D; print READY"
    zpty -r z line "*READY*"
    zpty -w -n z "quillfen-cli "$'"'"'\t'"'"'
    out=
    for i in {1..300}; do
      zpty -r -t z chunk && out+=$chunk
      [[ $out == *"find files and folders"* && $out == *"duplicates of one file"* ]] && break
      sleep 0.1
    done
    zpty -d z
    print -r -- $out' _ "$folder")
  expect_words zsh "quillfen-cli " "$(echo "$got" | tr -c 'a-z\n -' ' ')" find dupes
else
  echo "zsh is not installed: its completion is not checked"
fi

[ "$failures" -eq 0 ] && echo "completions checked"
exit $((failures > 0))
