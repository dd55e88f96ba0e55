#!/usr/bin/env python3
"""Runs one page-script test file through miravolt-script under Wine and checks the outcome.

Directives in the test file's leading comment lines:
  // class: main|page|base     window class (default main)
  // exit: N                   expected exit code (default 0)
  // stdout: REGEX             a line of standard output must match (repeatable, in order)
  // stderr: REGEX             a line of standard error must match (repeatable, in order)
  // no-lib                    do not prepend the shared checks (lib/assert.js)
Without --file, --args gives the host's whole argument list (usage tests).
"""
import argparse
import os
import re
import subprocess
import sys

TIMEOUT_S = 120


def directives(text):
    found = {"class": None, "exit": 0, "stdout": [], "stderr": [], "no-lib": False}
    for line in text.splitlines():
        m = re.match(r"\s*//\s*(class|exit|stdout|stderr|no-lib)\s*:?\s*(.*)$", line)
        if not m:
            if line.strip() and not line.strip().startswith("//"):
                break
            continue
        key, value = m.group(1), m.group(2).rstrip()
        if key == "class":
            found["class"] = value
        elif key == "exit":
            found["exit"] = int(value)
        elif key == "no-lib":
            found["no-lib"] = True
        else:
            found[key].append(value)
    return found


def matches_in_order(patterns, text):
    lines = text.splitlines()
    at = 0
    for pattern in patterns:
        while at < len(lines) and not re.search(pattern, lines[at]):
            at += 1
        if at == len(lines):
            return pattern
        at += 1
    return None


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--host", required=True)
    parser.add_argument("--lib", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--file")
    parser.add_argument("--args", nargs=argparse.REMAINDER)
    parser.add_argument("--expect-exit", type=int, default=0)
    opts = parser.parse_args()

    if opts.file:
        with open(opts.file, encoding="utf-8") as f:
            source = f.read()
        want = directives(source)
        if not want["no-lib"]:
            with open(opts.lib, encoding="utf-8") as f:
                source = f.read() + "\n" + source
        os.makedirs(opts.work, exist_ok=True)
        combined = os.path.join(opts.work, os.path.basename(opts.file))
        with open(combined, "w", encoding="utf-8") as f:
            f.write(source)
        args = (["--class", want["class"]] if want["class"] else []) + [combined]
    else:
        want = {"exit": opts.expect_exit, "stdout": [], "stderr": []}
        args = opts.args or []

    run = subprocess.run(["wine", opts.host] + args, capture_output=True, timeout=TIMEOUT_S)
    out = run.stdout.decode("utf-8", "replace").replace("\r\n", "\n")
    err = run.stderr.decode("utf-8", "replace").replace("\r\n", "\n")
    sys.stdout.write(out)
    sys.stdout.write(err)

    problems = []
    if run.returncode != want["exit"]:
        problems.append("exit code %d, expected %d" % (run.returncode, want["exit"]))
    missing = matches_in_order(want["stdout"], out)
    if missing is not None:
        problems.append("no standard output line matches %r" % missing)
    missing = matches_in_order(want["stderr"], err)
    if missing is not None:
        problems.append("no standard error line matches %r" % missing)
    for p in problems:
        print("FAILED: " + p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
