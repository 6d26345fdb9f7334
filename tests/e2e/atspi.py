#!/usr/bin/python3
"""Reads a program's accessibility tree from the AT-SPI bus, as a screen reader does.

  atspi.py tree PID     one line per object, depth-first: the depth as leading spaces, then
                        role, name, description and the states showing, focusable, focused,
                        selected, checked, separated by tabs; the status bar's texts as its
                        description.
"""
import sys

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


def main():
    if len(sys.argv) != 3 or sys.argv[1] != "tree":
        sys.exit(__doc__)
    app = application(int(sys.argv[2]))
    if app is None:
        sys.exit("no application with process id %s on the accessibility bus" % sys.argv[2])
    out = []
    tree(app, 0, out)
    print("\n".join(out))


main()
