#!/usr/bin/env python3
"""The tests' HTTP server as a process of its own for the benchmark's download, so that it can run
on its own CPU: serves the file BODY at /files/payload.bin on 127.0.0.1, prints "port=N" once it
listens and stops when its standard input closes (or after an hour).

    serve.py BODY
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "fixtures"))
from http_server import TestServer  # noqa: E402


def main():
    with open(sys.argv[1], "rb") as f:
        body = f.read()
    with TestServer(lifetime=3600) as server:
        server.route("/files/payload.bin", body=body)
        print(f"port={server.port}", flush=True)
        sys.stdin.read()


if __name__ == "__main__":
    main()
