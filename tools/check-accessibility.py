"""The program as a screen reader sees it, through AT-SPI: tools/check-accessibility.sh runs this next to the
program. Opens screens by pressing buttons found by their Japanese captions and reports every control shown that has
neither a name nor a label."""
import subprocess
import sys
import time

import pyatspi

CONTROL_ROLES = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_ENTRY, pyatspi.ROLE_TEXT, pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_LIST,
    pyatspi.ROLE_LIST_BOX, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_SPIN_BUTTON,
}


def program():
    for application in pyatspi.Registry.getDesktop(0):
        if application is not None and application.name == "Quelm":
            return application
    return None


def walk(accessible):
    yield accessible
    for i in range(accessible.childCount):
        child = accessible.getChildAtIndex(i)
        if child is not None:
            yield from walk(child)


def window(title, wait=10):
    """The program's window whose title ends in title, once it is up."""
    end = time.time() + wait
    while time.time() < end:
        application = program()
        if application:
            for i in range(application.childCount):
                candidate = application.getChildAtIndex(i)
                if candidate is not None and candidate.name.endswith(title):
                    return candidate
        time.sleep(0.3)
    sys.exit(f"no window ending in {title!r}")


def press(within, caption):
    for accessible in walk(within):
        if accessible.getRole() == pyatspi.ROLE_PUSH_BUTTON and accessible.name.strip() == caption:
            # A click rather than the press action: a button that opens a modal screen answers its action only once
            # that screen is closed.
            box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            subprocess.run(["xdotool", "mousemove", str(box.x + box.width // 2), str(box.y + box.height // 2),
                            "click", "1"], check=True)
            return
    sys.exit(f"no button {caption!r} in {within.name!r}")


def labels(accessible):
    return [relation.getTarget(0).name for relation in accessible.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY and relation.getNTargets() > 0]


failures = 0


def check(title):
    """Counts the named controls of a window and reports the unnamed ones."""
    global failures
    shown = window(title)
    unnamed, named = [], 0
    for accessible in walk(shown):
        if accessible.getRole() not in CONTROL_ROLES or not accessible.getState().contains(pyatspi.STATE_SHOWING):
            continue
        if accessible.name.strip() or any(label.strip() for label in labels(accessible)):
            named += 1
        else:
            unnamed.append(accessible.getRoleName())
    print(f"{shown.name}: {named} controls named" + (f", UNNAMED: {unnamed}" if unnamed else ""))
    failures += len(unnamed)
    return shown


main = check("ＣＤ管理 Quelm")
press(main, "CD1")
records = check("種目別メイン明細")
press(records, "新規作成")
editor = check("メイン明細更新処理")
press(editor, "終　了")
time.sleep(1)
subprocess.run(["xdotool", "key", "F1"], check=True)
check("ヘルプ")
sys.exit(1 if failures else 0)
