#!/usr/bin/env python3
"""Serves a folder (by default build-web/site) on 127.0.0.1 and prints its
address; Ctrl-C stops it. Usage: serve.py [FOLDER] [PORT] (port 0: any free
one). The types of .js and .wasm are set here, whatever the system's list
of types says: a module and a .wasm load only with their own type."""
import functools
import http.server
import sys

folder = sys.argv[1] if len(sys.argv) > 1 else "build-web/site"
port = int(sys.argv[2]) if len(sys.argv) > 2 else 8000


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      ".js": "text/javascript", ".wasm": "application/wasm",
                      ".css": "text/css", ".html": "text/html", ".txt": "text/plain"}


server = http.server.ThreadingHTTPServer(("127.0.0.1", port),
                                         functools.partial(Handler, directory=folder))
print(f"Serving {folder}/ at http://127.0.0.1:{server.server_address[1]}/ (Ctrl-C stops)", flush=True)
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
