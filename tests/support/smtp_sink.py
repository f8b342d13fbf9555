"""A loopback SMTP server for the tests: records every message it takes.

Prints "PORT <n>" once it listens, then serves until standard input closes.
Each message becomes <dir>/<n>.eml (the data as received) and <dir>/<n>.env
(JSON: the envelope sender and recipients).
"""
import argparse
import asyncio
import json
import os
import socket
import sys

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
            # A server that stops answering: the message is never taken.
            await asyncio.sleep(3600)
        self.count += 1
        base = os.path.join(self.out, str(self.count))
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        with open(base + ".env", "w") as f:
            json.dump({"from": envelope.mail_from, "rcpt": envelope.rcpt_tos}, f)
        return "250 Message accepted"


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--dir", required=True)
    p.add_argument("--refuse", action="append", default=[])
    p.add_argument("--user")
    p.add_argument("--password")
    p.add_argument("--stall", action="store_true")
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
    print("PORT %d" % port, flush=True)
    sys.stdin.read()
    c.stop()


if __name__ == "__main__":
    main()
