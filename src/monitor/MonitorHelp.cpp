#include "MonitorHelp.h"

QString MonitorHelp() {
    return QStringLiteral(
        R"(Usage: telvane-monitor --config FILE

Watches many cuppers at once and publishes each press to the plant's MQTT
broker: its status, its samples and its events, as JSON. Each press is read
through its own link on a thread of its own, over any device TELVANE reaches
(a serial device, socket://HOST:PORT, rfc2217://HOST:PORT). It only reads:
nothing is written to a board, and it listens on no port.

Options:
  --config FILE     the configuration file (see Configuration)
  -h, --help        print this help

Configuration:
  [broker]          url = mqtt://HOST:PORT or mqtts://HOST:PORT (required);
                    ca-file = FILE, the certificates that may sign a TLS
                    broker's (default: the system's); client-id = ID (default:
                    telvane-monitor-HOSTNAME); username = NAME; password-file
                    = FILE, whose first line is the password (refused when
                    others may read it); topic = PREFIX (default: telvane);
                    queue = FOLDER, where messages wait while the broker is
                    away; queue-limit = MB, the bound of that queue (default:
                    100)
  [PRESS]           one section per press, named by letters, digits, - and _
                    (not monitor): device = PATH, socket://HOST:PORT or
                    rfc2217://HOST:PORT (required); baud = 9600 or 19200
                    (default: 9600); registers = ADDRESS... as telvane-cli
                    takes them, space-separated (default: W182 W180 D1100
                    W1104: speed, position, strokes, die jams); every = MS
                    between samples (default: 1000; 0: back to back)

Topics:
  PREFIX/PRESS/status
                    retained; on every change, and again on every connection
                    to the broker: {"state": "online", "reconnecting" or
                    "offline", "time" (of the change), "device", "baud",
                    "reason" (when not online), "fault": {"code", "text"},
                    "comm_error": {"code", "text"}, "board": {"firmware",
                    "program", "checksum", "revision"}}
  PREFIX/PRESS/sample
                    {"time", "values": {"W180": 123, ...}}: each value read
                    whole; a read that failed is left out
  PREFIX/PRESS/event
                    QoS 1: {"event": "online", "offline", "fault-raised" or
                    "fault-cleared", "time", and "device", "reason" or
                    "fault"}
  PREFIX/monitor/ID
                    retained: "online"; "offline" when it stops, and as its
                    last will
  Times are ISO 8601 with milliseconds and the UTC offset.

Outages:
  A press that stops answering goes reconnecting, then offline after a minute,
  and is tried again with back-off (1 s, doubling up to 30 s) until it answers.
  A press whose device is missing or busy is offline with the reason. While the
  broker is away (or refuses the login, or its certificate does not verify:
  said on standard error), messages wait on disk and are delivered in order
  when it is back; past the queue's bound the oldest samples go, never an event
  or a status change. SIGTERM or Ctrl+C publishes every press offline, then
  ends.

Exit status:
  0     stopped by SIGTERM or SIGINT
  2     a usage error, or a configuration refused before anything started (the
        message names the file, the line, the section, the key and why)

Environment:
  STATE_DIRECTORY   the default queue folder (systemd sets it for the service);
                    without it ~/.local/share/telvane-monitor
  TELVANE_HOME      the program folder, in place of the executable's
  TELVANE_DEBUG     when set, Qt's own warnings are printed too

Files:
  /etc/telvane/monitor.conf
                    the configuration of the telvane-monitor service
  QUEUE/ID.queue    the messages that wait for the broker (SQLite); its .lock
                    keeps a second monitor of the same client id from starting
  PROGRAM/support/FaultErrCodes.txt, PROGRAM/support/CommErrCodes.txt
                    the texts of the board's fault and comm error codes
)");
}
