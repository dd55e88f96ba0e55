#!/usr/bin/env python3
"""The single-instance rule with the real client under Wine.

usage: second_instance.py CLIENT_DIR FIXTURE_DIR
CLIENT_DIR holds miravolt.exe with res/ beside it; FIXTURE_DIR holds titled_window.exe.
"""
import subprocess
import sys
import time


def wine(path, *args, **kw):
    return subprocess.Popen(["wine", path] + list(args), stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, **kw)


def wait_line(proc, timeout):
    """The first line the process prints, or None after timeout seconds."""
    end = time.time() + timeout
    import selectors
    sel = selectors.DefaultSelector()
    sel.register(proc.stdout, selectors.EVENT_READ)
    while time.time() < end:
        if sel.select(timeout=0.2):
            line = proc.stdout.readline()
            return line.decode("utf-8", "replace").strip() if line else None
    return None


def stop(proc):
    if proc.poll() is None:
        proc.kill()
    proc.wait(timeout=30)


def main():
    client_dir, fixture_dir = sys.argv[1], sys.argv[2]
    client = client_dir + "/miravolt.exe"
    titled = fixture_dir + "/titled_window.exe"
    failures = []

    def second_start_restores(window, what):
        """A start that must end at once (exit 0) and bring window back."""
        if wait_line(window, 30) != "ready":
            failures.append("%s: the titled window did not start" % what)
        second = wine(client)
        try:
            second.wait(timeout=30)
            if second.returncode != 0:
                failures.append("%s: exit code %d" % (what, second.returncode))
        except subprocess.TimeoutExpired:
            failures.append("%s: the second start kept running" % what)
        outcome = wait_line(window, 30)
        if outcome != "restored":
            failures.append("%s: the window titled Miravolt was not restored (%r)" % (what, outcome))
        stop(second)
        stop(window)

    # A running first instance and a minimised window titled "Miravolt": a second start brings
    # that window back and ends without a window of its own.
    first = wine(client, cwd="/")
    time.sleep(4)
    if first.poll() is not None:
        failures.append("the first instance ended on its own (exit %s)" % first.returncode)
    second_start_restores(wine(titled, "Miravolt"), "running instance")
    stop(first)

    # The mutex held by another process and a hidden window titled "Miravolt".
    time.sleep(1)
    second_start_restores(wine(titled, "Miravolt", "Miravolt"), "held mutex")

    # With no instance running, a window titled "Miravolt" does not stop a start.
    time.sleep(1)
    window = wine(titled, "Miravolt")
    wait_line(window, 30)
    alone = wine(client)
    time.sleep(4)
    if alone.poll() is not None:
        failures.append("a start without a running instance ended (exit %s)" % alone.returncode)
    stop(alone)
    stop(window)

    for f in failures:
        print("FAILED: " + f)
    print("second instance rule: %s" % ("failed" if failures else "ok"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
