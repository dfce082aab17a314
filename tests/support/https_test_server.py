#!/usr/bin/env python3
"""Loopback HTTPS servers for the TLS tests and the HTTPS benchmark: one on port 443 of each
address of tls_test_pki.py's CASES (each sends its case's certificate) and HOSTILE (servers that
misbehave, as listed there), and the intermediate's CRL over plain HTTP on port 80 of
tls_test_pki.py's CRL_ADDRESS. Needs root for ports 443 and 80; run it in a network namespace of your own:

    tests/support/tls_test_pki.py PKI_DIR
    unshare -n bash -c 'ip link set lo up;
        tests/support/https_test_server.py PKI_DIR [--files DIR] & ...; kill %1'

It prints "ready" once every server listens, and runs until killed or its standard input ends
(when started with --until-stdin-closes). Names such as good.dova.test are not resolved by
anything here: connect to the address and give the name to TLS, or map the names in a hosts file.

Every server that completes a handshake answers HTTP/1.0 requests, one per connection, GET or
HEAD, and ends with close_notify (but those whose point is not to):
    /bytes/N                      N bytes, byte i being i % 251, with Content-Length
    /redirect?status=S&to=URL     answer S (default 302) with Location: URL
    /anything/else                the file of that path under --files DIR, else 404
"""
import argparse
import ctypes
import warnings
import os
import socket
import ssl
import sys
import threading
import time
import urllib.parse
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from tls_test_pki import CASES, CRL_ADDRESS, CRL_PATH, HOSTILE  # noqa: E402

PORT = 443
warnings.filterwarnings("ignore", "ssl.TLSVersion.TLSv1", DeprecationWarning)
PATTERN = bytes(i % 251 for i in range(251 * 4096))  # a whole number of periods, about 1 MB
files_root = None


def pattern_bytes(start, count):
    """Bytes start .. start+count of the /bytes/N body."""
    offset = start % 251
    out = bytearray()
    while count > 0:
        piece = PATTERN[offset:offset + count]
        out += piece
        count -= len(piece)
        offset = 0
    return bytes(out)


def read_request(conn):
    data = b""
    while b"\r\n\r\n" not in data and len(data) < 65536:
        chunk = conn.recv(4096)
        if not chunk:
            return None
        data += chunk
    line = data.split(b"\r\n", 1)[0].decode("latin-1").split()
    return (line[0], line[1]) if len(line) >= 2 else None


def response(method, target):
    """The head and the body (bytes, or (length, None) for /bytes/N, sent in pieces)."""
    url = urllib.parse.urlsplit(target)
    query = urllib.parse.parse_qs(url.query)
    if url.path.startswith("/bytes/") and url.path[7:].isdigit():
        length = int(url.path[7:])
        return f"HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n" \
               f"Content-Length: {length}\r\n\r\n".encode(), length
    if url.path == "/redirect" and "to" in query:
        status = query.get("status", ["302"])[0]
        return f"HTTP/1.0 {status} Moved\r\nLocation: {query['to'][0]}\r\n" \
               f"Content-Length: 0\r\n\r\n".encode(), b""
    path = Path(files_root, url.path.lstrip("/")) if files_root else None
    if path and path.is_file() and Path(files_root).resolve() in path.resolve().parents:
        body = path.read_bytes()
        return f"HTTP/1.0 200 OK\r\nContent-Length: {len(body)}\r\n\r\n".encode(), body
    return b"HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found", b""


def send_body(send, body, start=0, stop=None):
    """Sends the body from byte start to stop; /bytes/N bodies are made as they go."""
    if isinstance(body, bytes):
        send(body[start:stop])
        return
    stop = body if stop is None else stop
    while start < stop:
        piece = pattern_bytes(start, min(stop - start, 1 << 20))
        send(piece)
        start += len(piece)


def context(case, minimum=None, maximum=None):
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.load_cert_chain(Path(pki_dir, f"{case}.pem"))
    if minimum:
        ctx.minimum_version = minimum
    if maximum:
        ctx.maximum_version = maximum
    return ctx


def serve_https(conn, ctx, mode):
    conn.settimeout(30)
    tls = ctx.wrap_socket(conn, server_side=True)
    request = read_request(tls)
    if not request:
        return
    head, body = response(*request)
    if request[0] == "HEAD":
        body = b""
    if mode == "endless":
        head = b"HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n"
    tls.sendall(head)
    length = len(body) if isinstance(body, bytes) else body
    if mode == "cutbody":
        send_body(tls.sendall, body, 0, length // 2)
        tls.shutdown(socket.SHUT_RDWR)  # SSLSocket.shutdown drops TLS first: no close_notify
        return
    if mode == "endless":
        sent = 0
        while True:
            tls.sendall(pattern_bytes(sent, 1 << 16))
            sent += 1 << 16
    if mode == "renegotiate":
        send_body(tls.sendall, body, 0, length // 2)
        renegotiate(tls)
        send_body(tls.sendall, body, length // 2)
    else:
        send_body(tls.sendall, body)
    tls.unwrap()


def renegotiate(tls):
    """Asks the client for a new handshake (TLS 1.2) and reads until it is done. Python's ssl
    has no call for it: OpenSSL's own is reached through the SSL pointer of the socket."""
    libssl = ctypes.CDLL("libssl.so.3")
    for f in ("SSL_renegotiate", "SSL_renegotiate_pending", "SSL_do_handshake", "SSL_get_fd"):
        getattr(libssl, f).argtypes = [ctypes.c_void_p]
    ssl_pointer = ctypes.c_void_p.from_address(id(tls._sslobj) + 24).value  # PySSLSocket.ssl
    if libssl.SSL_get_fd(ssl_pointer) != tls.fileno():
        raise RuntimeError("this Python keeps its SSL pointer elsewhere")
    libssl.SSL_renegotiate(ssl_pointer)
    libssl.SSL_do_handshake(ssl_pointer)  # sends the HelloRequest
    tls.settimeout(0.2)
    deadline = time.monotonic() + 10
    while libssl.SSL_renegotiate_pending(ssl_pointer) and time.monotonic() < deadline:
        try:
            tls.recv(1)
        except (socket.timeout, ssl.SSLWantReadError):
            pass
    tls.settimeout(30)


def serve_drip(conn, ctx):
    """The whole exchange through memory, every piece of TLS going out a few bytes at a time."""
    conn.settimeout(30)
    conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    incoming, outgoing = ssl.MemoryBIO(), ssl.MemoryBIO()
    tls = ctx.wrap_bio(incoming, outgoing, server_side=True)

    def flush():
        data = outgoing.read()
        for i in range(0, len(data), 7):
            conn.sendall(data[i:i + 7])
            time.sleep(0.0005)

    def until_done(step):
        while True:
            try:
                result = step()
                flush()
                return result
            except ssl.SSLWantReadError:
                flush()
                chunk = conn.recv(16384)
                if not chunk:
                    raise ConnectionError("client went away")
                incoming.write(chunk)

    until_done(tls.do_handshake)
    data = b""
    while b"\r\n\r\n" not in data:
        data += until_done(lambda: tls.read(16384))
    line = data.split(b"\r\n", 1)[0].decode("latin-1").split()
    head, body = response(line[0], line[1])
    tls.write(head)
    send_body(tls.write, b"" if line[0] == "HEAD" else body)
    flush()
    until_done(tls.unwrap)


def serve_raw(conn, mode):
    conn.settimeout(10)
    client_hello = conn.recv(16384)
    if not client_hello or mode == "hangup":
        return
    if mode == "halfhello":  # 31 of a ServerHello's 95 bytes
        conn.sendall(bytes.fromhex("160303005a020000560303") + os.urandom(20))
        time.sleep(0.2)
    elif mode == "stall":
        conn.settimeout(120)
        while conn.recv(4096):
            pass
    elif mode == "alert":  # fatal handshake_failure
        conn.sendall(bytes.fromhex("15030300020228"))
    elif mode == "plainhttp":
        conn.sendall(b"HTTP/1.0 400 Bad Request\r\nContent-Type: text/html\r\n\r\n"
                     b"<html><body>This is a plain HTTP server.</body></html>\r\n")


def serve_crl(conn):
    """Plain HTTP on port 80 of CRL_ADDRESS: the intermediate's CRL, where its leaves point."""
    conn.settimeout(10)
    request = read_request(conn)
    if request and request[1].split("?")[0] == CRL_PATH:
        body = Path(pki_dir, CRL_PATH.lstrip("/")).read_bytes()
        conn.sendall(b"HTTP/1.0 200 OK\r\nContent-Type: application/pkix-crl\r\n"
                     b"Content-Length: %d\r\n\r\n" % len(body) + body)
    else:
        conn.sendall(b"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n")


def handle(conn, case, mode):
    with conn:
        try:
            if mode == "crl":
                serve_crl(conn)
            elif mode in ("hangup", "halfhello", "stall", "alert", "plainhttp"):
                serve_raw(conn, mode)
            elif mode == "drip":
                serve_drip(conn, context("good"))
            elif mode == "tls13only":
                serve_https(conn, context("good", minimum=ssl.TLSVersion.TLSv1_3), mode)
            elif mode == "tls11only":
                ctx = context("good", minimum=ssl.TLSVersion.TLSv1, maximum=ssl.TLSVersion.TLSv1_1)
                ctx.set_ciphers("DEFAULT:@SECLEVEL=0")  # OpenSSL 3 keeps them from level 1 on
                serve_https(conn, ctx, mode)
            elif mode == "renegotiate":
                serve_https(conn, context("good", maximum=ssl.TLSVersion.TLSv1_2), mode)
            else:
                serve_https(conn, context(case), mode)
        except (OSError, ssl.SSLError, ConnectionError, ValueError):
            pass  # the client refused us or went away: that is what these tests are about


def listen(address, case, mode, port=PORT):
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind((address, port))
    server.listen(16)

    def accept_loop():
        while True:
            conn, _ = server.accept()
            threading.Thread(target=handle, args=(conn, case, mode), daemon=True).start()

    threading.Thread(target=accept_loop, daemon=True).start()


def main():
    global pki_dir, files_root
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("pki_dir")
    parser.add_argument("--files")
    parser.add_argument("--until-stdin-closes", action="store_true")
    args = parser.parse_args()
    pki_dir, files_root = args.pki_dir, args.files
    for case, address in CASES.items():
        listen(address, case, "certificate")
    for mode, address in HOSTILE.items():
        listen(address, "good", mode)
    listen(CRL_ADDRESS, None, "crl", port=80)
    print("ready", flush=True)
    if args.until_stdin_closes:
        sys.stdin.read()
    else:
        threading.Event().wait()


if __name__ == "__main__":
    main()
