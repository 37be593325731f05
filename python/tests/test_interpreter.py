import os
import signal
import subprocess
import threading
import time

import pytest

import tamsel


def resident_bytes():
    with open("/proc/self/statm", encoding="ascii") as statm:
        return int(statm.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def test_ctrl_c_stops_an_array_and_gives_its_memory_back():
    # A shell's background job starts with SIGINT ignored, and Python leaves it so.
    previous = signal.signal(signal.SIGINT, signal.default_int_handler)
    tamsel.primitive_roots_array(1000003)  # tables built once stay out of the measure
    before = resident_bytes()
    # Sent by another process, as Ctrl-C is: a thread of ours would need the GIL to send it.
    killer = subprocess.Popen(["sh", "-c", f"sleep 0.3; kill -INT {os.getpid()}"])
    started = time.monotonic()
    with pytest.raises(KeyboardInterrupt):
        tamsel.primitive_roots_array(1000000007)  # 2 GB and seconds of work when whole
    elapsed = time.monotonic() - started
    killer.wait(10)
    signal.signal(signal.SIGINT, previous)
    assert elapsed < 0.3 + 1.0
    assert resident_bytes() - before < 64 * 2**20


def test_other_threads_run_while_an_array_is_made():
    finished = []
    worker = threading.Thread(
        target=lambda: finished.append(len(tamsel.primitive_roots_array(100000007))))
    started = last = time.monotonic()
    longest_pause = 0.0
    worker.start()
    while worker.is_alive() and last - started < 60:
        now = time.monotonic()
        longest_pause, last = max(longest_pause, now - last), now
    worker.join(60)
    assert finished == [49897680]
    assert last - started > 0.25, "too quick to tell"
    assert longest_pause < 0.15


def test_threads_sharing_an_iterator_get_each_root_once():
    roots = tamsel.primitive_roots(2**61 - 1, 0, 2**19)
    taken = [[] for _ in range(4)]
    threads = [threading.Thread(target=part.extend, args=(roots,)) for part in taken]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join(60)
    assert sorted(sum(taken, [])) == list(tamsel.primitive_roots(2**61 - 1, 0, 2**19))
