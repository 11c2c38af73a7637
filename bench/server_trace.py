"""Counts a program's wineserver requests in the wineserver's own trace.

The benchmark starts the prefix's wineserver with `-d1`, which makes it write one line per request
it receives ("0024: create_key( ... )") and one per reply ("0024: create_key() = 0 { ... }"), each
led by the client thread's id. That is Wine's own count, exact and independent of which calls the
program makes, and the cheapest reliable way to it: the program runs unchanged (a client started
with WINEDEBUG=+server writes nothing itself, it only asks the server for the same trace, on the
server's own error output), and the server's error output is a file of ours because the benchmark
starts each prefix's server itself. The trace costs the server time, so the counted runs are
separate from the timed ones.

A thread belongs to a process from the reply to its process's first thread ("init_first_thread() = 0
{ pid=P, tid=T ...") or from the request that made it ("new_thread( process=ffffffff ..." from a
thread of the same process, or with the handle a process creation returned to its parent).
"""
import re

LINE = re.compile(r"^([0-9a-f]{4,8}): (\w+)\((.*)$")
NUMBER = r"([0-9a-f]+)"


def count(lines, image):
    """Requests of the process started from a program whose file name ends in `image` (the last one
    started, should there be several), and of the processes it started in turn: (own, helpers)."""
    thread_pid = {}      # thread id -> process id
    pending = {}         # thread id -> (request, text) awaiting its reply
    handles = {}         # (process id, handle) -> process id it created
    parent = {}          # process id -> its parent's process id
    images = {}          # process id -> image path
    per_process = {}     # process id -> requests
    for raw in lines:
        m = LINE.match(raw)
        if not m:
            continue
        tid, name, rest = m.groups()
        if rest.startswith(") = "):  # a reply
            request = pending.pop(tid, None)
            mine = thread_pid.get(tid)
            if name == "init_first_thread":
                r = re.search(r"pid=" + NUMBER + r", tid=" + NUMBER, rest)
                if r:
                    thread_pid[r.group(2)] = r.group(1)
            elif name == "new_process" and request:
                r = re.search(r"pid=" + NUMBER + r", handle=" + NUMBER, rest)
                if r:
                    handles[(mine, r.group(2))] = r.group(1)
                    parent[r.group(1)] = mine
                    i = re.search(r'imagepath=L"([^"]*)"', request)
                    images[r.group(1)] = i.group(1) if i else ""
            elif name == "new_thread" and request:
                r = re.search(r"tid=" + NUMBER, rest)
                h = re.search(r"process=" + NUMBER, request)
                if r and h:
                    owner = mine if h.group(1) == "ffffffff" else handles.get((mine, h.group(1)))
                    if owner:
                        thread_pid[r.group(1)] = owner
            continue
        pending[tid] = rest
        pid = thread_pid.get(tid)
        per_process[pid] = per_process.get(pid, 0) + 1
    image = image.lower()
    target = [p for p, path in images.items() if path.lower().endswith(image)]
    if not target:
        raise ValueError(f"no process of {image} in the trace")
    target = target[-1]
    helpers = 0
    for pid, n in per_process.items():
        p = parent.get(pid)
        while p and p != target:
            p = parent.get(p)
        if p == target:
            helpers += n
    return per_process.get(target, 0), helpers
