"""Runs the utility under Wine and drives it as a user would, through the
driver program (driver.exe): find the open dialog, pick a file or cancel,
read the message box and the clipboard, press OK. Runs inside the private
Wine session of scripts/with-wine.sh (DISPLAY and WINEPREFIX set)."""
import contextlib
import json
import os
import subprocess
import time

TITLE = "Brelloway-Quintari V1.0"
LAST_VISITED = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\LastVisitedMRU"


def windows_path(path):
    """The path as the Windows program sees it: Wine maps drive Z: to /."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def ascii_argument(text):
    """Arguments travel as ASCII with \\uXXXX escapes, whatever the locale."""
    return json.dumps(text)[1:-1]


def wait_for_path(path, timeout=30):
    end = time.monotonic() + timeout
    while not os.path.exists(path):
        if time.monotonic() > end:
            raise TimeoutError(path)
        time.sleep(0.05)


class Session:
    def __init__(self, build_dir, start_dir=None):
        build_dir = os.path.abspath(build_dir)
        self.exe = os.path.join(build_dir, "brelloway-quintari.exe")
        self.driver_exe = os.path.join(build_dir, "tests", "e2e", "driver.exe")
        self.process = None
        # The dialog opens in the program's current directory: a small one, so
        # that it never lists the large files of the tests.
        self.start_dir = start_dir or os.path.join(build_dir, "e2e-start")
        os.makedirs(self.start_dir, exist_ok=True)

    def driver(self, *args, timeout=60, check=True):
        """Runs one driver command and returns its JSON answer."""
        result = subprocess.run(["wine", self.driver_exe, *[ascii_argument(a) for a in args]],
                                capture_output=True, text=True, timeout=timeout)
        if check and result.returncode != 0:
            raise RuntimeError(f"driver {args} failed ({result.returncode}): {result.stdout} {result.stderr}")
        lines = [line for line in result.stdout.splitlines() if line.startswith("{")]
        return json.loads(lines[-1]) if lines else {}

    def prepare_prefix(self):
        """With no window manager on the display, let Wine draw title bars
        itself (so screenshots show them) and tell it no manager will come
        (else it waits two seconds for one whenever an active window closes).
        The windows' Win32 state is Wine's own either way."""
        for value in ("Decorated", "Managed"):
            subprocess.run(["wine", "reg", "add", "HKCU\\Software\\Wine\\X11 Driver", "/v", value, "/t", "REG_SZ",
                            "/d", "N", "/f"], capture_output=True, check=True)

    def spawn_driver(self, *args):
        """Starts a driver command that keeps running (a holder) and returns its process."""
        return subprocess.Popen(["wine", self.driver_exe, *[ascii_argument(a) for a in args]],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    @contextlib.contextmanager
    def holding(self, command, *args):
        """Runs a holder command of the driver (hold-file, hold-clipboard)
        until the block ends; it holds once it has made its ready file."""
        ready = os.path.join(self.start_dir, "holder-ready")
        holder = self.spawn_driver(command, *args, windows_path(ready))
        try:
            wait_for_path(ready)
            yield
        finally:
            if os.path.exists(ready):
                os.remove(ready)
            holder.wait(timeout=60)

    def start(self, *arguments):
        # Forget the folder of the last pick, where the dialog would open otherwise.
        subprocess.run(["wine", "reg", "delete", LAST_VISITED, "/f"], capture_output=True)
        self.process = subprocess.Popen(["wine", self.exe, *arguments], cwd=self.start_dir,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self.process

    def wait(self, timeout=120):
        return self.process.wait(timeout=timeout)

    def stop(self):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()

    def screenshot(self, png_path, rect=None, margin=8):
        """Saves the X display, or the rectangle [left, top, right, bottom]
        of it with a margin, as PNG (xwd and netpbm)."""
        os.makedirs(os.path.dirname(png_path), exist_ok=True)
        xwd = subprocess.run(["xwd", "-root", "-silent"], capture_output=True, check=True).stdout
        pnm = subprocess.run(["xwdtopnm"], input=xwd, capture_output=True, check=True).stdout
        if rect:
            left, top = max(rect[0] - margin, 0), max(rect[1] - margin, 0)
            cut = ["pnmcut", "-left", str(left), "-top", str(top),
                   "-width", str(rect[2] - rect[0] + 2 * margin), "-height", str(rect[3] - rect[1] + 2 * margin)]
            pnm = subprocess.run(cut, input=pnm, capture_output=True, check=True).stdout
        png = subprocess.run(["pnmtopng"], input=pnm, capture_output=True, check=True).stdout
        with open(png_path, "wb") as f:
            f.write(png)

    def report(self, path, screenshots=None, typed=None):
        """Runs the utility on one file and returns what the user gets:
        the dialog, the message box, the clipboard and the exit code. The
        user types the file's full path, or the given text."""
        self.start()
        try:
            dialog = self.driver("dialog")
            self.driver("set-name", typed or windows_path(path))
            if screenshots:
                self.screenshot(os.path.join(screenshots, "dialog.png"), dialog["rect"])
            self.driver("open")
            box = self.driver("message")
            if screenshots:
                self.screenshot(os.path.join(screenshots, "result.png"), box["rect"])
            clipboard = self.driver("clipboard")
            self.driver("ok")
            code = self.wait()
        finally:
            self.stop()
        return {"dialog": dialog, "box": box, "clipboard": clipboard, "exit": code}
