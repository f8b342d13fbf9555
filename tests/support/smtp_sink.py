"""A loopback SMTP server for the tests: records every message it takes.

Prints "PORT <n>" once it listens, then serves until standard input closes.
With --slow N the port is a slow line in front of the server: for N seconds
from each connection's start it passes on 64 KiB of the client's bytes every
50 ms (the client's sending stalls and moves on, as over a slow uplink).
Each message becomes <dir>/<n>.eml (the data as received) and <dir>/<n>.env
(JSON: the envelope sender and recipients).
"""
import argparse
import asyncio
import json
import os
import socket
import sys
import threading
import time

from aiosmtpd.controller import Controller
from aiosmtpd.smtp import AuthResult


class Recorder:
    def __init__(self, out, refuse, stall):
        self.out = out
        self.refuse = {a.lower() for a in refuse}
        self.stall = stall
        self.count = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() in self.refuse:
            return "550 5.1.1 <%s>: Recipient address rejected" % address
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.stall:
            # A server that stops answering: the message is never taken. The
            # test learns that it holds it.
            open(os.path.join(self.out, "holding"), "w").close()
            await asyncio.sleep(3600)
        self.count += 1
        base = os.path.join(self.out, str(self.count))
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        with open(base + ".env", "w") as f:
            json.dump({"from": envelope.mail_from, "rcpt": envelope.rcpt_tos}, f)
        return "250 Message accepted"


def pump(src, dst, slow_until):
    try:
        while True:
            if time.monotonic() < slow_until:
                time.sleep(0.05)
            data = src.recv(65536)
            if not data:
                break
            dst.sendall(data)
    except OSError:
        pass
    for sock in (src, dst):
        try:
            sock.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass


def slow_line(backend_port, seconds):
    """Listens on a free port; returns it. Each connection goes to the server."""
    lsn = socket.socket()
    # A small window: what the line has not passed on stays with the client.
    lsn.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 65536)
    lsn.bind(("127.0.0.1", 0))
    lsn.listen()

    def serve():
        while True:
            client, _ = lsn.accept()
            server = socket.create_connection(("127.0.0.1", backend_port))
            until = time.monotonic() + seconds
            threading.Thread(target=pump, args=(client, server, until), daemon=True).start()
            threading.Thread(target=pump, args=(server, client, 0), daemon=True).start()

    threading.Thread(target=serve, daemon=True).start()
    return lsn.getsockname()[1]


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--dir", required=True)
    p.add_argument("--refuse", action="append", default=[])
    p.add_argument("--user")
    p.add_argument("--password")
    p.add_argument("--stall", action="store_true")
    p.add_argument("--slow", type=float, default=0)
    a = p.parse_args()

    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()

    def check(server, session, envelope, mechanism, auth_data):
        ok = (auth_data.login.decode() == a.user and auth_data.password.decode() == a.password)
        return AuthResult(success=ok)

    kwargs = {}
    if a.user:
        kwargs = dict(authenticator=check, auth_required=True, auth_require_tls=False)
    c = Controller(Recorder(a.dir, a.refuse, a.stall), hostname="127.0.0.1", port=port, **kwargs)
    c.start()
    if a.slow > 0:
        port = slow_line(port, a.slow)
    print("PORT %d" % port, flush=True)
    sys.stdin.read()
    c.stop()


if __name__ == "__main__":
    main()
