#!/usr/bin/env python3
"""A disc-database server for the client tests: answers CDDB commands over
HTTP 1.0 from canned replies. Listens on 127.0.0.1 only and ends by itself.

  cddb_server.py start STATEDIR DATADIR   starts a server in the background,
                                          writes STATEDIR/cddb_server.port
  cddb_server.py stop STATEDIR            ends it
"""
import os
import re
import signal
import socket
import struct
import subprocess
import sys
import threading
import time

LIFETIME = 900  # seconds; the server never outlives a test run by much
HEADERS = b"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n"
# The client as it names itself in the hello text of every request: name, version, protocol level.
CLIENT_NAME, CLIENT_VERSION, PROTOCOL_LEVEL = "KorvanelleCDDB", "1.22", 5
REQUEST_RE = re.compile(
    r"^GET (?P<path>/~cddb|/slow|/slowfail|/slowshort)/cddb\.cgi\?cmd=(?P<cmd>[^& ]+)&hello=\w+\+\w+\+%s\+%s&proto=%d "
    r"HTTP/1\.0$" % (re.escape(CLIENT_NAME), re.escape(CLIENT_VERSION), PROTOCOL_LEVEL))


def crlf_lines(path):
    with open(path, "rb") as f:
        data = f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
    if not data.endswith(b"\r\n"):
        data += b"\r\n"
    return data


SLOW_RECORDS_DISC = "0b01a202"
SLOW_RECORD_SECONDS = 1.5

# The discs of the Read CD dialog's tests: disc ID -> matches (category, artist, title, track titles,
# year, genre). A disc ID of SILENT_DISC gets no answer at all.
READCD_DISCS = {
    "0b025603": [("newage", "Solo Artist", "Only Album", ["First", "Second\tSong", "Third"], 1999, "Ambient")],
    "1401de04": [("newage", "Artist One", "Album One", ["A1", "A2", "A3", "A4"], 2001, "Pop"),
                 ("folk", "Artist Two", "Album Two", ["B1", "B2", "B3", "B4"], 0, "Folk"),
                 ("jazz", "Artist Three", "Album Three", ["C1", "C2", "C3", "C4"], 1977, "Jazz")],
    "05021a02": [],
    # Four matches whose records each take SLOW_RECORD_SECONDS to arrive, complete.
    SLOW_RECORDS_DISC: [(c, "Slow " + c, "Album", ["S1", "S2"], 0, "Slow") for c in ("rock", "folk", "jazz", "blues")],
}
SILENT_DISC = "0b00b203"


def serve_server_error(conn):
    conn.sendall(HEADERS + b"403 Database entry is corrupt\r\n")


def serve_no_blank_line(conn):
    conn.sendall(b"HTTP/1.0 200 OK\r\n210 Found exact matches\r\nrock 00000001 A / B\r\n.\r\n")


def serve_huge_list(conn):
    conn.sendall(HEADERS + b"210 Found exact matches\r\n")
    line = b"rock 00000001 Endless / Reply\r\n" * 128
    sent = 0
    deadline = time.time() + 20
    while sent < 8 * 1024 * 1024 and time.time() < deadline:
        conn.sendall(line)
        sent += len(line)


def serve_closed_mid_reply(conn):
    conn.sendall(HEADERS + b"211 Found inexact matches\r\nrock 00000001 A / B\r\n")


def serve_reset(conn):
    conn.sendall(HEADERS + b"211 Found inexact matches\r\n")
    time.sleep(0.1)
    # Closing with a zero linger time resets the connection.
    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    conn.close()


def serve_garbage(conn):
    conn.sendall(b"\x00\x17\xfe\xff no protocol here \x01\x02\x03")


MANY_MATCHES_DISC = "0b00ee02"
MANY_MATCHES = 15000


def serve_many_matches(conn):
    body = b"".join(b"newage %s Artist %d / Title %d\r\n" % (MANY_MATCHES_DISC.encode(), i, i)
                    for i in range(MANY_MATCHES))
    conn.sendall(HEADERS + b"211 Found inexact matches, list follows (until terminating `.')\r\n" + body + b".\r\n")


# Discs of the Read CD dialog's fault tests, by disc ID: an error reply, a reply with no blank line
# behind its headers, a reply past the client's cap, a query with thousands of matches (each of
# which reads as one record), and a connection closed mid-reply, reset, or closed after garbage.
SPECIAL_DISCS = {
    "08007602": serve_server_error,
    "08012a02": serve_no_blank_line,
    "0500b202": serve_huge_list,
    MANY_MATCHES_DISC: serve_many_matches,
    "0b01de02": serve_closed_mid_reply,
    "0801de02": serve_reset,
    "08021a02": serve_garbage,
}


def readcd_record(category, disc_id):
    for match in READCD_DISCS.get(disc_id, []):
        if match[0] != category:
            continue
        _, artist, title, tracks, year, genre = match
        lines = ["# xmcd", "#", "# Track frame offsets:"]
        lines += ["#\t%d" % (150 + 9000 * i) for i in range(len(tracks))]
        lines += ["#", "# Disc length: %d seconds" % (120 * len(tracks) + 2), "#", "# Revision: 1",
                  "# Submitted via: testclient 1.0", "#", "DISCID=" + disc_id, "DTITLE=%s / %s" % (artist, title),
                  "DYEAR=%s" % (str(year) if year else ""), "DGENRE=" + genre]
        lines += ["TTITLE%d=%s" % (i, t.replace("\t", "\\t")) for i, t in enumerate(tracks)]
        lines += ["EXTD="] + ["EXTT%d=" % i for i in range(len(tracks))] + ["PLAYORDER="]
        return "\r\n".join(lines).encode("latin-1") + b"\r\n.\r\n"
    return None


def serve_readcd_query(conn, disc_id):
    matches = READCD_DISCS[disc_id]
    if not matches:
        conn.sendall(HEADERS + b"202 No match for disc ID %s.\r\n" % disc_id.encode())
    elif len(matches) == 1:
        m = matches[0]
        conn.sendall(HEADERS + ("200 %s %s %s / %s\r\n" % (m[0], disc_id, m[1], m[2])).encode("latin-1"))
    else:
        body = "".join("%s %s %s / %s\r\n" % (m[0], disc_id, m[1], m[2]) for m in matches)
        conn.sendall(HEADERS + b"210 Found exact matches, list follows (until terminating `.')\r\n"
                     + body.encode("latin-1") + b".\r\n")


def serve_query(conn, disc_id):
    if disc_id in READCD_DISCS:
        serve_readcd_query(conn, disc_id)
    elif disc_id == SILENT_DISC:
        time.sleep(30)  # no answer; the client gives up (or is stopped) first
    elif disc_id == "00000001":
        conn.sendall(HEADERS + b"200 rock 0b025603 The Artist / The Title\r\n")
    elif disc_id == "00000003":
        conn.sendall(HEADERS + b"210 Found exact matches, list follows (until terminating `.')\r\n"
                     b"rock 0b025603 A1 / T1\r\nmisc 0b025603 A2 / T2\r\njazz 0b025603 A3 / T3\r\n.\r\n")
    elif disc_id == "00000004":
        conn.sendall(HEADERS + b"211 Found inexact matches, list follows (until terminating `.')\r\n"
                     b"rock 0b025604 Near / One\r\nblues 0b025605 Near / Two\r\n.\r\n")
    elif disc_id == "00000005":
        conn.sendall(HEADERS + b"403 Database entry is corrupt\r\n")
    elif disc_id == "00000006":
        pieces = [HEADERS, b"21", b"1 Found inexact matches\r\nrock 00000001 A / B\r",
                  b"\nmisc 00000002 C / D\r\n.", b"\r\n"]
        for piece in pieces:
            conn.sendall(piece)
            time.sleep(0.3)
    elif disc_id == "00000007":
        time.sleep(6)  # silence; the client gives up first
    elif disc_id == "00000008":
        conn.sendall(HEADERS + b"211 Found inexact matches\r\nrock 00000001 A / B\r\n")
    elif disc_id == "00000009":
        conn.sendall(b"HTTP/1.0 200 OK\r\n210 Found exact matches\r\nrock 00000001 A / B\r\n.\r\n")
    elif disc_id == "0000000a":
        serve_huge_list(conn)
    elif disc_id == "0000000b":
        body = b"".join(b"rock %08x Artist %d / Title %d\r\n" % (i, i, i) for i in range(400))
        conn.sendall(HEADERS + b"210 Found exact matches\r\n" + body + b".\r\n")
    elif disc_id == "0000000d":
        serve_reset(conn)
    elif disc_id == "0000000e":
        serve_garbage(conn)
    elif disc_id == "0000000c":
        # A byte now and then, never a silence long enough for the client's silence time-out.
        conn.sendall(HEADERS)
        reply = b"211 Found inexact matches\r\nrock 00000001 Slow / Reply\r\n.\r\n"
        for i in range(len(reply)):
            conn.sendall(reply[i:i + 1])
            time.sleep(0.2)
    elif disc_id in SPECIAL_DISCS:
        SPECIAL_DISCS[disc_id](conn)
    else:
        conn.sendall(HEADERS + b"202 No match found\r\n")


def handle(conn, datadir):
    try:
        conn.settimeout(10)
        data = b""
        while b"\r\n\r\n" not in data and len(data) < 65536:
            chunk = conn.recv(4096)
            if not chunk:
                return
            data += chunk
        head, _, rest = data.partition(b"\r\n\r\n")
        lines = head.decode("latin-1").split("\r\n")
        m = REQUEST_RE.match(lines[0])
        if rest or len(lines) != 1 or not m:
            conn.sendall(HEADERS + b"500 Command syntax error\r\n")
            return
        words = m.group("cmd").split("+")
        path = m.group("path")
        if path != "/~cddb":
            # The server-list tests' slow servers: a list, an error, or a short list, each late.
            if words != ["sites"]:
                conn.sendall(HEADERS + b"500 Command syntax error\r\n")
            elif path == "/slow":
                time.sleep(2.0)
                conn.sendall(HEADERS + b"210 OK, site information follows (until terminating `.')\r\n"
                             + crlf_lines(os.path.join(datadir, "sites-level3.txt")))
            elif path == "/slowfail":
                time.sleep(1.0)
                conn.sendall(HEADERS + b"500 Command syntax error\r\n")
            else:
                time.sleep(0.5)
                conn.sendall(HEADERS + b"210 OK, site information follows (until terminating `.')\r\n"
                             b"late.example.org http 80 /~cddb/cddb.cgi N000.00 W000.00 Late one\r\n"
                             b"later.example.org http 80 /~cddb/cddb.cgi N000.00 W000.00 Late two\r\n.\r\n")
            return
        if words[:2] == ["cddb", "query"] and len(words) >= 4:
            serve_query(conn, words[2])
        elif words[:2] == ["cddb", "read"] and len(words) == 4:
            category, disc_id = words[2], words[3]
            record = readcd_record(category, disc_id)
            if category == "newage" and disc_id == MANY_MATCHES_DISC:
                record = ("# xmcd\r\n# Track frame offsets:\r\n#\t150\r\n#\t13500\r\n# Disc length: 240 seconds\r\n"
                          "# Submitted via: testclient 1.0\r\nDISCID=%s\r\nDTITLE=Many / Matches\r\n"
                          "TTITLE0=M1\r\nTTITLE1=M2\r\nEXTD=\r\nEXTT0=\r\nEXTT1=\r\n.\r\n" % disc_id).encode()
            if record is not None:
                reply = (HEADERS + b"210 %s %s CD database entry follows (until terminating `.')\r\n"
                         % (category.encode(), disc_id.encode()) + record)
                pieces = 10 if disc_id == SLOW_RECORDS_DISC else 1
                size = -(-len(reply) // pieces)
                for i in range(0, len(reply), size):
                    if pieces > 1:
                        time.sleep(SLOW_RECORD_SECONDS / pieces)
                    conn.sendall(reply[i:i + size])
            elif category == "misc" and disc_id == "83085c0b":
                conn.sendall(HEADERS + b"210 misc 83085c0b CD database entry follows (until terminating `.')\r\n"
                             + crlf_lines(os.path.join(datadir, "83085c0b.xmcd")))
            elif category == "rock":
                conn.sendall(HEADERS + b"210 rock %s\r\n# xmcd\r\nDISCID=%s\r\nDTITLE=A / B\r\n.\r\n"
                             % (disc_id.encode(), disc_id.encode()))
            else:
                conn.sendall(HEADERS + b"401 %s %s No such CD entry in database\r\n"
                             % (category.encode(), disc_id.encode()))
        elif words == ["sites"]:
            conn.sendall(HEADERS + b"210 OK, site information follows (until terminating `.')\r\n"
                         + crlf_lines(os.path.join(datadir, "sites-level3.txt")))
        else:
            conn.sendall(HEADERS + b"500 Command syntax error\r\n")
    except OSError:
        pass
    finally:
        try:
            conn.close()
        except OSError:
            pass


def serve(statedir, datadir):
    srv = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    srv.bind(("127.0.0.1", 0))
    srv.listen(32)
    srv.settimeout(0.5)
    tmp = os.path.join(statedir, "cddb_server.port.tmp")
    with open(tmp, "w") as f:
        f.write(str(srv.getsockname()[1]))
    os.replace(tmp, os.path.join(statedir, "cddb_server.port"))
    deadline = time.time() + LIFETIME
    while time.time() < deadline:
        try:
            conn, _ = srv.accept()
        except socket.timeout:
            continue
        threading.Thread(target=handle, args=(conn, datadir), daemon=True).start()
    srv.close()


def main():
    cmd, statedir = sys.argv[1], sys.argv[2]
    portfile = os.path.join(statedir, "cddb_server.port")
    pidfile = os.path.join(statedir, "cddb_server.pid")
    if cmd == "serve":
        serve(statedir, sys.argv[3])
    elif cmd == "start":
        stop(pidfile)
        if os.path.exists(portfile):
            os.remove(portfile)
        proc = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", statedir, sys.argv[3]],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL, start_new_session=True)
        with open(pidfile, "w") as f:
            f.write(str(proc.pid))
        for _ in range(100):
            if os.path.exists(portfile):
                return 0
            time.sleep(0.05)
        stop(pidfile)
        print("the test server did not start", file=sys.stderr)
        return 1
    elif cmd == "stop":
        stop(pidfile)
    return 0


def stop(pidfile):
    try:
        with open(pidfile) as f:
            pid = int(f.read().strip())
    except (OSError, ValueError):
        return
    try:
        os.kill(pid, signal.SIGTERM)
    except OSError:
        pass
    try:
        os.remove(pidfile)
    except OSError:
        pass


if __name__ == "__main__":
    sys.exit(main())
