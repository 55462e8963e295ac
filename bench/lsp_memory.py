#!/usr/bin/env python3
"""The language server's memory on large documents: a 50 MB line description
and an 11 MB train document of 400 000 unknown records, each opened alone.
Prints the time to the first diagnostics, the server's peak resident memory
(VmHWM) against the document's size, and its resident memory after didClose.

usage: bench/lsp_memory.py [--build DIR]

Build first: cmake --workflow --preset release
"""
import argparse
import json
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def memory(pid):
    out = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, value = line.split(":", 1)
            if key in ("VmRSS", "VmHWM"):
                out[key] = int(value.split()[0]) / 1024
    return out


class Server:
    def __init__(self, tool):
        self.p = subprocess.Popen([tool, "lsp"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                  stderr=subprocess.DEVNULL)

    def send(self, message):
        body = json.dumps(message).encode()
        self.p.stdin.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        self.p.stdin.flush()

    def receive(self):
        header = b""
        while not header.endswith(b"\r\n\r\n"):
            c = self.p.stdout.read(1)
            if not c:
                sys.exit("the server ended")
            header += c
        length = next(int(line.split(b":")[1]) for line in header.split(b"\r\n")
                      if line.lower().startswith(b"content-length"))
        return json.loads(self.p.stdout.read(length))


def measure(tool, path):
    text = open(path, encoding="latin-1").read()
    s = Server(tool)
    s.send({"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}}})
    s.receive()
    s.send({"jsonrpc": "2.0", "method": "initialized", "params": {}})
    uri = "file://" + os.path.abspath(path)
    start = time.perf_counter()
    s.send({"jsonrpc": "2.0", "method": "textDocument/didOpen",
            "params": {"textDocument": {"uri": uri, "languageId": "scenario", "version": 1,
                                        "text": text}}})
    while True:
        m = s.receive()
        if m.get("method") == "textDocument/publishDiagnostics" and m["params"]["uri"] == uri:
            break
    first = time.perf_counter() - start
    peak = memory(s.p.pid)["VmHWM"]
    s.send({"jsonrpc": "2.0", "method": "textDocument/didClose",
            "params": {"textDocument": {"uri": uri}}})
    time.sleep(1.0)
    after = memory(s.p.pid)["VmRSS"]
    s.send({"jsonrpc": "2.0", "id": 2, "method": "shutdown"})
    s.receive()
    s.send({"jsonrpc": "2.0", "method": "exit"})
    s.p.wait()
    size = os.path.getsize(path) / 2**20
    print(f"{os.path.basename(path)}: {size:.1f} MiB, first diagnostics {first:.1f} s, "
          f"peak {peak:.0f} MiB ({peak / size:.1f}x), after didClose {after:.0f} MiB")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", default=os.path.join(HERE, "..", "build", "release"))
    args = ap.parse_args()
    tool = os.path.join(os.path.abspath(args.build), "scenario-tool")
    with tempfile.TemporaryDirectory(prefix="lsp-memory-") as work:
        # A long route's line description, its records repeated to 50 MB.
        subprocess.run([sys.executable, os.path.join(HERE, "make_large_scenario.py"), work],
                       check=True)
        source = open(os.path.join(work, "large_linea.txt"), encoding="latin-1").read()
        records = source.split("[curve]", 1)[1] if "[curve]" in source else source
        big = source
        while len(big) < 50_000_000:
            big += records
        line = os.path.join(work, "big_linea.txt")
        open(line, "w", encoding="latin-1", newline="").write(big[:50_000_000])
        train = os.path.join(work, "lorem_40817-.txt")
        rows = ["[generale]"] + [f"lorem ipsum {i}, 12, 13" for i in range(400000)] + ["[fine]"]
        open(train, "w", newline="").write("\r\n".join(rows) + "\r\n")
        measure(tool, line)
        measure(tool, train)


if __name__ == "__main__":
    main()
