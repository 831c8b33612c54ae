#!/usr/bin/python3
"""Operates a running program through the accessibility interface (AT-SPI), as a screen reader
does, by the names its controls show:
    atspi_operator.py PID STEP...
press:NAME   the push button's "Press" action
toggle:NAME  the radio button's "Toggle" action (a screen reader's way to select an item; it
             checks the item without a click), then waits until the item shows checked
Each step waits for a showing, enabled control of that name in the program's windows. Ends with
status 1 and the reason when a step cannot be done within 10 s."""
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# Deprecated in favour of a successor that Debian 12's bindings do not offer.
warnings.filterwarnings("ignore", "Atspi.Action.get_action_name", DeprecationWarning)

TIMEOUT_S = 10.0
POLL_S = 0.05
STEPS = {"press": (Atspi.Role.PUSH_BUTTON, "Press"), "toggle": (Atspi.Role.RADIO_BUTTON, "Toggle")}


def await_condition(what, probe):
    deadline = time.monotonic() + TIMEOUT_S
    while True:
        try:
            found = probe()
        except GLib.Error:  # a window changed under the search; look again
            found = None
        if found:
            return found
        if time.monotonic() > deadline:
            sys.exit(f"atspi_operator: no {what} within {TIMEOUT_S:.0f} s")
        time.sleep(POLL_S)


def application(pid):
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def has_states(node, *states):
    state_set = node.get_state_set()
    return all(state_set.contains(state) for state in states)


def control(node, role, name):
    """The first showing, enabled control of that role and name at or below node."""
    if node.get_role() == role and node.get_name() == name and \
            has_states(node, Atspi.StateType.SHOWING, Atspi.StateType.ENABLED):
        return node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        found = child is not None and control(child, role, name)
        if found:
            return found
    return None


def action_index(node, action):
    if node is None or "Action" not in node.get_interfaces():
        return None
    names = [node.get_action_name(i) for i in range(node.get_n_actions())]
    return names.index(action) if action in names else None


def offering(app, role, name, action):
    node = control(app, role, name)
    return node if action_index(node, action) is not None else None


def perform(app, step):
    kind, _, name = step.partition(":")
    if kind not in STEPS:
        sys.exit(f"atspi_operator: unknown step '{step}'")
    role, action = STEPS[kind]
    target = await_condition(f"'{name}' offering '{action}'",
                             lambda: offering(app, role, name, action))
    if not target.do_action(action_index(target, action)):
        sys.exit(f"atspi_operator: '{name}' refused '{action}'")
    if kind == "toggle":
        await_condition(f"check on '{name}'",
                        lambda: has_states(target, Atspi.StateType.CHECKED))


def main():
    pid = int(sys.argv[1])
    app = await_condition(f"application of process {pid} on the accessibility bus",
                          lambda: application(pid))
    for step in sys.argv[2:]:
        perform(app, step)


main()
