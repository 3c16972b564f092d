"""What every end-to-end scenario shares: a fresh folder, a virtual X server
with a window manager, one program of the suite on it, real input through
the X test extension (xdotool), screenshots (ImageMagick) and checks of
their pixels, the files the program wrote read back by korvane_e2e_check,
and a limit after which the scenario ends itself and everything it
started.

A scenario is a script that runs its steps inside `with Scenario(...) as s:`;
a failed step raises ScenarioFailed (or any exception), and the scenario
ends with exit status 1 after a screenshot of the moment. Without Xvfb it is
skipped (exit status 77).
"""

import argparse
import hashlib
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

SKIP = 77

# The tools of the suite and the Debian packages that bring them.
TOOLS = {
    "Xvfb": "xvfb",
    "openbox": "openbox",
    "xdotool": "xdotool",
    "xprop": "x11-utils",
    "import": "imagemagick",
    "stream": "imagemagick",
    "identify": "imagemagick",
}


class ScenarioFailed(Exception):
    pass


class Image:
    """The pixels of a screenshot, as 8-bit RGB triples row by row."""

    def __init__(self, path, width, height, rgb):
        self.path, self.width, self.height, self.rgb = path, width, height, rgb

    def points(self, colour):
        """Every (x, y) of exactly that colour (r, g, b)."""
        triple, found, at = bytes(colour), [], self.rgb.find(bytes(colour))
        while at >= 0:
            if at % 3 == 0:
                found.append(((at // 3) % self.width, (at // 3) // self.width))
            at = self.rgb.find(triple, at + 1)
        return found

    def differs_from(self, other, top=0, bottom=None):
        """How many pixels of rows top..bottom differ from the other
        screenshot's (of the same size) by more than a tenth of a channel's
        range."""
        expect((self.width, self.height) == (other.width, other.height),
               f"{self.path} and {other.path} differ in size")
        start, end = 3 * self.width * top, 3 * self.width * (self.height if bottom is None else bottom)
        a, b = self.rgb[start:end], other.rgb[start:end]
        return sum(1 for i in range(0, len(a), 3)
                   if abs(a[i] - b[i]) > 25 or abs(a[i + 1] - b[i + 1]) > 25 or abs(a[i + 2] - b[i + 2]) > 25)

    def count(self, wanted):
        """How many pixels have a colour that `wanted(r, g, b)` accepts."""
        rgb = self.rgb
        return sum(1 for pixel in zip(rgb[0::3], rgb[1::3], rgb[2::3]) if wanted(*pixel))


class Scenario:
    def __init__(self, program, limit):
        parser = argparse.ArgumentParser(description=f"The end-to-end scenario of {program}.")
        parser.add_argument("--build", required=True, help="the build folder")
        parser.add_argument("--check", required=True, help="the korvane_e2e_check program")
        parser.add_argument("--limit", type=float, default=limit, help="seconds before the scenario gives up")
        args = parser.parse_args()
        self.program = program
        self.build = os.path.abspath(args.build)
        self.checker = args.check
        self.limit = args.limit
        self.started = time.monotonic()
        self.current = "starting"
        self.children = []
        self.app = None
        self.shots = os.path.join(self.build, "e2e", program)
        self.screen = 0

    # ---- Set-up and the end ----

    def __enter__(self):
        if not shutil.which("Xvfb"):
            print(f"{self.program}: skipped: no X server can be started here (Xvfb is not installed; make deps)")
            sys.exit(SKIP)
        missing = sorted({package for tool, package in TOOLS.items() if not shutil.which(tool)})
        if missing:
            print(f"{self.program}: missing the packages {' '.join(missing)} (make deps installs them)")
            sys.exit(1)
        # Every process of the scenario is in its own process group, so that
        # the end finds them all, their children too.
        try:
            os.setpgid(0, 0)
        except PermissionError:
            pass  # already a group (and session) of its own
        signal.signal(signal.SIGALRM, self._out_of_time)
        signal.signal(signal.SIGTERM, self._out_of_time)
        signal.setitimer(signal.ITIMER_REAL, self.limit)
        self.root = tempfile.mkdtemp(prefix=f"korvane-e2e-{self.program}-")
        self.work = os.path.join(self.root, "work")
        home = os.path.join(self.root, "home")
        for folder in (self.work, home, self.shots):
            os.makedirs(folder, exist_ok=True)
        for old in os.listdir(self.shots):
            os.remove(os.path.join(self.shots, old))
        runtime = os.path.join(home, "runtime")
        os.makedirs(runtime, mode=0o700)
        # The toolkit keeps its settings in the scenario's own home, not the user's.
        self.env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb")
        self.env.pop("WAYLAND_DISPLAY", None)
        try:
            self._start_display()
        except BaseException:
            self.__exit__(*sys.exc_info())
        return self

    def __exit__(self, kind, error, trace):
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, signal.SIG_IGN)
        signal.signal(signal.SIGTERM, signal.SIG_IGN)
        passed = kind is None
        if not passed:
            print(f"{self.program}: FAILED at \"{self.current}\" after {self._elapsed():.1f} s: {error}")
            if not isinstance(error, ScenarioFailed):
                traceback.print_exception(kind, error, trace)
            try:
                print(f"{self.program}: the screen then: {self.shot('failed', timeout=5)}")
                print(f"{self.program}: windows then: {self.window_names()}")
            except Exception as shot_error:  # the display itself may be what failed
                print(f"{self.program}: no screenshot: {shot_error}")
        left = self._end_everything()
        if left:
            print(f"{self.program}: FAILED: processes left behind: {left}")
            passed = False
        if passed:
            shutil.rmtree(self.root, ignore_errors=True)
            print(f"{self.program}: passed in {self._elapsed():.1f} s (screenshots in {self.shots})")
        else:
            print(f"{self.program}: its folder is kept: {self.root}")
        sys.exit(0 if passed else 1)

    def _out_of_time(self, signum, frame):
        if signum == signal.SIGTERM:
            raise ScenarioFailed("stopped from outside")
        raise ScenarioFailed(f"timed out: the scenario's limit is {self.limit:.0f} s")

    def _elapsed(self):
        return time.monotonic() - self.started

    def _end_everything(self):
        """Ends every process the scenario started, and theirs; names what
        would not go."""
        for child in reversed(self.children):
            if child.poll() is None:
                child.terminate()
        deadline = time.monotonic() + 5
        for child in self.children:
            try:
                child.wait(max(0.1, deadline - time.monotonic()))
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()
        group, me = os.getpgid(0), os.getpid()
        for pid in self._group_members(group):
            if pid != me:
                try:
                    os.kill(pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
        time.sleep(0.2)
        return [pid for pid in self._group_members(group) if pid != me and not self._is_zombie(pid)]

    @staticmethod
    def _group_members(group):
        members = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open(f"/proc/{entry}/stat") as stat:
                    fields = stat.read().rsplit(")", 1)[1].split()
            except OSError:
                continue
            if int(fields[2]) == group:
                members.append(int(entry))
        return members

    @staticmethod
    def _is_zombie(pid):
        try:
            with open(f"/proc/{pid}/stat") as stat:
                return stat.read().rsplit(")", 1)[1].split()[0] == "Z"
        except OSError:
            return True

    def _spawn(self, command, log, **options):
        with open(os.path.join(self.shots, log), "ab") as out:
            child = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT,
                                     env=self.env, **options)
        self.children.append(child)
        return child

    def _start_display(self):
        self.step("start the X server and the window manager")
        reader, writer = os.pipe()
        xvfb = self._spawn(["Xvfb", "-displayfd", str(writer), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                           "xvfb.log", pass_fds=(writer,))
        os.close(writer)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n"):
            ready, _, _ = select.select([reader], [], [], max(0, deadline - time.monotonic()))
            chunk = os.read(reader, 16) if ready else b""
            if not chunk:
                raise ScenarioFailed(f"Xvfb did not start (exit status {xvfb.poll()}, see xvfb.log)")
            number += chunk
        os.close(reader)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        self._spawn(["openbox", "--sm-disable"], "openbox.log")
        self.wait_for("the window manager", lambda: "window id" in self._run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], check=False), 20)

    # ---- The program ----

    def step(self, text):
        """Names what the scenario does now, for its log and its failure."""
        self.current = text
        print(f"{self.program} {self._elapsed():6.1f} s: {text}", flush=True)

    def copy_examples(self, *names):
        for name in names:
            shutil.copy(os.path.join(self.build, "examples", name), self.work)

    def copy_file(self, path):
        shutil.copy(path, self.work)

    def start(self, *arguments):
        """Starts the program in the work folder."""
        self.step(f"start {self.program} {' '.join(arguments)}")
        binary = os.path.join(self.build, "apps", self.program, self.program)
        self.app = self._spawn([binary, *arguments], f"{self.program}.log", cwd=self.work)

    def wait_exit(self, timeout=20):
        """Waits for the program to end by itself; fails naming the windows
        still shown when it does not."""
        deadline = time.monotonic() + timeout
        while self.app.poll() is None:
            if time.monotonic() > deadline:
                raise ScenarioFailed(f"{self.program} did not end; its windows: {self.window_names()}")
            time.sleep(0.1)
        if self.app.returncode != 0:
            raise ScenarioFailed(f"{self.program} ended with exit status {self.app.returncode}")

    def _alive(self):
        if self.app is not None and self.app.poll() is not None:
            raise ScenarioFailed(f"{self.program} ended (exit status {self.app.returncode}); see {self.program}.log")

    # ---- X ----

    def _run(self, command, check=True, timeout=15):
        done = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=timeout)
        if check and done.returncode != 0:
            raise ScenarioFailed(f"{' '.join(command)}: {done.stderr.strip() or done.returncode}")
        return done.stdout

    def wait_for(self, what, condition, timeout=20):
        """The first true value of `condition`, tried every tenth of a
        second; fails after `timeout` s naming `what` (a text, or a function
        that gives it then)."""
        deadline = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            self._alive()
            if time.monotonic() > deadline:
                what = what() if callable(what) else what
                raise ScenarioFailed(f"waited {timeout} s for {what}; windows: {self.window_names()}")
            time.sleep(0.1)

    def windows(self, title):
        """The shown windows whose title matches the regular expression."""
        return self._run(["xdotool", "search", "--onlyvisible", "--name", title], check=False).split()

    def window_names(self):
        names = []
        for window in self._run(["xdotool", "search", "--onlyvisible", "--name", "."], check=False).split():
            name = self._run(["xdotool", "getwindowname", window], check=False).strip()
            if name and not name.startswith("Qt ") and name != self.program:
                names.append(name)
        return names

    def wait_window(self, title, timeout=20):
        """The window whose title matches, once it is shown and has the
        keyboard: the window manager made it the active window."""
        window = self.wait_for(f"a window \"{title}\"", lambda: (self.windows(title) or [None])[0], timeout)
        self.expect_active(title, timeout)
        return window

    def wait_gone(self, title, timeout=20):
        self.wait_for(f"the window \"{title}\" to close", lambda: not self.windows(title), timeout)

    def active_title(self):
        return self._run(["xdotool", "getactivewindow", "getwindowname"], check=False).strip()

    def expect_active(self, title, timeout=10):
        """Waits until the keys go to the window whose title matches."""
        self.wait_for(lambda: f"the keys to go to \"{title}\" (they go to \"{self.active_title()}\")",
                      lambda: re.search(title, self.active_title()), timeout)

    def key(self, *keys):
        self._alive()
        self._run(["xdotool", "key", "--delay", "80", *keys])

    def type(self, text):
        self._alive()
        self._run(["xdotool", "type", "--delay", "40", text])

    def menu(self, popup, item):
        """Opens a menu with Alt and its letter and takes the item by its
        letter, as a user does with the keyboard."""
        self.key(f"alt+{popup}")
        time.sleep(0.4)
        self.key(item)

    def choose_file(self, popup, item, caption, path):
        """A menu item that asks for a file, and the file typed into the
        file dialog it opens ("Open" or "Save As"), with Enter."""
        self.menu(popup, item)
        self.wait_window(f"^{caption}$")
        self.type(path)
        self.key("Return")
        self.wait_gone(f"^{caption}$")

    def click(self, window, x, y, button=1):
        """A click at (x, y) of the window's inside."""
        self._alive()
        self._run(["xdotool", "mousemove", "--window", window, "--sync", str(x), str(y)])
        time.sleep(0.1)
        self._run(["xdotool", "click", str(button)])

    # ---- What the screen shows ----

    def shot(self, name, window="root", timeout=15):
        """A screenshot of the window (or the whole screen) for a person to
        look at, in the build folder."""
        self.screen += 1
        path = os.path.join(self.shots, f"{self.screen:02d}-{name}.png")
        self._run(["import", "-window", window, path], timeout=timeout)
        return path

    def image(self, name, window="root"):
        path = self.shot(name, window)
        size = self._run(["identify", "-format", "%w %h", path]).split()
        raw = path[:-4] + ".rgb"
        self._run(["stream", "-map", "rgb", "-storage-type", "char", path, raw])
        with open(raw, "rb") as data:
            rgb = data.read()
        os.remove(raw)
        return Image(path, int(size[0]), int(size[1]), rgb)

    def wait_image(self, what, name, window, accept, timeout=20):
        """The first screenshot of the window that `accept(image)` takes,
        one tried every tenth of a second."""
        def taken():
            image = self.image(name, window)
            return image if accept(image) else None

        return self.wait_for(what, taken, timeout)

    # ---- What the program wrote ----

    def read_back(self, kind, name):
        """The lines korvane_e2e_check prints for the file of the work folder."""
        done = subprocess.run([self.checker, kind, os.path.join(self.work, name)], capture_output=True, text=True,
                              timeout=120)
        if done.returncode != 0:
            raise ScenarioFailed(f"{name} does not read as a {kind} file: {done.stderr.strip()}")
        return done.stdout.splitlines()

    def folder_state(self):
        """What the scenario's folder holds (beside the toolkit's home): the
        digest of each file, by its path."""
        state = {}
        for top, folders, files in os.walk(self.root):
            if top == self.root:
                folders.remove("home")
            for name in files:
                path = os.path.join(top, name)
                with open(path, "rb") as data:
                    state[os.path.relpath(path, self.root)] = hashlib.sha256(data.read()).hexdigest()
        return state


# The loudspeakers' colour in the views of kdn and kv.
SYMBOL = (0x6A, 0xD5, 0x00)


def level_map_pixels(image):
    """The pixels of a level map's colour scale in kdn's and kv's result
    window: strong colours other than the loudspeakers' green and the
    audience areas' blue outline."""
    return image.count(lambda r, g, b: max(r, g, b) - min(r, g, b) > 150 and (r, g, b) != SYMBOL and
                       (r, g, b) != (0, 0, 255))


def expect(condition, text):
    if not condition:
        raise ScenarioFailed(text)
