#!/usr/bin/python3
# accessibility_tree.py <command> [argument]: reads Alvore's objects over AT-SPI, as a screen
# reader does.
#   dump                 prints the tree with the counts, and exits 1 when an interactive
#                        object in any window is unnamed or has no proper role
#   has-window <name>    exits 0 when the app shows a window of that name
#   has-role <role>      exits 0 when the app shows a window whose role names <role> ("menu")
#   has <name>           exits 0 when an object of that name shows
#   press <name>         does the first action of the object of that name
#   set-value <name> <n> sets the value of the object of that name
import sys

import pyatspi

INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON,
    pyatspi.ROLE_TOGGLE_BUTTON,
    pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_COMBO_BOX,
    pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_SLIDER,
    pyatspi.ROLE_PAGE_TAB,
    pyatspi.ROLE_LIST_ITEM,
    pyatspi.ROLE_MENU_ITEM,
    pyatspi.ROLE_ENTRY,
    pyatspi.ROLE_PASSWORD_TEXT,
    pyatspi.ROLE_LINK,
    pyatspi.ROLE_TEXT,
}
# Roles that say nothing of what an object is.
IMPROPER = {pyatspi.ROLE_UNKNOWN, pyatspi.ROLE_INVALID, pyatspi.ROLE_REDUNDANT_OBJECT}


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.name == "Alvore":
            return app
    sys.exit("no application called Alvore on the accessibility bus")


def showing(node):
    return node.getRole() == pyatspi.ROLE_APPLICATION or node.getState().contains(
        pyatspi.STATE_SHOWING
    )


def walk(node, depth=0):
    """The object and those under it that are shown: what a screen reader reads."""
    yield node, depth
    for child in node:
        if child is not None and showing(child):
            yield from walk(child, depth + 1)


def interactive(node):
    """An object of a control's role, or one with an action beyond taking the focus."""
    if node.getRole() in INTERACTIVE:
        return True
    try:
        action = node.queryAction()
    except NotImplementedError:
        return False
    names = [action.getName(i).lower() for i in range(action.nActions)]
    return any(name != "setfocus" for name in names)


def describe(node):
    parts = [node.getRoleName(), repr(node.name)]
    if node.description:
        parts.append("desc=" + repr(node.description))
    states = node.getState()
    for state, word in (
        (pyatspi.STATE_CHECKED, "checked"),
        (pyatspi.STATE_EXPANDED, "expanded"),
        (pyatspi.STATE_SELECTED, "selected"),
        (pyatspi.STATE_FOCUSED, "focused"),
    ):
        if states.contains(state):
            parts.append(word)
    try:
        value = node.queryValue()
        parts.append(
            f"value={value.currentValue:g} [{value.minimumValue:g}..{value.maximumValue:g}"
            f" by {value.minimumIncrement:g}]"
        )
    except NotImplementedError:
        pass
    return " ".join(parts)


def dump():
    app = application()
    objects = interactives = named = 0
    faults = []
    for node, depth in walk(app):
        objects += 1
        print("  " * depth + describe(node))
        if not interactive(node):
            continue
        interactives += 1
        if node.name.strip():
            named += 1
        else:
            faults.append("unnamed: " + describe(node))
        if node.getRole() in IMPROPER:
            faults.append("no proper role: " + describe(node))
    print(f"objects {objects}, interactive {interactives}, named {named}")
    for fault in faults:
        print(fault)
    return 1 if faults else 0


def find(name):
    for node, _ in walk(application()):
        if node.name == name:
            return node
    sys.exit(f"no object called {name!r}")


def main():
    command = sys.argv[1]
    if command == "dump":
        return dump()
    if command == "has-window":
        windows = [window.name for window in application()]
        return 0 if sys.argv[2] in windows else 1
    if command == "has-role":
        roles = [window.getRoleName() for window in application()]
        return 0 if any(sys.argv[2] in role for role in roles) else 1
    if command == "has":
        return 0 if any(node.name == sys.argv[2] for node, _ in walk(application())) else 1
    if command == "press":
        return 0 if find(sys.argv[2]).queryAction().doAction(0) else 1
    if command == "set-value":
        find(sys.argv[2]).queryValue().currentValue = float(sys.argv[3])
        return 0
    sys.exit(f"unknown command {command}")


sys.exit(main())
