# Sourced by the run and test scripts: installs the Debian packages a build
# needs when they are missing, and says clearly what to do where it cannot.
#
#   need_packages PACKAGE...
#
# A package counts as present when dpkg knows it installed; "nodejs" and "npm"
# also count when the commands exist (Node.js may come from elsewhere, with
# npm inside it). As root it runs apt-get, otherwise sudo apt-get when sudo
# works without a question or with a terminal to ask on; failing that it names
# the packages and stops the script.

need_packages() {
  local missing=() p
  for p in "$@"; do
    case $p in
      nodejs) command -v node >/dev/null 2>&1 && continue ;;
      npm) command -v npm >/dev/null 2>&1 && continue ;;
    esac
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  if ! command -v apt-get >/dev/null 2>&1; then
    echo "$(basename "$0"): this machine has no apt-get; install these (or your system's" \
      "equivalents) and run again: ${missing[*]}" >&2
    exit 1
  fi
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && { sudo -n true 2>/dev/null || [ -t 0 ]; }; then
      sudo=(sudo)
    else
      echo "$(basename "$0"): missing Debian packages: ${missing[*]}" >&2
      echo "install them as root (apt-get install ${missing[*]}) and run again" >&2
      exit 1
    fi
  fi
  echo "installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
    "${missing[@]}"
}

# What building the two programs needs.
build_packages=(cmake make g++ nlohmann-json3-dev)
