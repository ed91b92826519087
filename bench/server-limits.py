#!/usr/bin/env python3
"""Measures what hostile clients cost a server process: slow connections, a header flood and
a large body from an unknown sender. Loopback only, bounded in count and time.

    bench/server-limits.py backupd build/bin/vantrel-backupd
    bench/server-limits.py shell build/bin/vantrel
"""
import os, socket, subprocess, sys, tempfile, threading, time


def free_port():
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def rss_kb(pid, field="VmRSS"):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return 0


def wait_for_port(port, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        try:
            socket.create_connection(("127.0.0.1", port), timeout=0.5).close()
            return True
        except OSError:
            time.sleep(0.05)
    return False


def request_time(port, request, timeout=10.0):
    start = time.time()
    try:
        s = socket.create_connection(("127.0.0.1", port), timeout=timeout)
        s.sendall(request)
        data = s.recv(100)
        s.close()
        return time.time() - start, data.split(b"\r\n")[0].decode(errors="replace")
    except OSError as error:
        return time.time() - start, f"failed ({error.__class__.__name__})"


def slow_connections(port, count, seconds):
    """`count` clients each sending one byte every 3 s for `seconds`."""
    stop = time.time() + seconds
    sockets = []
    for _ in range(count):
        try:
            sockets.append(socket.create_connection(("127.0.0.1", port), timeout=2))
        except OSError:
            pass
    request = b"GET /state HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: " + b"a" * 1000
    position = 0
    while time.time() < stop:
        for s in list(sockets):
            try:
                s.send(request[position:position + 1])
            except OSError:
                sockets.remove(s)
        position += 1
        time.sleep(3)
    alive = 0
    for s in sockets:
        try:
            alive += 1 if s.recv(1, socket.MSG_DONTWAIT) else 0
        except BlockingIOError:
            alive += 1
        except OSError:
            pass
        s.close()
    return alive


def header_flood(port, headers, size):
    s = socket.create_connection(("127.0.0.1", port), timeout=10)
    sent = 0
    try:
        s.sendall(b"GET /state HTTP/1.1\r\nHost: 127.0.0.1\r\n")
        line = b"X-Flood: " + b"a" * (size - 12) + b"\r\n"
        for _ in range(headers):
            s.sendall(line)
            sent += len(line)
        s.sendall(b"\r\n")
        reply = s.recv(100).split(b"\r\n")[0].decode(errors="replace")
    except OSError as error:
        reply = f"cut after {sent // 1024} KiB ({error.__class__.__name__})"
    s.close()
    return reply


def big_body(port, path, megabytes):
    s = socket.create_connection(("127.0.0.1", port), timeout=30)
    length = megabytes * 1024 * 1024
    sent = 0
    reply = ""
    try:
        s.sendall(f"POST {path} HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: multipart/form-data; boundary=b\r\n"
                  f"Content-Length: {length}\r\n\r\n".encode())
        s.sendall(b'--b\r\nContent-Disposition: form-data; name="file"; filename="a.zip"\r\n\r\n')
        chunk = b"x" * (1 << 20)
        while sent < length:
            s.sendall(chunk)
            sent += len(chunk)
        reply = s.recv(100).split(b"\r\n")[0].decode(errors="replace")
    except OSError as error:
        reply = f"cut after {sent >> 20} MiB ({error.__class__.__name__})"
    s.close()
    return reply


def main():
    kind, binary = sys.argv[1], sys.argv[2]
    port = free_port()
    data = tempfile.mkdtemp(prefix="vantrel-limits-")
    if kind == "shell":
        command = [binary, "--port", str(port), "--data", data]
        normal = f"GET /state HTTP/1.1\r\nHost: 127.0.0.1:{port}\r\n\r\n".encode()
        upload = "/picture?id=1"
        slow_count = 24
    else:
        command = [binary, "--port", str(port), "--data", data]
        normal = (f"POST /mobile/services/backupcount/abc HTTP/1.1\r\nHost: 127.0.0.1\r\n"
                  f"Content-Type: application/x-www-form-urlencoded\r\nContent-Length: 9\r\n\r\nemail=a@b").encode()
        upload = "/mobile/services/uploadfile/0123456789abcdef"
        slow_count = 8
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        if not wait_for_port(port):
            print("server did not start")
            return 1
        time.sleep(0.5)
        print(f"{kind}: started, RSS {rss_kb(process.pid) // 1024} MB")

        results = {}
        slow = threading.Thread(target=lambda: results.setdefault("alive", slow_connections(port, slow_count, 12)))
        slow.start()
        time.sleep(4)
        elapsed, status = request_time(port, normal, timeout=6)
        print(f"  {slow_count} slow connections: a normal request took {elapsed:.2f} s ({status})")
        slow.join()
        print(f"  slow connections still open after 12 s: {results['alive']}")

        start = time.time()
        reply = big_body(port, upload, 190)
        print(f"  190 MiB body from an unknown sender: {reply!r} in {time.time() - start:.1f} s, "
              f"peak RSS {rss_kb(process.pid, 'VmHWM') // 1024} MB")
        before = rss_kb(process.pid)
        start = time.time()
        reply = header_flood(port, 40000, 8192)
        print(f"  40,000 headers of 8 KB: {reply!r} in {time.time() - start:.1f} s, "
              f"RSS {before // 1024} -> {rss_kb(process.pid) // 1024} MB, peak {rss_kb(process.pid, 'VmHWM') // 1024} MB")

        elapsed, status = request_time(port, normal, timeout=6)
        print(f"  afterwards a normal request took {elapsed:.2f} s ({status})")
    finally:
        process.terminate()
        try:
            process.wait(timeout=10)
            print(f"  stopped on SIGTERM (exit {process.returncode})")
        except subprocess.TimeoutExpired:
            process.kill()
            print("  did not stop on SIGTERM")
    return 0


if __name__ == "__main__":
    sys.exit(main())
