# Sourced by scripts/run and scripts/screenshots: a simulated wall and a settings store and data
# folder of Ordalis's own that point at it. Needs ROOT (the source tree) and RUN_DIR.

# start_wall KIND COLUMNS ROWS: starts ordalis-wallsim for a wall reached by KIND (serial, lan or
# lan-each), waits until it is ready, and sets WALL_PID, WALL_PORT (TCP port, LAN kinds).
start_wall() {
  local kind=$1 displays=$(($2 * $3)) line
  local args=(--displays "$displays")
  case $kind in
    serial) args+=(--link "$RUN_DIR/data/ports/COM1") ;;
    lan) args+=(--lan 127.0.0.1:0) ;;
    lan-each) args+=(--lan-each 127.0.0.1:0) ;;
  esac
  mkdir -p "$RUN_DIR/data/ports"
  local fifo=$RUN_DIR/wallsim.fifo
  rm -f "$fifo"
  mkfifo "$fifo"
  "$ROOT/build/dev/sim/ordalis-wallsim" "${args[@]}" >"$fifo" 2>&1 &
  WALL_PID=$!
  exec {WALL_OUT}<"$fifo"
  rm -f "$fifo"
  WALL_PORT=
  line=
  while read -r -t 10 -u "$WALL_OUT" line; do
    case $line in
      "lan "* | "lan-each 1 "*) WALL_PORT=${line##*:} ;;
      ready) break ;;
    esac
  done
  if [[ $line != ready ]]; then
    echo "ordalis-wallsim did not start: $line" >&2
    return 1
  fi
  # Keep its output drained so that it never blocks on a full pipe.
  cat <&"$WALL_OUT" >/dev/null &
  exec {WALL_OUT}<&-
}

stop_wall() {
  if [[ -n ${WALL_PID:-} ]]; then
    kill "$WALL_PID" 2>/dev/null || true
    wait "$WALL_PID" 2>/dev/null || true
    WALL_PID=
  fi
}

# write_settings KIND COLUMNS ROWS [MODEL]: a fresh settings store and data folder under RUN_DIR for
# a wall whose first display is at the bottom left, reached as start_wall left it.
write_settings() {
  local kind=$1 columns=$2 rows=$3 model=${4:-0} code
  case $kind in
    serial) code=0 ;;
    lan) code=1 ;;
    lan-each) code=2 ;;
  esac
  local config=$((rows + columns * 16 + code * 256 + 4096))
  rm -rf "$RUN_DIR/config"
  mkdir -p "$RUN_DIR/config/Corvane" "$RUN_DIR/data"
  {
    echo "[Standard]"
    echo "Video%20Wall%20Config=$config"
    echo "Display%20Model=$model"
    echo "Project%20ID=24"
    if [[ $kind == serial ]]; then
      echo "Com%20Port=1"
    else
      echo "IP%20Address=127.0.0.1"
      echo "Telnet%20Port=$WALL_PORT"
    fi
  } >"$RUN_DIR/config/Corvane/Tavrin.conf"
  {
    echo "<<<Ordalis: IP Settings>>>"
    if [[ $kind == lan-each ]]; then
      for ((id = 1; id <= columns * rows; id++)); do echo "ID=$id;IP=127.0.0.$id;"; done
    fi
  } >"$RUN_DIR/data/IP_Default.txt"
}

# The environment that gives Ordalis the store and folder above.
ordalis_env() {
  echo "XDG_CONFIG_HOME=$RUN_DIR/config" "ORDALIS_DATA_DIR=$RUN_DIR/data"
}
