# bash completion for pt4cli
_pt4cli() {
  local cur prev words cword
  _init_completion || return
  local commands="read verify write blank checksum dump convert probe ports reset"
  local options="--mask --voltage --time --cycles --format --to --port --repeat --log --stop-on-fail
                 --force --dry-run --json --quiet --verbose --version --help"
  case $prev in
    --mask) COMPREPLY=($(compgen -W "low lh high full" -- "$cur")); return ;;
    --voltage) COMPREPLY=($(compgen -W "105 110 115 120 125 130 135 140 145 150" -- "$cur")); return ;;
    --format | --to) COMPREPLY=($(compgen -W "raw hex srec high packed" -- "$cur")); return ;;
    --port) COMPREPLY=($(compgen -W "sim sim-nochip direct $(compgen -f /dev/parport)" -- "$cur")); return ;;
    --time | --cycles) return ;;
    --log) _filedir; return ;;
  esac
  if [[ $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
    return
  fi
  local i have_command=
  for ((i = 1; i < cword; i++)); do
    [[ " $commands " == *" ${words[i]} "* ]] && have_command=1
  done
  if [[ -z $have_command ]]; then
    COMPREPLY=($(compgen -W "$commands" -- "$cur"))
  else
    _filedir
  fi
} && complete -F _pt4cli pt4cli
