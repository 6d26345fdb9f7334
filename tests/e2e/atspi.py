#!/usr/bin/python3
"""Reads a program's accessibility tree from the AT-SPI bus, as a screen reader does.

  atspi.py tree PID     one line per object, depth-first: the depth as leading spaces, then
                        role, name, description and the states showing, focusable, focused,
                        selected, checked, separated by tabs; an object's text as its
                        description when it has none.
  atspi.py press PID NAME
                        does the "Press" action of the first object named NAME, as a screen
                        reader's user activates a button, and prints how long the request took
                        in seconds.
"""
import sys
import time

import pyatspi

STATES = (("showing", pyatspi.STATE_SHOWING), ("focusable", pyatspi.STATE_FOCUSABLE),
          ("focused", pyatspi.STATE_FOCUSED), ("selected", pyatspi.STATE_SELECTED),
          ("checked", pyatspi.STATE_CHECKED))


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def text_of(node):
    try:
        text = node.queryText()
        return text.getText(0, -1)
    except NotImplementedError:
        return ""


def tree(node, depth, out):
    states = node.getState()
    flags = ",".join(name for name, state in STATES if states.contains(state))
    description = node.description or text_of(node)
    out.append("%s%s\t%s\t%s\t%s" % (" " * depth, node.getRoleName(), node.name, description,
                                     flags))
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            tree(child, depth + 1, out)


def find(node, name):
    if node.name == name:
        return node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        found = find(child, name) if child is not None else None
        if found is not None:
            return found
    return None


def press(app, name):
    node = find(app, name)
    if node is None:
        sys.exit("no object named %s" % name)
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if "Press" not in names:
        sys.exit("%s has no Press action (%s)" % (name, ", ".join(names)))
    start = time.monotonic()
    action.doAction(names.index("Press"))
    print("%.3f" % (time.monotonic() - start))


def main():
    commands = {"tree": 3, "press": 4}
    if len(sys.argv) < 2 or commands.get(sys.argv[1]) != len(sys.argv):
        sys.exit(__doc__)
    app = application(int(sys.argv[2]))
    if app is None:
        sys.exit("no application with process id %s on the accessibility bus" % sys.argv[2])
    if sys.argv[1] == "press":
        press(app, sys.argv[3])
        return
    out = []
    tree(app, 0, out)
    print("\n".join(out))


main()
