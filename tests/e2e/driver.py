"""Drives Windows programs under Wine and Xvfb as a person would: clicks
and pointer moves with xdotool, message boxes read and answered with the
wintool helper, screenshots with ImageMagick's import.

Coordinates given to the helpers here are layout coordinates of the
installer's window (440 x 540, placed at 50, 50 on the screen at 96 dpi);
at another dpi (set_dpi) they are scaled as the window scales them.
"""

import math
import os
import subprocess
import time

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
BUILD = os.environ.get("E2E_BUILD", os.path.join(ROOT, "build", "windows"))
WINE_RUN = os.path.join(ROOT, "tools", "wine-run")
SHOTS = os.path.join(BUILD, "screenshots")
WINE_STATE = os.path.join(ROOT, "build", "wine")
WINDOW_CLASS = "TaVoliInstallerWindow"
LAYOUT_WIDTH, LAYOUT_HEIGHT = 440, 540
DPI = 96


def at_scale(layout):
    """A layout coordinate in device pixels, rounded as the window rounds it."""
    return int(math.floor(layout * DPI / 96.0 + 0.5))


def window_origin():
    return at_scale(50), at_scale(50)


def set_dpi(dpi):
    """The dpi Wine gives the programs started from now on (its LogPixels)."""
    global DPI
    for key in (r"HKCU\Control Panel\Desktop", r"HKCC\Software\Fonts"):
        subprocess.run([WINE_RUN, "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    DPI = dpi


def exe(name):
    for folder in (BUILD, os.path.join(BUILD, "tests")):
        path = os.path.join(folder, name)
        if os.path.exists(path):
            return path
    raise FileNotFoundError(name)


def display():
    """The display that wine-run uses (its private Xvfb when none is set)."""
    if os.environ.get("DISPLAY"):
        return os.environ["DISPLAY"]
    path = os.path.join(WINE_STATE, "xvfb.display")
    if not os.path.exists(path) or not _display_alive(_read(path)):
        subprocess.run([WINE_RUN, "cmd", "/c", "exit", "0"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return _read(path)


def _read(path):
    with open(path, encoding="utf-8") as f:
        return f.read().strip()


def _display_alive(disp):
    return os.path.exists("/tmp/.X11-unix/X" + disp.lstrip(":")) and _recorded_alive("xvfb.pid", "Xvfb")


def _recorded_alive(pid_file, program):
    """Whether the process whose id wine-run wrote down still runs program."""
    try:
        with open(os.path.join(WINE_STATE, pid_file)) as f:
            pid = f.read().strip()
        with open("/proc/%s/cmdline" % pid, "rb") as f:
            return program.encode() in f.read()
    except (OSError, ValueError):
        return False


def x_env():
    env = dict(os.environ)
    env["DISPLAY"] = display()
    return env


def grey_desktop():
    """A mid-grey desktop, so that the window's shadow shows. The
    compositing manager that wine-run starts paints one itself; a root
    picture set behind its back would make it blend frames on top of each
    other."""
    if not os.environ.get("DISPLAY") and _recorded_alive("xcompmgr.pid", "xcompmgr"):
        return
    tile = os.path.join(SHOTS, ".grey.png")
    os.makedirs(SHOTS, exist_ok=True)
    if not os.path.exists(tile):
        subprocess.run(["convert", "-size", "8x8", "xc:#808080", tile], check=True)
    subprocess.run(["display", "-window", "root", tile], env=x_env(), check=False)


class Program:
    """A Windows program started under Wine in the background."""

    started = []  # programs still running, ended by stop_programs

    def __init__(self, path, *args, env=None):
        full_env = x_env()
        if env:
            full_env.update(env)
        self.proc = subprocess.Popen([WINE_RUN, path] + list(args), env=full_env,
                                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True,
                                     encoding="utf-8", errors="replace")
        Program.started.append(self)

    def _forget(self):
        if self in Program.started:
            Program.started.remove(self)
        self.proc.stdout.close()

    def wait(self, timeout=60):
        """Exit code of the Windows program."""
        code = self.proc.wait(timeout=timeout)
        self._forget()
        return code

    def running(self):
        return self.proc.poll() is None

    def kill(self):
        if self.running():
            self.proc.kill()
            self.proc.wait(timeout=10)
        self._forget()

    def read_line(self, timeout=20):
        """The next line the program printed (for the harness programs)."""
        import select
        end = time.time() + timeout
        while time.time() < end:
            r, _, _ = select.select([self.proc.stdout], [], [], 0.2)
            if r:
                line = self.proc.stdout.readline()
                if line:
                    return line.rstrip("\n")
                return None
        return None


def start_harness(*args):
    """The UI harness showing the window in the state the arguments give;
    returns the program once it has said "ready" (None if it never did)
    and its window is up."""
    app = Program(exe("ui_harness.exe"), *args)
    line = app.read_line(60)  # a busy machine may take a while to start Wine
    while line is not None and line != "ready":
        line = app.read_line(60)
    if line != "ready" or wait_for_window() is None:
        app.kill()
        return None
    return app


def wintool(*args, timeout=60):
    """Runs the helper; returns (exit code, stdout)."""
    r = subprocess.run([WINE_RUN, exe("wintool.exe")] + [str(a) for a in args], env=x_env(),
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout)
    return r.returncode, r.stdout.decode("utf-8", "replace").strip()


def acctool(*args, timeout=60):
    """The screen-reader test client; returns (exit code, stdout)."""
    r = subprocess.run([WINE_RUN, exe("acctool.exe")] + [str(a) for a in args], env=x_env(),
                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=timeout)
    return r.returncode, r.stdout.decode("utf-8", "replace").replace("\r\n", "\n").strip()


def answer_box(caption, button, timeout_ms=30000):
    """Waits for a message box with the caption, presses the button and
    returns its text; None when no box came."""
    code, text = wintool("box", caption, button, timeout_ms, timeout=timeout_ms / 1000 + 30)
    return text if code == 0 else None


def no_box(caption, ms=1500):
    code, _ = wintool("nobox", caption, ms)
    return code == 0


def window_state(cls=WINDOW_CLASS):
    code, out = wintool("window", cls)
    if code != 0:
        return None
    return {k: int(v) for k, v in (item.split("=") for item in out.split())}


def wait_for(condition, timeout=20, interval=0.1):
    """Calls condition() until it gives a true value or the deadline has
    passed; returns that value, or the last one seen."""
    end = time.time() + timeout
    while True:
        value = condition()
        if value or time.time() >= end:
            return value
        time.sleep(interval)


def wait_for_window(cls=WINDOW_CLASS, timeout=30):
    """The window's state once it is visible and painted (its white panel
    shows), or None."""
    def shown():
        state = window_state(cls)
        return state if state and state["visible"] else None
    state = wait_for(shown, timeout, 0.2)
    if state and cls == WINDOW_CLASS:
        painted, _ = expect_shot("_painted", lambda shot: shot.pixel(40, 480) == (255, 255, 255), timeout)
        if not painted:
            return None
    return state


def dialog_shown():
    state = window_state("#32770")
    return state if state and state["visible"] else None


def _xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], env=x_env(), check=True)


def _screen(x, y):
    left, top = window_origin()
    return left + at_scale(x), top + at_scale(y)


def move_to(x, y):
    _xdotool("mousemove", *_screen(x, y))
    time.sleep(0.3)


def click(x, y):
    _xdotool("mousemove", *_screen(x, y))
    time.sleep(0.15)
    _xdotool("click", "1")
    time.sleep(0.3)


def key(name):
    _xdotool("key", name)
    time.sleep(0.3)


def type_text(text):
    _xdotool("type", "--delay", "30", text)
    time.sleep(0.3)


class Shot:
    """A screenshot of the window's area; pixel() takes layout coordinates,
    device_pixel() the screenshot's own."""

    def __init__(self, name):
        os.makedirs(SHOTS, exist_ok=True)
        self.path = os.path.join(SHOTS, name + ".png")
        left, top = window_origin()
        subprocess.run(["import", "-window", "root", "-crop",
                        "%dx%d+%d+%d" % (at_scale(LAYOUT_WIDTH), at_scale(LAYOUT_HEIGHT), left, top),
                        "+repage", self.path], env=x_env(), check=True)
        ppm = subprocess.run(["convert", self.path, "ppm:-"], check=True, stdout=subprocess.PIPE).stdout
        self.width, self.height, self.pixels = _parse_ppm(ppm)

    def device_pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def pixel(self, x, y):
        # The device pixel at the middle of the layout pixel.
        dx, dy = (int(math.floor((v + 0.5) * DPI / 96.0)) for v in (x, y))
        return self.device_pixel(min(dx, self.width - 1), min(dy, self.height - 1))

    def region(self, left, top, width, height):
        return [self.pixel(x, y) for y in range(top, top + height) for x in range(left, left + width)]


def _parse_ppm(data):
    parts = []
    i = 0
    while len(parts) < 4:
        while data[i:i + 1].isspace():
            i += 1
        if data[i:i + 1] == b"#":
            while data[i:i + 1] not in (b"\n", b""):
                i += 1
            continue
        j = i
        while not data[j:j + 1].isspace():
            j += 1
        parts.append(data[i:j])
        i = j
    i += 1
    width, height = int(parts[1]), int(parts[2])
    return width, height, data[i:i + width * height * 3]


def close_to(colour, expected, tolerance=24):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


def hex_rgb(text):
    v = int(text, 16)
    return (v >> 16) & 255, (v >> 8) & 255, v & 255


# ------------------------------------------------------------ the server side

FIXTURES = os.path.join(ROOT, "tests", "fixtures")
PREFIX_C = os.path.join(ROOT, "build", "wine", "prefix", "drive_c")


class TestServer:
    """The fault-injecting HTTP server on the installer's own address,
    127.0.0.1:5001, serving a folder."""

    def __init__(self, root, port=5001):
        self.root = root
        self.port = port
        os.makedirs(root, exist_ok=True)
        errors = os.path.join(BUILD, "e2e-state", "test-server.err")
        os.makedirs(os.path.dirname(errors), exist_ok=True)
        with open(errors, "w") as err:
            self.proc = subprocess.Popen(["python3", os.path.join(FIXTURES, "http_server.py"), "--root", root,
                                          "--port", str(port)], stdout=subprocess.PIPE, stderr=err, text=True)
        line = self.proc.stdout.readline()  # "serving ..." once it listens
        if not line.startswith("serving") or self.proc.poll() is not None:
            # Never talk to whatever else may listen on the port.
            self.proc.kill()
            with open(errors) as err:
                raise RuntimeError("the test server did not bind 127.0.0.1:%d: %s" % (port, err.read().strip()))

    def write(self, path, data):
        full = os.path.join(self.root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("utf-8"))

    def control(self, query):
        import urllib.request
        with urllib.request.urlopen("http://127.0.0.1:%d/__control/%s" % (self.port, query), timeout=10) as r:
            return r.read().decode("utf-8", "replace")

    def rule(self, path, **options):
        import urllib.parse
        self.control("rule?" + urllib.parse.urlencode(dict(path=path, **options)))

    def log(self):
        return self.control("log")

    def stop(self):
        if self.proc.poll() is None:
            self.proc.terminate()
            self.proc.wait(timeout=10)
        self.proc.stdout.close()


def manifest(version="V11", prompt="发现新版本，请更新后使用", extra=""):
    return ("\ufeff安装器版本号=（%s）\r\n更新提示=（%s）\r\n"
            "Quenra自销更新跳转=（http://127.0.0.1:5001/update/quenra.html）\r\n"
            "Quenra分销更新跳转=（http://127.0.0.1:5001/update/quenra-f.html）\r\n"
            "Tavoli自销更新跳转=（http://127.0.0.1:5001/update/tavoli.html）\r\n%s" % (version, prompt, extra))


def use_url_recorder():
    """Wine hands addresses to tests/fixtures/bin/url-recorder; returns the
    environment for the installer and the file where the addresses land."""
    subprocess.run([WINE_RUN, "reg", "add", r"HKCU\Software\Wine\WineBrowser", "/v", "Browsers", "/d",
                    "url-recorder", "/f"], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    record = os.path.join(BUILD, "e2e-state", "urls.txt")
    os.makedirs(os.path.dirname(record), exist_ok=True)
    if os.path.exists(record):
        os.remove(record)
    env = {"PATH": os.path.join(FIXTURES, "bin") + ":" + os.environ.get("PATH", ""), "URL_RECORD_FILE": record}
    return env, record


def wait_for_file(path, timeout=10):
    end = time.time() + timeout
    while time.time() < end:
        if os.path.exists(path) and os.path.getsize(path) > 0:
            with open(path, encoding="utf-8") as f:
                return f.read()
        time.sleep(0.1)
    return None


def appdata_install_folder():
    return os.path.join(PREFIX_C, "users", os.environ.get("USER", "root"), "AppData", "Roaming", "TaVoli")


# What the tests start, directly or through the installer.
OUR_PROGRAMS = ("installer.exe", "installer_signed.exe", "ui_harness.exe", "sample_product.exe", "*助手.exe")


def stop_programs():
    """Ends the programs the tests started: the Wine processes they launched,
    by process id, then whatever of ours is left inside this checkout's own
    Wine prefix (the product the installer started, say). Nothing outside
    the prefix is touched."""
    for program in list(Program.started):
        program.kill()
    code, out = wintool("end", *OUR_PROGRAMS)
    if code != 0:
        raise RuntimeError("could not end the tests' programs: %s" % out)


def install_folder_unix(windows_path):
    """The host path of a folder on the prefix's C: drive."""
    assert windows_path[1:3] == ":\\"
    return os.path.join(PREFIX_C, windows_path[3:].replace("\\", "/"))


def desktop_folder():
    return os.path.join(PREFIX_C, "users", os.environ.get("USER", "root"), "Desktop")


def expect_shot(name, check, timeout=20, interval=0.1):
    """Takes screenshots until check(shot) holds or the deadline passes;
    returns (held, last shot), the last one kept as NAME.png, so that a
    failing test can say what it saw."""
    end = time.time() + timeout
    while True:
        shot = Shot(name)
        if check(shot):
            return True, shot
        if time.time() >= end:
            return False, shot
        time.sleep(interval)


def wait_for_page(check, timeout=120, interval=0.5):
    """Takes screenshots until check(shot) holds; returns the shot or None."""
    held, shot = expect_shot("_polling", check, timeout, interval)
    return shot if held else None


def is_finish_page(shot):
    # The blue circle of the check mark and the run button.
    return close_to(shot.pixel(217, 174), hex_rgb("3B98FF"), 40) and close_to(shot.pixel(133, 375), hex_rgb("398DFF"), 30)


def is_quick_install_page(shot):
    return close_to(shot.pixel(120, 379), hex_rgb("398DFF"), 30) and shot.pixel(40, 100) == (255, 255, 255)


def is_install_page(shot):
    # White where the other pages have their banner or button, and neither
    # the finish page's check mark nor its run button.
    return (shot.pixel(40, 100) == (255, 255, 255) and shot.pixel(120, 379) == (255, 255, 255)
            and not close_to(shot.pixel(210, 249), hex_rgb("3B98FF"), 60)
            and not close_to(shot.pixel(133, 375), hex_rgb("398DFF"), 60))


def is_custom_install_page(shot):
    return close_to(shot.pixel(40, 100), hex_rgb("398DFF"), 12) and shot.pixel(40, 260) == (255, 255, 255)


def button_not_hovered(shot, x=120, y=379):
    """The quick-install button in its normal blue (398DFF), not the
    lighter hover image (39A4FF): the two differ by 23 in green."""
    r, g, b = shot.pixel(x, y)
    return close_to((r, g, b), hex_rgb("398DFF"), 12) and g < 0x99
