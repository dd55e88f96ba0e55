#!/usr/bin/env python3
"""The updater as a process under Wine, against a loopback update server.

usage: update_e2e.py CASE UPDATE_EXE FIXTURE_DIR WORK_DIR

CASE is one of the names in CASES. FIXTURE_DIR holds msgbox_reader.exe, test_installer.exe and
stand_in_client.exe; WORK_DIR is emptied and used for the case's files. The update server is
an http.server on 127.0.0.1 at an ephemeral port, serving a fixed table of paths, stopped at the
end of the case and bounded in requests and time. Message boxes of update.exe are read and
closed by msgbox_reader.exe running beside it.
"""
import hashlib
import http.server
import os
import shutil
import subprocess
import sys
import threading
import time

UPDATE_CAPTION = "update"
FAILURE_TEXT = "更新失败：无法下载最新版本。"
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
RUN_TIMEOUT_S = 120
WAIT_TIMEOUT_S = 30


class UpdateServer:
    """Serves ROUTES (path -> (status, body bytes)) and records each request. A path in HELD
    gets its headers and the first bytes of its body, and the rest only when the server
    stops."""

    MAX_REQUESTS = 20
    LIFETIME_S = 180
    HOLD_S = 60

    def __init__(self, routes, held=()):
        self.routes = routes
        self.held = held
        self.requests = []
        self.release = threading.Event()
        server = self

        class Handler(http.server.BaseHTTPRequestHandler):
            timeout = 10

            def do_GET(self):
                server.requests.append((self.path, dict(self.headers.items())))
                status, body = server.routes.get(self.path, (404, b""))
                self.send_response(status)
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Connection", "close")
                self.end_headers()
                try:
                    if self.path in server.held:
                        self.wfile.write(body[:10])
                        self.wfile.flush()
                        server.release.wait(timeout=server.HOLD_S)
                        body = body[10:]
                    self.wfile.write(body)
                except OSError:
                    pass  # the client went away, as an abandoned download does

            def log_message(self, *args):
                pass

        self.httpd = http.server.HTTPServer(("127.0.0.1", 0), Handler)
        self.httpd.timeout = 0.2
        self.port = self.httpd.server_address[1]
        self.stopping = False
        self.thread = threading.Thread(target=self._serve, daemon=True)
        self.thread.start()

    def _serve(self):
        deadline = time.time() + self.LIFETIME_S
        while (not self.stopping and len(self.requests) < self.MAX_REQUESTS
               and time.time() < deadline):
            self.httpd.handle_request()

    def url(self, path):
        return "http://127.0.0.1:%d%s" % (self.port, path)

    def wait_for_requests(self, count):
        deadline = time.time() + WAIT_TIMEOUT_S
        while len(self.requests) < count and time.time() < deadline:
            time.sleep(0.05)
        return len(self.requests) >= count

    def stop(self):
        self.stopping = True
        self.release.set()
        self.thread.join(timeout=10)
        self.httpd.server_close()


class Case:
    def __init__(self, update_exe, fixture_dir, work_dir):
        self.update_exe = update_exe
        self.fixture_dir = fixture_dir
        self.work_dir = work_dir
        self.failures = []
        self.env = dict(os.environ)
        # Arguments and output carry Chinese text: Wine converts with the locale's charset.
        self.env["LANG"] = "C.UTF-8"
        self.env["LC_ALL"] = "C.UTF-8"

    def check(self, condition, message):
        if not condition:
            self.failures.append(message)

    def fixture(self, name):
        return os.path.join(self.fixture_dir, name)

    def windows_path(self, path):
        out = subprocess.run(["winepath", "-w", path], capture_output=True, env=self.env,
                             timeout=WAIT_TIMEOUT_S)
        return out.stdout.decode("utf-8").strip()

    def unix_path(self, path):
        out = subprocess.run(["winepath", "-u", path], capture_output=True, env=self.env,
                             timeout=WAIT_TIMEOUT_S)
        return out.stdout.decode("utf-8").strip()

    def start(self, program, *args):
        return subprocess.Popen(["wine", program] + list(args), stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, env=self.env)

    def run_update(self, *args):
        """Runs update.exe with args; returns its exit code, or None when it did not end."""
        proc = self.start(self.update_exe, *args)
        try:
            proc.wait(timeout=RUN_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(timeout=WAIT_TIMEOUT_S)
            return None
        return proc.returncode

    def start_reader(self, count):
        return self.start(self.fixture("msgbox_reader.exe"), str(count),
                          str(RUN_TIMEOUT_S * 1000), UPDATE_CAPTION)

    def finish_reader(self, reader):
        """The boxes the reader saw: a list of {caption, text, owner}."""
        try:
            out, _ = reader.communicate(timeout=RUN_TIMEOUT_S + WAIT_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            reader.kill()
            out, _ = reader.communicate(timeout=WAIT_TIMEOUT_S)
        boxes = []
        for line in out.decode("utf-8", "replace").splitlines():
            label, _, value = line.partition(": ")
            if label == "caption":
                boxes.append({})
            if boxes:
                boxes[-1][label] = value
        return boxes

    def expect_failure_box(self, reader, owner_title):
        boxes = self.finish_reader(reader)
        self.check(len(boxes) == 1, "one message box expected, saw %r" % boxes)
        if boxes:
            box = boxes[0]
            self.check(box.get("caption") == UPDATE_CAPTION, "caption %r" % box.get("caption"))
            self.check(box.get("text") == FAILURE_TEXT, "text %r" % box.get("text"))
            self.check(box.get("owner") == owner_title, "box owner title %r" % box.get("owner"))

    def read_log(self, path):
        if not os.path.exists(path):
            return []
        with open(path, encoding="utf-8") as f:
            return [line.rstrip("\n").split("\t") for line in f if line.strip()]

    def wait_for_log(self, path, kind):
        deadline = time.time() + WAIT_TIMEOUT_S
        while time.time() < deadline:
            if any(fields[0] == kind for fields in self.read_log(path)):
                return True
            time.sleep(0.1)
        return False


def four_arguments(case):
    """Fewer than five arguments: no window, exit code 0, nothing fetched."""
    server = UpdateServer({})
    try:
        code = case.run_update(server.url("/updates/Update.ini"), "MiravoltE2EFour",
                               "version.ini", "Miravolt E2E")
    finally:
        server.stop()
    case.check(code == 0, "exit code %r, expected 0" % code)
    case.check(not server.requests, "requests made: %r" % server.requests)


def empty_arguments(case):
    """Five empty arguments still run the dialog; the empty URL fails to download."""
    reader = case.start_reader(1)
    code = case.run_update("", "", "", "", "")
    case.expect_failure_box(reader, "「」升级程序")
    case.check(code == 1, "exit code %r, expected 1" % code)


def failed_description(case):
    """A description that cannot be fetched: the failure message, then exit code 1. A display
    name with blanks stays whole; a sixth argument is ignored."""
    server = UpdateServer({})
    reader = case.start_reader(1)
    try:
        code = case.run_update(server.url("/updates/Update.ini"), "MiravoltE2EFail",
                               "version.ini", "Miravolt E2E No Window", "Miravolt Beta 2",
                               "ignored sixth")
    finally:
        server.stop()
    case.expect_failure_box(reader, "「Miravolt Beta 2」升级程序")
    case.check(code == 1, "exit code %r, expected 1" % code)
    case.check([p for p, _ in server.requests] == ["/updates/Update.ini"],
               "requests %r" % server.requests)


def closed_by_hand(case):
    """The window closed while the description still downloads: the program ends at once
    with its own exit code, the worker abandoned, and no message."""
    server = UpdateServer({"/updates/Update.ini": (200, b"x" * 100000)},
                          held=("/updates/Update.ini",))
    try:
        proc = case.start(case.update_exe, server.url("/updates/Update.ini"),
                          "MiravoltE2EClosed", "version.ini", "Miravolt E2E No Window",
                          "Miravolt")
        case.check(server.wait_for_requests(1), "the description was not requested")
        # Without /f, taskkill sends WM_CLOSE to the program's top-level windows.
        subprocess.run(["wine", "taskkill", "/im", "update.exe"], capture_output=True,
                       env=case.env, timeout=WAIT_TIMEOUT_S)
        try:
            code = proc.wait(timeout=RUN_TIMEOUT_S)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(timeout=WAIT_TIMEOUT_S)
            code = None
    finally:
        server.stop()
    case.check(code == 2, "exit code %r, expected 2" % code)


def update_with_client(case, installed_version, offered_version, expect, digest=None,
                       read_box=False):
    """The description offers offered_version (with an "InstallSha256" line made by digest
    from the installer's bytes when given) while a client runs whose installed version file
    holds installed_version (no file when None). Runs update.exe to its end, with a message-box
    reader beside it when read_box is set, and hands what happened to expect(case, run) while
    the client, if it still runs, is kept running."""
    key = "MiravoltE2E"
    title = "Miravolt E2E Client"
    display = "Miravolt 测试版"
    install_dir = os.path.join(case.work_dir, "install")
    os.makedirs(install_dir)
    shutil.copy(case.fixture("stand_in_client.exe"), os.path.join(install_dir, key + ".exe"))
    if installed_version is not None:
        with open(os.path.join(install_dir, "version.ini"), "w") as f:
            f.write("[Update]\r\nAppVersion=%s\r\n" % installed_version)
    log = os.path.join(case.work_dir, "fixture.log")
    case.env["MIRAVOLT_FIXTURE_LOG"] = case.windows_path(log)
    case.env["MIRAVOLT_INSTALLER_EXIT"] = "7"  # the installer's own code is not passed on
    added = subprocess.run(
        ["wine", "reg", "add", UNINSTALL_KEY + "\\" + key, "/v", "UninstallString", "/t",
         "REG_SZ", "/d", case.windows_path(install_dir) + "\\uninst.exe", "/f"],
        capture_output=True, env=case.env, timeout=WAIT_TIMEOUT_S)
    case.check(added.returncode == 0, "reg add failed: %r" % added.stderr)

    with open(case.fixture("test_installer.exe"), "rb") as f:
        installer = f.read()
    routes = {"/files/setup.exe": (200, installer)}
    server = UpdateServer(routes)
    description = ("[Update]\r\nAppVersion=%s\r\nInstallUrl=%s\r\n"
                   % (offered_version, server.url("/files/setup.exe")))
    if digest is not None:
        description += "InstallSha256=%s\r\n" % digest(installer)
    description = description.encode()
    routes["/updates/ver.txt"] = (200, description)

    reader = case.start_reader(1) if read_box else None
    client = case.start(case.fixture("stand_in_client.exe"), "--window", title)
    try:
        case.check(case.wait_for_log(log, "client-window"), "the running client did not start")
        # A failure message no reader closes would keep the program from ending: the run
        # would time out.
        code = case.run_update(server.url("/updates/ver.txt"), key, "version.ini", title,
                               display)
        server.stop()
        expect(case, {"code": code, "requests": server.requests, "log": log, "reader": reader,
                      "client": client, "description": description,
                      "install_dir": install_dir, "key": key,
                      "title": "「%s」升级程序" % display})
    finally:
        server.stop()
        for process in (client, reader):
            if process and process.poll() is None:
                process.kill()
                process.wait(timeout=WAIT_TIMEOUT_S)


def expect_installed(case, run):
    """The running client was asked to close, the installer ran from the work folder, the
    client was started again, and the program ended with 0."""
    key, log = run["key"], run["log"]
    case.check(run["code"] == 0, "exit code %r, expected 0" % run["code"])
    try:
        run["client"].wait(timeout=WAIT_TIMEOUT_S)
    except subprocess.TimeoutExpired:
        case.failures.append("the running client was not asked to close")
    case.check(case.wait_for_log(log, "client-started"), "the client was not restarted")
    entries = case.read_log(log)
    kinds = [fields[0] for fields in entries]
    case.check(kinds == ["client-window", "client-close", "installer", "client-started"],
               "fixture log %r" % entries)
    paths = [p for p, _ in run["requests"]]
    case.check(paths == ["/updates/ver.txt", "/files/setup.exe"], "requests %r" % paths)
    agents = [headers.get("User-Agent") for _, headers in run["requests"]]
    case.check(agents == ["update", "update"], "user agents %r" % agents)
    for fields in entries:
        if fields[0] == "installer":
            # Started with no arguments from the work folder, where the description lies too.
            case.check(len(fields) == 2, "installer arguments %r" % fields[2:])
            installed_from = case.unix_path(fields[1])
            case.check(installed_from.endswith("/" + key + "/setup.exe"),
                       "installer ran from %r" % fields[1])
            ini = os.path.join(os.path.dirname(installed_from), "Update.ini")
            with open(ini, "rb") as f:
                case.check(f.read() == run["description"],
                           "Update.ini differs from the description")
        if fields[0] == "client-started":
            case.check(len(fields) == 2, "client arguments %r" % fields[2:])
            case.check(
                os.path.samefile(case.unix_path(fields[1]),
                                 os.path.join(run["install_dir"], key + ".exe")),
                "restarted %r" % fields[1])


def expect_nothing_run(case, run):
    """The running client was left alone and no installer was started."""
    # A close request would have been posted before the program ended: give the client a
    # moment to act on one.
    try:
        run["client"].wait(timeout=2)
        case.failures.append("the running client went away")
    except subprocess.TimeoutExpired:
        pass
    entries = case.read_log(run["log"])
    case.check([fields[0] for fields in entries] == ["client-window"],
               "fixture log %r" % entries)


def full_update(case):
    """Description, installer, the running client asked to close, installation, restart."""
    update_with_client(case, "1.0", "2.0", expect_installed)


def no_version_file(case):
    """No installed version file: nothing to compare, so the offered version is installed even
    though it reads older than anything."""
    update_with_client(case, None, "0.1", expect_installed)


def up_to_date(case):
    """An offered version not newer than the installed one ("1.2" against "1.10"): nothing is
    fetched beyond the description, nothing installed, the client not closed; exit code 0."""
    def expect(case, run):
        case.check(run["code"] == 0, "exit code %r, expected 0" % run["code"])
        paths = [p for p, _ in run["requests"]]
        case.check(paths == ["/updates/ver.txt"], "requests %r" % paths)
        expect_nothing_run(case, run)

    update_with_client(case, "1.10", "1.2", expect)


def digest_match(case):
    """An "InstallSha256" in upper case that the installer matches: installed as usual."""
    update_with_client(case, "1.0", "2.0", expect_installed,
                       digest=lambda data: hashlib.sha256(data).hexdigest().upper())


def digest_mismatch(case):
    """An "InstallSha256" the installer does not match: the failure message, exit code 1, the
    installer never started and the client not closed."""
    def expect(case, run):
        case.expect_failure_box(run["reader"], run["title"])
        case.check(run["code"] == 1, "exit code %r, expected 1" % run["code"])
        paths = [p for p, _ in run["requests"]]
        case.check(paths == ["/updates/ver.txt", "/files/setup.exe"], "requests %r" % paths)
        expect_nothing_run(case, run)

    update_with_client(case, "1.0", "2.0", expect,
                       digest=lambda data: hashlib.sha256(data + b"x").hexdigest(),
                       read_box=True)


CASES = {
    "four-arguments": four_arguments,
    "empty-arguments": empty_arguments,
    "failed-description": failed_description,
    "closed-by-hand": closed_by_hand,
    "full-update": full_update,
    "no-version-file": no_version_file,
    "up-to-date": up_to_date,
    "digest-match": digest_match,
    "digest-mismatch": digest_mismatch,
}


def main():
    if len(sys.argv) != 5 or sys.argv[1] not in CASES:
        print(__doc__)
        return 2
    name, update_exe, fixture_dir, work_dir = sys.argv[1:]
    shutil.rmtree(work_dir, ignore_errors=True)
    os.makedirs(work_dir)
    case = Case(update_exe, fixture_dir, work_dir)
    CASES[name](case)
    for failure in case.failures:
        print("FAILED: " + failure)
    print("update %s: %s" % (name, "failed" if case.failures else "ok"))
    return 1 if case.failures else 0


if __name__ == "__main__":
    sys.exit(main())
