#!/usr/bin/env python3
"""Traffic for the end-to-end tests, over the loopback or a veth of the test's own.

  traffic.py serve ADDRESS PORT            echoes every byte it receives, until killed
  traffic.py send ADDRESS PORT MB [SECS]   sends MB megabytes to a server and reads them back
                                           (MB each way), spread evenly over SECS seconds when
                                           given; prints "sent=BYTES seconds=ELAPSED". Port 0:
                                           to a server of its own on ADDRESS
Exit status 0 when every byte came back.
"""
import socket
import sys
import threading
import time

BLOCK = 1 << 20


def serve(address, port, listener=None):
    listener = listener or socket.create_server((address, port), reuse_port=True)

    def echo(peer):
        with peer:
            while data := peer.recv(BLOCK):
                peer.sendall(data)

    while True:
        peer, _ = listener.accept()
        threading.Thread(target=echo, args=(peer,), daemon=True).start()


def send(address, port, megabytes, seconds):
    if port == 0:
        listener = socket.create_server((address, 0))
        port = listener.getsockname()[1]
        threading.Thread(target=serve, args=(address, port, listener), daemon=True).start()
    total = megabytes * BLOCK
    block = bytes(BLOCK)
    connection = socket.create_connection((address, port), timeout=60)
    received = 0

    def drain():
        nonlocal received
        while received < total and (data := connection.recv(BLOCK)):
            received += len(data)

    reader = threading.Thread(target=drain)
    reader.start()
    start = time.monotonic()
    for i in range(megabytes):
        if seconds:
            time.sleep(max(0.0, start + seconds * i / megabytes - time.monotonic()))
        connection.sendall(block)
    reader.join()
    elapsed = time.monotonic() - start
    connection.close()
    print(f"sent={total} seconds={elapsed:.2f}")
    return received == total


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "serve":
        serve(sys.argv[2], int(sys.argv[3]))
    elif len(sys.argv) in (5, 6) and sys.argv[1] == "send":
        seconds = float(sys.argv[5]) if len(sys.argv) == 6 else 0
        sys.exit(0 if send(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), seconds) else 1)
    else:
        sys.exit(__doc__)
