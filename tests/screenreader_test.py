#!/usr/bin/python3
"""The editor as a screen reader reads it: through AT-SPI, from another process.

Starts a virtual X server with a window manager, the editor with its AT-SPI bridge, and reads
the editor's accessible tree with libatspi while the keyboard drives it. Run it on a private
session bus:

    dbus-run-session -- /usr/bin/python3 tests/screenreader_test.py build/default/dimeditor
"""

import os
import subprocess
import sys
import tempfile
import time
import unittest

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

EDITOR = None
WAIT = 60.0  # seconds for the editor to show itself or to answer a key (an ASan build is slow)


def wait_for(condition, what, timeout=WAIT):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        pump_events()
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def pump_events():
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def find(node, test):
    """The first accessible under node, node included, for which test holds."""
    if test(node):
        return node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            found = find(child, test)
            if found is not None:
                return found
    return None


def showing(node):
    return node.get_state_set().contains(Atspi.StateType.SHOWING)


def focused_object(root):
    """The control with the keyboard focus (the list's current item is marked focused too)."""
    return find(root, lambda n: n.get_role() != Atspi.Role.LIST_ITEM
                and n.get_state_set().contains(Atspi.StateType.FOCUSED))


def press(*keys):
    subprocess.run(["xdotool", "key", "--delay", "30", *keys], check=True)


class Session:
    """Xvfb, openbox and the editor, on a display of their own."""

    def __init__(self, editor):
        self.processes = []
        try:
            self._start(editor)
        except BaseException:
            self.close()
            raise

    def _start(self, editor):
        read, write = os.pipe()
        self.processes.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
            pass_fds=[write], stderr=subprocess.DEVNULL))
        os.close(write)
        with os.fdopen(read) as pipe:
            os.environ["DISPLAY"] = ":" + pipe.readline().strip()
        self.processes.append(subprocess.Popen(["openbox"], stderr=subprocess.DEVNULL))
        wait_for(lambda: subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                        capture_output=True, text=True).stdout.count("window id"),
                 "the window manager")
        # The keys leave unsaved curves: their recovery file goes to a folder of this run's.
        self.state = tempfile.TemporaryDirectory()
        environment = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                           XDG_STATE_HOME=self.state.name)
        self.editor = subprocess.Popen([editor], env=environment)
        self.processes.append(self.editor)

    def application(self):
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_process_id() == self.editor.pid:
                return app
        return None

    def close(self):
        for process in reversed(self.processes):
            process.terminate()
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
        if hasattr(self, "state"):
            self.state.cleanup()


class Events:
    """The events of the given kinds that reach the bus, with the accessible they came from."""

    def __init__(self, *kinds):
        self.seen = []
        self.listener = Atspi.EventListener.new(self._heard)
        for kind in kinds:
            self.listener.register(kind)

    def _heard(self, event):
        self.seen.append((event.type, event.source))

    def take(self):
        pump_events()
        seen, self.seen = self.seen, []
        return seen


class ScreenReader(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.events = Events("object:property-change:accessible-value",
                            "object:property-change:accessible-description",
                            "object:property-change:accessible-name")
        cls.session = Session(EDITOR)
        cls.addClassCleanup(cls.session.close)
        cls.app = wait_for(lambda: cls.session.application(), "the editor on the bus")
        cls.chart = wait_for(
            lambda: find(cls.app, lambda n: n.get_role() == Atspi.Role.CHART and showing(n)),
            "the chart")

    def control(self, role):
        """The control of a role that is shown in the control column."""
        found = find(self.app, lambda n: n.get_role() == role and showing(n))
        self.assertIsNotNone(found, role)
        return found

    # Runs first: the start focus is the focus holder.
    def test_1_start_focus_is_no_button(self):
        holder = wait_for(lambda: focused_object(self.app), "the start focus")
        self.assertNotEqual(holder.get_role(), Atspi.Role.PUSH_BUTTON)
        self.assertEqual(holder.get_name(), "Dimmkurven-Editor")

    def test_2_controls_without_labels_of_their_own_have_names(self):
        cases = [
            (Atspi.Role.SCROLL_BAR, "Wolken Tempo"),
            (Atspi.Role.LIST, "Sprache"),
            (Atspi.Role.CHART, "Dimmkurven"),
        ]
        for role, name in cases:
            with self.subTest(role=role):
                self.assertEqual(self.control(role).get_name(), name)

    def test_3_the_point_cursor_is_the_charts_value_and_description(self):
        chart = self.chart
        self.assertIn("Value", chart.get_interfaces())
        self.assertEqual((Atspi.Value.get_minimum_value(chart), Atspi.Value.get_maximum_value(chart)),
                         (0.0, 255.0))
        usage = chart.get_description()
        self.assertTrue(usage.startswith("Tagesverlauf"), usage)
        # Tab from the start focus through the column's five controls to the chart.
        press(*["Tab"] * 6)
        wait_for(lambda: focused_object(self.app) == chart, "the chart's focus")
        wait_for(lambda: chart.get_description() != usage, "the point in the description")
        self.assertEqual(chart.get_description(), "Weiss 0:00 0%. " + usage,
                         "arriving, the point and then the usage")
        self.events.take()
        steps = [
            # keys, level, description, whether the level and the text change
            (["Next"], 0, "Blau 0:00 0%", False, True),
            (["Right"], 0, "Blau 0:15 0%", False, True),
            (["Home"], 255, "Blau 0:15 100%", True, True),
            (["7", "5", "Return"], 191, "Blau 0:15 75%", True, True),
            (["Down"], 190, "Blau 0:15 75%", True, False),
        ]
        for keys, level, description, value_event, description_event in steps:
            with self.subTest(keys=keys):
                press(*keys)
                wait_for(lambda: Atspi.Value.get_current_value(chart) == level,
                         "level %d" % level)
                self.assertEqual(chart.get_description(), description)
                time.sleep(0.2)  # events of the keys still on the way
                kinds = [kind for kind, source in self.events.take() if source == chart]
                self.assertEqual("object:property-change:accessible-value" in kinds, value_event,
                                 kinds)
                self.assertEqual("object:property-change:accessible-description" in kinds,
                                 description_event, kinds)

    def test_4_names_follow_the_language(self):
        english = find(self.control(Atspi.Role.LIST), lambda n: n.get_name() == "English")
        box = Atspi.Component.get_extents(english, Atspi.CoordType.SCREEN)
        subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2),
                        str(box.y + box.height // 2), "click", "1"], check=True)
        cases = [
            (Atspi.Role.SCROLL_BAR, "Speed of Clouds"),
            (Atspi.Role.LIST, "Language"),
            (Atspi.Role.CHART, "Dimming curves"),
            (Atspi.Role.FILLER, "Dimming curve editor"),
        ]
        wait_for(lambda: self.control(Atspi.Role.LIST).get_name() == "Language", "English")
        for role, name in cases:
            with self.subTest(role=role):
                self.assertIsNotNone(
                    find(self.app, lambda n: n.get_role() == role and n.get_name() == name),
                    name)


if __name__ == "__main__":
    EDITOR = os.path.abspath(sys.argv.pop(1))
    unittest.main(verbosity=2)
