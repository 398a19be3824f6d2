#!/usr/bin/env python3
"""A local update service for tests and benches.

Usage: local_update_service.py FOLDER CERT KEY
Serves FOLDER over https (CERT, KEY) and plain http, and prints
"HTTPS_PORT HTTP_PORT" on one line once both listen.

  POST /api/updates        FOLDER/answers/<app_key>.json, or {} when missing
  GET|HEAD /files/NAME     FOLDER/NAME
  /to-http/NAME            302 to the same file over plain http
  /truncated/NAME          announces the whole file, sends half, hangs up
  /grown/NAME              HEAD announces half, GET sends the whole file
  /slow/NAME               64 KiB, then a KiB every half second
"""
import http.server
import os
import shutil
import ssl
import sys
import threading
import time
import urllib.parse

FOLDER, CERT, KEY = sys.argv[1:4]
ports = {}
ROUTES = ("/files/", "/to-http/", "/truncated/", "/grown/", "/slow/")


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def head_only(self, status, length, extra=()):
        self.send_response(status)
        self.send_header("Content-Length", str(length))
        for key, value in extra:
            self.send_header(key, value)
        self.send_header("Connection", "close")
        self.end_headers()

    def answer(self, body):
        self.head_only(200, len(body))
        if self.command != "HEAD":
            self.wfile.write(body)

    def send_file(self, path):
        # Streamed, and HEAD reads nothing: large files must cost the service little.
        self.head_only(200, os.path.getsize(path))
        if self.command != "HEAD":
            with open(path, "rb") as f:
                shutil.copyfileobj(f, self.wfile, 1 << 20)

    def do_POST(self):
        length = int(self.headers.get("Content-Length", "0"))
        form = self.rfile.read(length).rstrip(b"\0").decode()
        key = urllib.parse.parse_qs(form).get("app_key", ["NULL"])[0]
        path = os.path.join(FOLDER, "answers", key.replace("/", "_") + ".json")
        body = open(path, "rb").read() if os.path.isfile(path) else b"{}"
        self.answer(body)

    def do_HEAD(self):
        self.do_GET()

    def do_GET(self):
        self.close_connection = True
        route = next((r for r in ROUTES if self.path.startswith(r)), None)
        name = urllib.parse.unquote(self.path[len(route):]) if route else ""
        if not route or "/" in name or not os.path.isfile(os.path.join(FOLDER, name)):
            self.head_only(404, 0)
            return
        if route == "/files/":
            self.send_file(os.path.join(FOLDER, name))
            return
        with open(os.path.join(FOLDER, name), "rb") as f:
            data = f.read()
        if route == "/to-http/":
            target = "http://127.0.0.1:%d/files/%s" % (ports["http"], self.path[len(route):])
            self.head_only(302, 0, [("Location", target)])
        elif route == "/truncated/":
            self.head_only(200, len(data))
            if self.command != "HEAD":
                self.wfile.write(data[: len(data) // 2])
        elif route == "/grown/":
            if self.command == "HEAD":
                self.head_only(200, len(data) // 2)
            else:
                self.answer(data)
        elif route == "/slow/":
            self.head_only(200, len(data))
            if self.command != "HEAD":
                self.wfile.write(data[:65536])
                self.wfile.flush()
                for at in range(65536, len(data), 1024):
                    time.sleep(0.5)
                    self.wfile.write(data[at : at + 1024])
                    self.wfile.flush()


def serve(server):
    server.serve_forever()


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        pass  # clients hanging up early are part of the tests


plain = Server(("127.0.0.1", 0), Handler)
secure = Server(("127.0.0.1", 0), Handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(CERT, KEY)
secure.socket = context.wrap_socket(secure.socket, server_side=True, do_handshake_on_connect=False)
ports["http"] = plain.server_address[1]
threading.Thread(target=serve, args=(plain,), daemon=True).start()
print(secure.server_address[1], plain.server_address[1], flush=True)
serve(secure)
