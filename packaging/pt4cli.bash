# bash completion for pt4cli
_pt4cli() {
  local cur prev words cword
  _init_completion || return
  local commands="read verify write blank checksum dump convert probe ports reset"
  local options="--mask --voltage --time --cycles --format --to --port --repeat --log --stop-on-fail
                 --force --dry-run --json -q --quiet -v --verbose --version -h --help"
  case $prev in
    --mask) COMPREPLY=($(compgen -W "low lh high full" -- "$cur")); return ;;
    --voltage) COMPREPLY=($(compgen -W "105 110 115 120 125 130 135 140 145 150" -- "$cur")); return ;;
    --format) COMPREPLY=($(compgen -W "auto raw hex srec high packed" -- "$cur")); return ;;
    --to) COMPREPLY=($(compgen -W "raw hex srec high packed" -- "$cur")); return ;;
    --port)
      # The kernel's ports, then the other kinds; sim: and ppdev: go on with a file name.
      if [[ $cur == sim:* || $cur == ppdev:* ]]; then
        local prefix=${cur%%:*}:
        COMPREPLY=($(compgen -f -- "${cur#*:}" | sed "s|^|$prefix|"))
      else
        COMPREPLY=($(compgen -W "$(compgen -f /dev/parport) ppdev ppdev: direct direct:0x sim sim: sim-nochip" -- "$cur"))
      fi
      compopt -o nospace 2>/dev/null
      [[ ${#COMPREPLY[@]} -eq 1 && ${COMPREPLY[0]} != *: && ${COMPREPLY[0]} != direct:0x ]] && compopt +o nospace 2>/dev/null
      return ;;
    --time) COMPREPLY=($(compgen -W "1 2 5 10 20 50 100 200 500 1000" -- "$cur")); return ;;
    --cycles) COMPREPLY=($(compgen -W "1 2 3 5 10 20 50 100" -- "$cur")); return ;;
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
