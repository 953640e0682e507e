#!/usr/bin/python3
# accessibility_tree.py <command> [argument]: reads Alvore's shown objects over AT-SPI, as a
# screen reader does.
#   dump                 prints the tree with the counts, and exits 1 when an interactive
#                        object is unnamed or has no proper role
#   has <name>           exits 0 when an object of that name shows
#   press <name>         does the first action of the object of that name
#   set-value <name> <n> sets the value of the object of that name
import sys

import pyatspi

R = pyatspi
INTERACTIVE = {R.ROLE_PUSH_BUTTON, R.ROLE_TOGGLE_BUTTON, R.ROLE_CHECK_BOX, R.ROLE_RADIO_BUTTON,
               R.ROLE_COMBO_BOX, R.ROLE_SPIN_BUTTON, R.ROLE_SLIDER, R.ROLE_PAGE_TAB,
               R.ROLE_LIST_ITEM, R.ROLE_MENU_ITEM, R.ROLE_ENTRY, R.ROLE_PASSWORD_TEXT,
               R.ROLE_LINK, R.ROLE_TEXT}
IMPROPER = {R.ROLE_UNKNOWN, R.ROLE_INVALID, R.ROLE_REDUNDANT_OBJECT}  # say nothing of it
STATES = {R.STATE_CHECKED: "checked", R.STATE_EXPANDED: "expanded",
          R.STATE_SELECTED: "selected", R.STATE_FOCUSED: "focused"}


def application():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Alvore":
            return app
    sys.exit("no application called Alvore on the accessibility bus")


def walk(node, depth=0):
    """The object and those under it that show: what a screen reader reads."""
    yield node, depth
    for child in node:
        if child is not None and child.getState().contains(R.STATE_SHOWING):
            yield from walk(child, depth + 1)


def interactive(node):
    """An object of a control's role, or one with an action beyond taking the focus."""
    if node.getRole() in INTERACTIVE:
        return True
    try:
        action = node.queryAction()
    except NotImplementedError:
        return False
    return any(action.getName(i).lower() != "setfocus" for i in range(action.nActions))


def describe(node):
    parts = [node.getRoleName(), repr(node.name)]
    if node.description:
        parts.append("desc=" + repr(node.description))
    parts += [word for state, word in STATES.items() if node.getState().contains(state)]
    try:
        value = node.queryValue()
        parts.append(f"value={value.currentValue:g} [{value.minimumValue:g}.."
                     f"{value.maximumValue:g} by {value.minimumIncrement:g}]")
    except NotImplementedError:
        pass
    return " ".join(parts)


def dump():
    objects = interactives = named = 0
    faults = []
    for node, depth in walk(application()):
        objects += 1
        print("  " * depth + describe(node))
        if interactive(node):
            interactives += 1
            named += bool(node.name.strip())
            if not node.name.strip() or node.getRole() in IMPROPER:
                faults.append("unnamed or without a proper role: " + describe(node))
    print(f"objects {objects}, interactive {interactives}, named {named}", *faults, sep="\n")
    return 1 if faults else 0


def find(name):
    """The first shown object of that name under the application."""
    for node, depth in walk(application()):
        if depth > 0 and node.name == name:
            return node
    return None


def main():
    command, name = sys.argv[1], sys.argv[2] if len(sys.argv) > 2 else None
    if command == "dump":
        return dump()
    if command == "has":
        return 0 if find(name) else 1
    if not find(name):
        sys.exit(f"no object called {name!r}")
    if command == "press":
        return 0 if find(name).queryAction().doAction(0) else 1
    if command == "set-value":
        find(name).queryValue().currentValue = float(sys.argv[3])
        return 0
    sys.exit(f"unknown command {command}")


sys.exit(main())
