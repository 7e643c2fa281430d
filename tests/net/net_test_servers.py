#!/usr/bin/env python3
"""Servers for the network tests, on 127.0.0.1 and a free port.

Each mode prints "port N" on a line of its own once it listens, then serves
until it is killed.

  http ROOT [CERT KEY]   HTTP (HTTPS with a certificate) with test paths
  silent                 accepts connections and never answers
  ftp ROOT USER PASSWORD FTP: anonymous and USER logins, both read-only
  certs DIR              writes a test CA and server certificates with openssl
"""

import os
import socket
import ssl
import struct
import subprocess
import sys
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer
from urllib.parse import parse_qs, urlsplit


def announce(port):
    sys.stdout.write("port %d\n" % port)
    sys.stdout.flush()


def pattern(size):
    return bytes(i % 251 for i in range(size))


class TestHandler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    root = "."

    def log_message(self, *args):
        pass

    def send_body(self, body, length=None, status=200, extra=()):
        self.send_response(status)
        if length is not None:
            self.send_header("Content-Length", str(length))
        self.send_header("Last-Modified", "Tue, 15 Nov 1994 08:12:31 GMT")
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)
        self.wfile.flush()

    def stream_pattern(self, size):
        block = pattern(251 * 261)
        while size > 0:
            self.wfile.write(block[:size])
            size -= len(block)
        self.wfile.flush()

    def reset(self):
        self.wfile.flush()
        self.connection.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        self.connection.close()
        self.close_connection = True

    def do_GET(self):
        via_proxy = self.path.startswith("http://")
        parts = urlsplit(self.path)
        query = {k: int(v[0]) for k, v in parse_qs(parts.query).items()}
        path = parts.path
        extra = [("X-Via-Proxy", "1")] if via_proxy else []
        if path.startswith("/file/"):
            with open(os.path.join(self.root, path[len("/file/"):]), "rb") as f:
                data = f.read()
            self.send_body(data, len(data), extra=extra)
        elif path == "/bytes":
            self.send_body(b"", query["size"], extra=extra)
            self.stream_pattern(query["size"])
        elif path == "/nolength":
            self.send_body(pattern(query.get("size", 1000)))
        elif path == "/zero":
            self.send_body(b"", 0)
        elif path == "/length":
            self.send_response(200)
            self.send_header("Content-Length", self.headers.get("X-Length", "") or str(query.get("value", 0)))
            self.end_headers()
        elif path == "/missing":
            page = b"<html><body><h1>404 Not Found</h1></body></html>"
            self.send_body(page, len(page), status=404)
        elif path == "/short":
            self.send_body(pattern(query["send"]), query["announce"])
        elif path == "/slow":
            self.send_body(b"", query["size"])
            data = pattern(query["size"])
            for start in range(0, len(data), query["step"]):
                time.sleep(query["delay"] / 1000.0)
                self.wfile.write(data[start:start + query["step"]])
                self.wfile.flush()
        elif path == "/reset":
            self.send_body(pattern(query["send"]), query["announce"])
            time.sleep(0.05)
            self.reset()
        elif path == "/echo":
            text = (self.requestline + "\r\n" + str(self.headers)).encode("latin-1")
            self.send_body(text, len(text))
        else:
            self.send_body(b"unknown test path", 17, status=400)

    def do_get(self):
        # A verb in lower case reaches the server as it was written.
        text = ("lower case verb: " + self.requestline).encode("latin-1")
        self.send_body(text, len(text))


def serve_http(root, cert=None, key=None):
    TestHandler.root = root
    server = ThreadingHTTPServer(("127.0.0.1", int(os.environ.get("TEST_SERVER_PORT", "0"))), TestHandler)
    server.daemon_threads = True
    if cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(cert, key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    announce(server.server_address[1])
    server.serve_forever()


def serve_silent():
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    announce(listener.getsockname()[1])
    held = []
    while True:
        connection, _ = listener.accept()
        held.append(connection)


def serve_ftp(root, user, password):
    from pyftpdlib.authorizers import DummyAuthorizer
    from pyftpdlib.handlers import FTPHandler
    from pyftpdlib.servers import FTPServer
    import logging
    logging.disable(logging.CRITICAL)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, root, perm="elr")
    authorizer.add_anonymous(root, perm="elr")
    handler = FTPHandler
    handler.authorizer = authorizer
    handler.permit_foreign_addresses = False
    handler.auth_failed_timeout = 0.1
    server = FTPServer(("127.0.0.1", 0), handler)
    if os.geteuid() == 0:
        # As root every file could be read: serve as nobody, so that a file
        # without read rights stays unreadable.
        os.setgid(65534)
        os.setuid(65534)
    announce(server.address[1])
    server.serve_forever()


def openssl(*args):
    subprocess.run(["openssl"] + list(args), check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_certs(folder):
    """ca.pem (trusted by the tests), other-ca.pem (not), and server
    certificates: good (127.0.0.1), other-name, expired, unknown-ca."""
    def path(name):
        return os.path.join(folder, name)

    for ca in ("ca", "other-ca"):
        openssl("req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", path(ca + ".key"), "-out",
                path(ca + ".pem"), "-days", "2", "-subj", "/CN=Pixavue test " + ca)
    servers = {"good": ("ca", "IP:127.0.0.1", "2"), "other-name": ("ca", "DNS:other.example", "2"),
               "expired": ("ca", "IP:127.0.0.1", "-1"), "unknown-ca": ("other-ca", "IP:127.0.0.1", "2")}
    for name, (ca, alt_name, days) in servers.items():
        with open(path(name + ".ext"), "w") as ext:
            ext.write("subjectAltName=%s\n" % alt_name)
        openssl("req", "-newkey", "rsa:2048", "-nodes", "-keyout", path(name + ".key"), "-out", path(name + ".csr"),
                "-subj", "/CN=" + alt_name.split(":")[1])
        openssl("x509", "-req", "-in", path(name + ".csr"), "-CA", path(ca + ".pem"), "-CAkey", path(ca + ".key"),
                "-CAcreateserial", "-out", path(name + ".pem"), "-days", days, "-extfile", path(name + ".ext"))
    print("done")


def main():
    mode = sys.argv[1]
    if mode == "http":
        serve_http(*sys.argv[2:])
    elif mode == "silent":
        serve_silent()
    elif mode == "ftp":
        serve_ftp(*sys.argv[2:5])
    elif mode == "certs":
        make_certs(sys.argv[2])


if __name__ == "__main__":
    main()
