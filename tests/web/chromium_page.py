"""A page in Debian's headless Chromium, driven through the DevTools protocol
over the browser's own pipe (--remote-debugging-pipe): no driver, no
websocket library, no browser download."""
import base64
import json
import os
import shutil
import subprocess
import tempfile
import time

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--remote-debugging-pipe", "--window-size=1400,900", "about:blank",
]


class ProtocolError(RuntimeError):
    pass


class ChromiumPage:
    """One tab. evaluate() runs JavaScript in it and returns the value."""

    def __init__(self, chromium="/usr/bin/chromium", width=1400, height=900):
        self.profile = tempfile.mkdtemp(prefix="propclear-chromium-")
        to_browser_read, self._to_browser = os.pipe()
        self._from_browser, from_browser_write = os.pipe()
        # The browser reads commands on its descriptor 3 and answers on 4;
        # copies first, so that neither end overwrites the other.
        def hand_over():
            read_end, write_end = os.dup(to_browser_read), os.dup(from_browser_write)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)

        self.process = subprocess.Popen(
            [chromium, f"--user-data-dir={self.profile}", *CHROMIUM_FLAGS],
            pass_fds=(3, 4), preexec_fn=hand_over,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_read)
        os.close(from_browser_write)
        self._buffer = b""
        self._next_id = 0
        self._listener = None  # told of every event the browser sends
        self.session = None
        target = self.command("Target.createTarget", url="about:blank")["targetId"]
        self.session = self.command("Target.attachToTarget", targetId=target,
                                    flatten=True)["sessionId"]
        self.command("Emulation.setDeviceMetricsOverride", width=width, height=height,
                     deviceScaleFactor=1, mobile=False)

    def close(self):
        try:
            self.command("Browser.close", in_session=False)
        except (ProtocolError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *_):
        self.close()

    def command(self, method, in_session=True, **params):
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if in_session and self.session:
            message["sessionId"] = self.session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        while True:
            reply = self._read_message()
            if reply.get("id") == self._next_id:
                if "error" in reply:
                    raise ProtocolError(f"{method}: {reply['error']}")
                return reply.get("result", {})

    def _read_message(self):
        while b"\0" not in self._buffer:
            chunk = os.read(self._from_browser, 1 << 20)
            if not chunk:
                raise ProtocolError("the browser closed its pipe")
            self._buffer += chunk
        message, self._buffer = self._buffer.split(b"\0", 1)
        message = json.loads(message)
        if self._listener and "method" in message:
            self._listener(message)
        return message

    def traced(self, categories, action):
        """Runs action() under Chromium's tracing of `categories` (a comma
        list): its result, and the trace events recorded meanwhile."""
        events, complete = [], []

        def collect(message):
            if message["method"] == "Tracing.dataCollected":
                events.extend(message["params"]["value"])
            elif message["method"] == "Tracing.tracingComplete":
                complete.append(True)

        self._listener = collect
        try:
            self.command("Tracing.start", in_session=False, categories=categories,
                         transferMode="ReportEvents")
            result = action()
            self.command("Tracing.end", in_session=False)
            while not complete:
                self._read_message()
        finally:
            self._listener = None
        return result, events

    def open(self, url):
        self.command("Page.enable")
        self.command("Page.navigate", url=url)

    def evaluate(self, expression, await_promise=True):
        result = self.command("Runtime.evaluate", expression=expression, returnByValue=True,
                              awaitPromise=await_promise)
        if "exceptionDetails" in result:
            raise ProtocolError(f"{expression[:80]}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=30.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                if self.evaluate(expression):
                    return
            except ProtocolError:
                pass
            time.sleep(0.02)
        raise ProtocolError(f"timed out waiting for {expression}")

    def mouse(self, kind, x, y, buttons=1):
        self.command("Input.dispatchMouseEvent", type=kind, x=x, y=y, button="left",
                     buttons=buttons, clickCount=1 if kind != "mouseMoved" else 0)

    def allow_downloads(self, folder):
        self.command("Browser.setDownloadBehavior", in_session=False, behavior="allow",
                     downloadPath=str(folder))

    def screenshot(self, path, **options):
        data = self.command("Page.captureScreenshot", format="png", **options)["data"]
        with open(path, "wb") as file:
            file.write(base64.b64decode(data))
