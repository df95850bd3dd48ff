#!/usr/bin/python3
"""Auto setup of a simulated 3 x 3 wall, driven over AT-SPI as a screen reader or an installer's
automation drives Ordalis: Layout Setup, Auto Setup, Next, then OK on the outcome box.

While the setup runs, the program must keep answering accessibility calls: every call's round trip
is measured, and the longest must stay below MAX_ROUND_TRIP_S. Afterwards the simulated displays
must hold the Monitor IDs 1 to 9.

Everything runs in a world of its own: a temporary HOME and XDG folders, an Xvfb display, a D-Bus
session bus and the accessibility bus. Every process is started in a process group of its own and
stopped at the end.
"""

import argparse
import os
import queue
import select
import signal
import subprocess
import sys
import tempfile
import threading
import time
import traceback

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

MAX_ROUND_TRIP_S = 0.25
POLL_PERIOD_S = 0.075
COLUMNS, ROWS = 3, 3
LAN_CONNECTION = 1
AT_SPI_LIBEXEC = "/usr/libexec"


class Failure(Exception):
    pass


def deadline_after(seconds):
    return time.monotonic() + seconds


def remaining(deadline):
    return max(0.0, deadline - time.monotonic())


class World:
    """The processes of the test and the environment they share."""

    def __init__(self, root):
        self.root = root
        self.processes = []
        home = os.path.join(root, "home")
        runtime = os.path.join(root, "run")
        for folder in (home, runtime):
            os.makedirs(folder, mode=0o700)
        self.config = os.path.join(home, ".config")
        self.data = os.path.join(root, "data")
        os.makedirs(self.config)
        os.makedirs(self.data)
        env = {key: value for key, value in os.environ.items()
               if not key.startswith(("DISPLAY", "WAYLAND", "DBUS_", "AT_SPI", "XDG_", "QT_"))}
        env.update({
            "HOME": home,
            "XDG_CONFIG_HOME": self.config,
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_RUNTIME_DIR": runtime,
        })
        self.env = env

    def log(self, name):
        return os.path.join(self.root, name + ".log")

    def start(self, name, argv, **kwargs):
        """Starts argv in a process group of its own; what it prints goes to its log unless the
        caller reads it."""
        kwargs.setdefault("stdin", subprocess.DEVNULL)
        with open(self.log(name), "ab") as log:
            kwargs.setdefault("stdout", log)
            kwargs.setdefault("stderr", subprocess.STDOUT if kwargs["stdout"] is log else log)
            try:
                process = subprocess.Popen(argv, env=self.env, start_new_session=True, **kwargs)
            except OSError as error:
                raise Failure(f"cannot start {name} ({argv[0]}): {error}") from error
        self.processes.append((name, process))
        return process

    def stop_all(self):
        for name, process in reversed(self.processes):
            stop_group(name, process)
        self.processes.clear()


def stop_group(name, process):
    """SIGTERM to the process's group, SIGKILL to what is left of it after a grace period."""
    for sig, grace in ((signal.SIGTERM, 3.0), (signal.SIGKILL, 3.0)):
        try:
            os.killpg(process.pid, sig)
        except ProcessLookupError:
            break
        try:
            process.wait(timeout=grace)
        except subprocess.TimeoutExpired:
            continue
        # The leader is gone; helpers it started in its group may still be ending.
        end = deadline_after(grace)
        while group_alive(process.pid) and remaining(end) > 0:
            time.sleep(0.05)
        if not group_alive(process.pid):
            break
    if process.poll() is None or group_alive(process.pid):
        print(f"warning: {name} (group {process.pid}) did not stop", file=sys.stderr)


def group_alive(pgid):
    try:
        os.killpg(pgid, 0)
        return True
    except ProcessLookupError:
        return False
    except PermissionError:
        return True


class LineReader:
    """Reads a process's output on a thread so that it never blocks on a full pipe."""

    def __init__(self, stream):
        self.lines = queue.Queue()
        self.seen = []
        thread = threading.Thread(target=self._pump, args=(stream,), daemon=True)
        thread.start()

    def _pump(self, stream):
        for raw in stream:
            line = raw.decode(errors="replace").rstrip("\n")
            self.seen.append(line)
            self.lines.put(line)
        self.lines.put(None)

    def next_line(self, deadline):
        try:
            return self.lines.get(timeout=remaining(deadline))
        except queue.Empty:
            return None


def start_xvfb(world):
    read_end, write_end = os.pipe()
    world.start("Xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                         "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,))
    os.close(write_end)
    deadline = deadline_after(15)
    number = b""
    while not number.endswith(b"\n"):
        ready, _, _ = select.select([read_end], [], [], remaining(deadline))
        if not ready:
            raise Failure("Xvfb did not report its display number within 15 s")
        chunk = os.read(read_end, 16)
        if not chunk:
            raise Failure("Xvfb ended before it reported its display number")
        number += chunk
    os.close(read_end)
    world.env["DISPLAY"] = ":" + number.decode().strip()


def start_session_bus(world):
    bus = world.start("dbus-daemon", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                      "--address=unix:path=" + os.path.join(world.root, "bus"),
                                      "--print-address=1"],
                      stdout=subprocess.PIPE)
    reader = LineReader(bus.stdout)
    address = reader.next_line(deadline_after(10))
    if not address:
        raise Failure("dbus-daemon did not print the session bus address within 10 s")
    world.env["DBUS_SESSION_BUS_ADDRESS"] = address


def bus_call(address, destination, path, interface, method, arguments, reply_type):
    connection = Gio.DBusConnection.new_for_address_sync(
        address,
        Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
        None, None)
    try:
        reply = connection.call_sync(destination, path, interface, method, arguments,
                                     GLib.VariantType(reply_type), Gio.DBusCallFlags.NONE, 5000, None)
        return reply.unpack()[0]
    finally:
        connection.close_sync(None)


def wait_for_bus_name(address, name, seconds, what):
    deadline = deadline_after(seconds)
    try:
        while not bus_call(address, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                           "org.freedesktop.DBus", "NameHasOwner", GLib.Variant("(s)", (name,)), "(b)"):
            if remaining(deadline) == 0:
                raise Failure(f"{what} did not take {name} on the bus within {seconds} s")
            time.sleep(0.05)
    except GLib.Error as error:
        raise Failure(f"waiting for {what} ({name}): {error.message}") from error


def start_accessibility_bus(world):
    # Started here rather than activated by the session bus, so that it runs in a group of ours.
    world.start("at-spi-bus-launcher", [os.path.join(AT_SPI_LIBEXEC, "at-spi-bus-launcher"),
                                        "--launch-immediately"])
    session = world.env["DBUS_SESSION_BUS_ADDRESS"]
    wait_for_bus_name(session, "org.a11y.Bus", 15, "at-spi-bus-launcher")
    a11y = bus_call(session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None, "(s)")
    world.start("at-spi2-registryd", [os.path.join(AT_SPI_LIBEXEC, "at-spi2-registryd")])
    wait_for_bus_name(a11y, "org.a11y.atspi.Registry", 15, "at-spi2-registryd")


def start_wall(world, wallsim):
    ids = ",".join(["1"] * (COLUMNS * ROWS))
    sim = world.start("ordalis-wallsim",
                      [wallsim, "--displays", str(COLUMNS * ROWS), "--ids", ids,
                       "--lan", "127.0.0.1:0", "--log", wall_log(world), "--exit-with-parent"],
                      stdout=subprocess.PIPE)
    reader = LineReader(sim.stdout)
    deadline = deadline_after(10)
    port = None
    while True:
        line = reader.next_line(deadline)
        if line is None:
            raise Failure("ordalis-wallsim was not ready within 10 s: " + " | ".join(reader.seen))
        if line.startswith("lan "):
            port = int(line.rsplit(":", 1)[1])
        if line == "ready":
            break
    if port is None:
        raise Failure("ordalis-wallsim printed no LAN port: " + " | ".join(reader.seen))
    return port


def wall_log(world):
    return world.log("wall")


def lan_events(world):
    """The simulated LAN module's connection events so far."""
    with open(wall_log(world), errors="replace") as log:
        return [line.split("| ", 1)[1].strip() for line in log if " lan event | " in line]


def wait_for_settled_connection(world, ordalis_process, settle_s=1.5, seconds=15):
    """Waits until Ordalis holds a connection to the LAN module and has neither dropped nor made one
    for settle_s, longer than a round of its connection keeper."""
    deadline = deadline_after(seconds)
    events = lan_events(world)
    steady_since = time.monotonic()
    while True:
        now_events = lan_events(world)
        if now_events != events:
            events, steady_since = now_events, time.monotonic()
        connected = bool(events) and events[-1].startswith("connected")
        if connected and time.monotonic() - steady_since >= settle_s:
            return
        if ordalis_process.poll() is not None:
            raise Failure(f"Ordalis ended before it connected (status {ordalis_process.returncode})")
        if remaining(deadline) == 0:
            raise Failure(f"Ordalis held no steady connection to the simulated LAN module within "
                          f"{seconds} s (events: {events[-4:]})")
        time.sleep(0.05)


def write_settings(world, port):
    # Video Wall Config: rows, columns << 4, connection kind << 8, and the "set" bit 0x1000.
    config = ROWS + COLUMNS * 16 + LAN_CONNECTION * 256 + 4096
    store = os.path.join(world.config, "Corvane")
    os.makedirs(store)
    with open(os.path.join(store, "Tavrin.conf"), "w") as settings:
        settings.write("[Standard]\n"
                       f"Video%20Wall%20Config={config}\n"
                       "Display%20Model=0\n"
                       "Project%20ID=24\n"
                       "IP%20Address=127.0.0.1\n"
                       f"Telnet%20Port={port}\n")
    with open(os.path.join(world.data, "IP_Default.txt"), "w") as addresses:
        addresses.write("<<<Ordalis: IP Settings>>>\n")


def start_ordalis(world, ordalis):
    saved = world.env
    world.env = dict(saved, ORDALIS_DATA_DIR=world.data, QT_QPA_PLATFORM="xcb",
                     QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    try:
        return world.start("ordalis", [ordalis])
    finally:
        world.env = saved


class Probe:
    """Accessibility calls on the program, each one's round trip measured."""

    def __init__(self):
        self.started = time.monotonic()
        self.round_trips = []  # (round trip, what, start since the probe's start), in seconds

    def call(self, what, function):
        start = time.monotonic()
        try:
            return function()
        finally:
            self.round_trips.append((time.monotonic() - start, what, start - self.started))

    def longest(self):
        return max(self.round_trips, default=(0.0, "no call", 0.0))


def children(acc):
    return [acc.getChildAtIndex(i) for i in range(acc.childCount)]


def find_descendant(root, role, name=None, prune=()):
    """Breadth first; the subtrees of roles in prune (tables, lists) are not searched."""
    level = [root]
    while level:
        below = []
        for acc in level:
            for child in children(acc):
                if child is None:
                    continue
                child_role = child.getRole()
                if child_role == role and (name is None or child.name == name):
                    return child
                if child_role not in prune:
                    below.append(child)
        level = below
    return None


def wait_for(what, seconds, find):
    """Retries find until it returns something; windows that close while it looks count as not yet."""
    deadline = deadline_after(seconds)
    last_error = ""
    while True:
        try:
            found = find()
            if found is not None:
                return found
        except GLib.Error as error:
            last_error = f" (last error: {error.message})"
        if remaining(deadline) == 0:
            raise Failure(f"{what} not found within {seconds} s{last_error}")
        time.sleep(0.1)


def press(acc, what):
    action = acc.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for index, name in enumerate(names):
        if name.lower() in ("press", "click"):
            action.doAction(index)
            return
    raise Failure(f"{what} offers no press action (actions: {names})")


def find_application(pyatspi, pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in children(desktop):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def window_named(app, name):
    for window in children(app):
        if window is not None and window.name == name:
            return window
    return None


def window_with_label(pyatspi, window, texts):
    """The text of the first label of the window that is one of texts, or None."""
    for acc in children(window):
        if acc is not None and acc.getRole() == pyatspi.ROLE_LABEL and acc.name in texts:
            return acc.name
    return None


def drive_auto_setup(pyatspi, world, ordalis_process):
    from gi.repository import Atspi

    # A frozen program must show as a long round trip, not as the library's 800 ms timeout.
    Atspi.set_timeout(30000, 30000)
    app = wait_for("Ordalis on the accessibility bus", 30,
                   lambda: find_application(pyatspi, ordalis_process.pid))
    # Every call goes to the program itself, never to the library's cache.
    app.setCacheMask(Atspi.Cache.NONE)
    tables = (pyatspi.ROLE_TABLE, pyatspi.ROLE_LIST, pyatspi.ROLE_TREE_TABLE)

    home = wait_for("the home page's window", 15,
                    lambda: next((w for w in children(app) if w is not None
                                  and find_descendant(w, pyatspi.ROLE_PUSH_BUTTON, "Layout Setup",
                                                      tables)), None))
    press(find_descendant(home, pyatspi.ROLE_PUSH_BUTTON, "Layout Setup", tables),
          '"Layout Setup" on the home page')

    wizard = wait_for('the "Video Wall Layout Wizard" dialog', 15,
                      lambda: window_named(app, "Video Wall Layout Wizard"))
    auto_setup = wait_for('"Auto Setup" in the layout wizard', 10,
                          lambda: find_descendant(wizard, pyatspi.ROLE_PUSH_BUTTON, "Auto Setup",
                                                  tables))
    press(auto_setup, '"Auto Setup" in the layout wizard')

    choice = wait_for('the "Auto Setup" choice dialog', 15,
                      lambda: window_named(app, "Auto Setup"))
    next_button = wait_for('"Next" in the "Auto Setup" dialog', 10,
                           lambda: find_descendant(choice, pyatspi.ROLE_PUSH_BUTTON, "Next"))
    # Leaving the wizard may rebuild the LAN connection, which the keeper makes again within a
    # second; as an installer would, Next waits until the wall is reached.
    wait_for_settled_connection(world, ordalis_process)

    bar_values = []
    progress_names = []
    outcome_texts = ("Auto Setup Finished!",)
    press(next_button, '"Next" in the "Auto Setup" dialog')
    probe = Probe()
    known = {"Video Wall Layout Wizard", "Auto Setup", home.name}
    progress_box = bar = None
    outcome = None
    deadline = deadline_after(60)
    while outcome is None:
        if remaining(deadline) == 0:
            raise Failure("the outcome box \"Auto Setup Finished!\" was not shown within 60 s "
                          f"of Next (progress bar values seen: {bar_values})")
        period_end = time.monotonic() + POLL_PERIOD_S
        count = probe.call("application child count", lambda: app.childCount)
        for index in range(count):
            window = probe.call("window", lambda: app.getChildAtIndex(index))
            if window is None:
                continue
            name = probe.call("window name", lambda: window.name)
            if progress_box is None and name not in known:
                bar = find_descendant(window, pyatspi.ROLE_PROGRESS_BAR)
                if bar is not None:
                    # The progress box has no title: it is the window with the progress bar.
                    progress_box = window
                    continue
            if window != progress_box and name not in known:
                # Any other new window is a message box: the outcome, or the failure it reports.
                labels = [acc.name for acc in children(window)
                          if acc is not None and acc.getRole() == pyatspi.ROLE_LABEL]
                text = next((label for label in labels if label in outcome_texts), None)
                if text is not None:
                    outcome = (window, text)
                elif any(labels):
                    raise Failure(f"the auto setup ended with another message: {labels}")
        if progress_box is not None and outcome is None:
            try:
                progress_names.append(probe.call("progress box name", lambda: progress_box.name))
                value = probe.call("progress bar value", lambda: bar.queryValue().currentValue)
                if not bar_values or bar_values[-1] != value:
                    bar_values.append(value)
            except (GLib.Error, NotImplementedError):
                # The box closed between two calls: the outcome box comes next.
                progress_box = bar = None
        if ordalis_process.poll() is not None:
            raise Failure(f"Ordalis ended during the auto setup (status {ordalis_process.returncode})")
        time.sleep(max(0.0, period_end - time.monotonic()))

    window, text = outcome
    ok = wait_for(f'"OK" in the "{text}" box', 10,
                  lambda: find_descendant(window, pyatspi.ROLE_PUSH_BUTTON, "OK"))
    press(ok, f'"OK" in the "{text}" box')
    wait_for(f'the "{text}" box to close', 10,
             lambda: None if any(w is not None and window_with_label(pyatspi, w, outcome_texts)
                                 for w in children(app)) else True)
    return probe, bar_values, sorted(set(progress_names))


def monitor_ids(cli, port, env):
    try:
        result = subprocess.run([cli, "read-all", "POW", "--lan", f"127.0.0.1:{port}"], env=env,
                                capture_output=True, text=True, timeout=20)
    except subprocess.TimeoutExpired as error:
        raise Failure("ordalis-cli read-all POW did not finish within 20 s") from error
    if result.returncode != 0:
        raise Failure(f"ordalis-cli read-all POW failed ({result.returncode}): {result.stderr}")
    return sorted(int(line.split()[0]) for line in result.stdout.splitlines() if line.strip())


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--ordalis", required=True)
    parser.add_argument("--wallsim", required=True)
    parser.add_argument("--cli", required=True)
    args = parser.parse_args()
    # A test runner's SIGTERM still stops everything the test started.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))

    with tempfile.TemporaryDirectory(prefix="ordalis-a11y-") as root:
        world = World(root)
        try:
            start_xvfb(world)
            start_session_bus(world)
            start_accessibility_bus(world)
            port = start_wall(world, args.wallsim)
            write_settings(world, port)
            # The library finds the accessibility bus through the session bus, as Ordalis does.
            for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "HOME"):
                os.environ[key] = world.env[key]
            import pyatspi

            ordalis = start_ordalis(world, args.ordalis)
            probe, bar_values, progress_names = drive_auto_setup(pyatspi, world, ordalis)
            # The LAN module takes one client at a time: Ordalis lets go before the read-back.
            name, process = world.processes.pop()
            stop_group(name, process)
            ids = monitor_ids(args.cli, port, world.env)
        except (Failure, GLib.Error) as failure:
            if isinstance(failure, Failure):
                print(f"FAIL: {failure}")
            else:
                traceback.print_exc()
                print(f"FAIL: accessibility call failed: {failure.message}")
            for log in sorted(name for name in os.listdir(root) if name.endswith(".log")):
                with open(os.path.join(root, log), errors="replace") as text:
                    tail = text.readlines()[-40:]
                if tail:
                    print(f"--- {log} (last lines)\n" + "".join(tail), end="")
            return 1
        finally:
            world.stop_all()

    longest, what, when = probe.longest()
    slow = [f"{at:.2f} s: {trip * 1000:.0f} ms" for trip, _, at in probe.round_trips
            if trip >= MAX_ROUND_TRIP_S]
    print(f"accessibility calls from Next to the outcome box: {len(probe.round_trips)}")
    print(f"longest round trip: {longest * 1000:.1f} ms ({what}, {when:.2f} s after Next)")
    print(f"calls of {MAX_ROUND_TRIP_S * 1000:.0f} ms or more: {slow or 'none'}")
    print(f"progress box window names: {progress_names}")
    print(f"progress bar values seen: {bar_values}")
    print(f"Monitor IDs after the auto setup: {ids}")
    failed = False
    if ids != list(range(1, COLUMNS * ROWS + 1)):
        print(f"FAIL: the displays hold Monitor IDs {ids}, expected 1 to {COLUMNS * ROWS}")
        failed = True
    if not bar_values:
        print("FAIL: the progress box's progress bar was never read")
        failed = True
    if longest >= MAX_ROUND_TRIP_S:
        print(f"FAIL: Ordalis took {longest * 1000:.0f} ms to answer an accessibility call "
              f"({what}); it must answer within {MAX_ROUND_TRIP_S * 1000:.0f} ms")
        failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
