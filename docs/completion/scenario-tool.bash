# bash completion for scenario-tool: commands, each command's options, files
# and directories where they are meant, warning kinds after -Wno-, and the
# commands and record keywords that "scenario-tool help" explains.

_scenario_tool() {
  local cur prev words cword
  if declare -F _init_completion >/dev/null 2>&1; then
    _init_completion || return
  else
    COMPREPLY=()
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD - 1]}
    words=("${COMP_WORDS[@]}")
    cword=$COMP_CWORD
  fi

  local commands="check compile documents inspect lsp render view help"
  local kinds="unknown-keyword field-count out-of-order utf8-in-document header-key
    text-too-long after-end-marker misplaced-record ambiguous-keyword dash-keyword cut-short
    value-range"

  if [[ $cword -eq 1 ]]; then
    COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
    return
  fi

  local command=${words[1]}
  case $prev in
    --line | --train)
      COMPREPLY=($(compgen -f -X '!*.[tT][xX][tT]' -- "$cur") $(compgen -d -- "$cur"))
      return
      ;;
    --out)
      COMPREPLY=($(compgen -d -- "$cur"))
      return
      ;;
    -o | --output)
      COMPREPLY=($(compgen -f -- "$cur"))
      return
      ;;
    --format)
      COMPREPLY=($(compgen -W "text json" -- "$cur"))
      return
      ;;
    --line-name | --train-number | --max-messages)
      return
      ;;
  esac

  local options=""
  case $command in
    check) options="--line --train --format --max-messages -Werror -Wno- --help" ;;
    compile)
      options="--line --train --out --line-name --train-number --keep-partial -Werror -Wno- --help"
      ;;
    documents) options="--out --help" ;;
    inspect) options="--json --line-name --train-number --help" ;;
    render) options="-o --output --line-name --train-number --help" ;;
    view) options="-o --output --line --train --line-name --train-number --help" ;;
    lsp) options="--help" ;;
    help)
      if [[ $cword -eq 2 ]]; then
        local records
        records=$("${words[0]}" help --topics 2>/dev/null)
        COMPREPLY=($(compgen -W "$records --man --html" -- "$cur"))
      fi
      return
      ;;
    *) return ;;
  esac

  if [[ $cur == -Wno-* ]]; then
    local kind
    COMPREPLY=()
    for kind in $kinds; do
      [[ -Wno-$kind == "$cur"* ]] && COMPREPLY+=("-Wno-$kind")
    done
    return
  fi
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} == -Wno- ]] && compopt -o nospace 2>/dev/null
    return
  fi
  # The package commands take a directory; the others no plain argument.
  case $command in
    inspect | render | view) COMPREPLY=($(compgen -d -- "$cur")) ;;
  esac
}
complete -F _scenario_tool scenario-tool
