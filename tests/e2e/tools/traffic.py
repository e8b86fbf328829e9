#!/usr/bin/env python3
# Traffic for the end-to-end tests, over the loopback or a veth of the test's own.
#   traffic.py serve ADDRESS PORT           echoes every byte it receives, until killed
#   traffic.py send ADDRESS PORT MB [SECS]  sends MB megabytes to a server (port 0: one of its own)
#                                           and reads them back, spread over SECS seconds when
#                                           given; prints "sent=BYTES seconds=ELAPSED"; exit
#                                           status 0 when every byte came back
import socket, sys, threading, time

BLOCK = 1 << 20


def serve(listener):
    def echo(peer):
        with peer:
            while data := peer.recv(BLOCK):
                peer.sendall(data)

    while True:
        threading.Thread(target=echo, args=(listener.accept()[0],), daemon=True).start()


def send(address, port, megabytes, seconds=0.0):
    if port == 0:
        listener = socket.create_server((address, 0))
        port = listener.getsockname()[1]
        threading.Thread(target=serve, args=(listener,), daemon=True).start()
    connection = socket.create_connection((address, port), timeout=60)
    received, block = 0, bytes(BLOCK)

    def drain():
        nonlocal received
        while received < megabytes * BLOCK and (data := connection.recv(BLOCK)):
            received += len(data)

    reader = threading.Thread(target=drain)
    reader.start()
    start = time.monotonic()
    for i in range(megabytes):
        time.sleep(max(0.0, start + seconds * i / megabytes - time.monotonic()))
        connection.sendall(block)
    reader.join()
    print(f"sent={megabytes * BLOCK} seconds={time.monotonic() - start:.2f}")
    return received == megabytes * BLOCK


if __name__ == "__main__":
    if sys.argv[1:2] == ["serve"]:
        serve(socket.create_server((sys.argv[2], int(sys.argv[3]))))
    sys.exit(0 if send(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), *map(float, sys.argv[5:6])) else 1)
