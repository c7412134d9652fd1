#!/usr/bin/python3
"""The main window as a screen reader reads it, through at-spi2's bus: the
buttons by their captions, the keys by name, the layer switch with its state,
the focus as Tab and the arrows move it, a press on WriteKeys that runs the
job with its progress told, and English names after the language button's
press. Run by run-a11y.sh, which starts the bus and Talvik."""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

PATIENCE = 60.0


def wait_for(what, check):
    """Polls `check` until it gives a true value (returned) or PATIENCE ends;
    `what`, a text or a function giving one, says what failed."""
    deadline = time.monotonic() + PATIENCE
    while time.monotonic() < deadline:
        try:
            value = check()
        except Exception:  # the tree changes while it is read
            value = None
        if value:
            return value
        # The events a screen reader listens to come in through GLib's loop.
        while GLib.MainContext.default().iteration(False):
            pass
        time.sleep(0.05)
    sys.exit(f"FAIL: {what() if callable(what) else what}")


def talvik():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "Talvik" and app.childCount > 0:
            return app
    return None


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def by_name(window):
    return {child.name: child for child in children(window)}


def find(node, matches, depth=0):
    if matches(node):
        return node
    if depth < 8:
        for child in children(node):
            found = find(child, matches, depth + 1)
            if found is not None:
                return found
    return None


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    action.doAction(names.index("Press"))


def key(keysym):
    """A key typed at the keyboard, through the X server."""
    subprocess.run(["xdotool", "key", keysym], check=True)


class Listener:
    """What a screen reader hears of one kind of event."""

    def __init__(self, kind, wanted):
        self.heard = []
        self.wanted = wanted
        pyatspi.Registry.registerEventListener(self.hear, kind)

    def hear(self, event):
        try:
            heard = self.wanted(event)
        except Exception:  # the object is gone already
            heard = None
        if heard is not None:
            self.heard.append(heard)


def focused_now(event):
    if event.detail1 != 1:
        return None
    source = event.source
    return (source.name, source.getRoleName(), source.getState().contains(pyatspi.STATE_FOCUSED))


def progress_value(event):
    source = event.source
    return (source.name, source.getRoleName(), source.queryValue().currentValue)


def give_keyboard_to_talvik():
    """What a window manager does for the window shown: Xvfb has none."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", os.environ["TALVIK_PID"]],
                           check=True, capture_output=True, text=True).stdout.split()
    subprocess.run(["xdotool", "windowfocus", "--sync", found[0]], check=True)


def check_focus(focus):
    """Tab, Shift+Tab and the arrows, each heard where the focus went."""
    def heard(what, matches):
        return wait_for(lambda: f"{what} (heard last: {focus.heard[-3:]})",
                        lambda: focus.heard and matches(*focus.heard[-1]))

    give_keyboard_to_talvik()
    key("Tab")
    heard("the focus on Minimise after Tab",
          lambda name, role, state: name == "最小化" and role == "push button" and state)
    key("shift+Tab")
    heard("the focus on the keys after Shift+Tab, round the chain",
          lambda name, role, state: name.startswith("Esc, 顶层键") and state)
    key("shift+Tab")
    heard("the focus on the layer switch after Shift+Tab", lambda name, role, state: name == "Fn组合层")
    key("Tab")
    heard("the focus back on Esc, the first key", lambda name, role, state: name.startswith("Esc, "))
    key("Right")
    heard("the focus on F1 after the right arrow", lambda name, role, state: name.startswith("F1, "))


def main():
    app = wait_for("Talvik on the accessibility bus", talvik)
    window = children(app)[0]
    named = wait_for("the elements of the main window", lambda: len(children(window)) > 100 and by_name(window))

    buttons = [c for c in children(window) if c.getRoleName() == "push button"]
    keys = [c for c in buttons if "顶层键" in c.name]
    captions = ["保存配置", "打开配置", "恢复默认", "写入按键", "设置背光", "读取配置",
                "固件升级", "读取计数", "English", "帮助", "最小化", "退出", "Fn组合层"]
    missing = [c for c in captions if c not in named]
    if missing or len(keys) != 87 or len(buttons) != 100:
        sys.exit(f"FAIL: buttons {len(buttons)}, keys {len(keys)}, missing {missing}")
    if not all(k.name.split(",")[0] for k in keys):
        sys.exit("FAIL: a key without a name")

    focus = Listener("object:state-changed:focused", focused_now)
    check_focus(focus)

    layer = named["Fn组合层"]
    if layer.getState().contains(pyatspi.STATE_CHECKED):
        sys.exit("FAIL: the Fn layer is shown at the start")
    press(layer)
    wait_for("the layer switch checked after its press",
             lambda: layer.getState().contains(pyatspi.STATE_CHECKED))
    press(layer)
    wait_for("the layer switch back", lambda: not layer.getState().contains(pyatspi.STATE_CHECKED))

    progress = Listener("object:property-change:accessible-value", progress_value)
    press(named["写入按键"])
    wait_for("the progress window of WriteKeys",
             lambda: any(w.name == "读写进度" for w in children(talvik())))
    told = wait_for("the progress bar's value told up to 100",
                    lambda: any(v == 100 for _, _, v in progress.heard) and progress.heard)
    if any(name != "读写进度" or role != "progress bar" for name, role, _ in told):
        sys.exit(f"FAIL: progress told as {told}")
    # The job ends with Qt's own message box, as reachable as the rest.
    def ok_button():
        for top in children(talvik()):
            if top.name == window.name and top != window:
                return find(top, lambda n: n.getRoleName() == "push button" and n.name in ("确定", "OK"))
        return None
    press(wait_for("the message box at the job's end", ok_button))
    wait_for("the job's end", lambda: len(children(talvik())) == 1)

    # The key settings dialog of Q: its tabs, the Multimedia page's buttons
    # by their tips' names, and Cancel.
    q = next(c for c in children(window) if c.name.startswith("Q, "))
    press(q)
    dialog = wait_for("the key settings dialog",
                      lambda: next((w for w in children(talvik()) if w.name == "按键设置面板"), None))
    tabs = wait_for("the seven page tabs",
                    lambda: len([c for c in children(dialog) if c.getRoleName() == "page tab"]) == 7
                    and {c.name: c for c in children(dialog) if c.getRoleName() == "page tab"})
    press(tabs["多媒体"])
    wait_for("the Multimedia tab checked", lambda: tabs["多媒体"].getState().contains(pyatspi.STATE_CHECKED))
    volume = wait_for("Volume up on the page shown", lambda: next(
        (c for c in children(dialog) if c.name == "音量加大" and c.getState().contains(pyatspi.STATE_VISIBLE)),
        None))
    if volume.getRoleName() != "push button":
        sys.exit(f"FAIL: Volume up is a {volume.getRoleName()}")
    if not any(c.name == "确定" and c.getRoleName() == "push button" for c in children(dialog)):
        sys.exit("FAIL: no OK button")
    press(next(c for c in children(dialog) if c.name == "取消"))
    wait_for("the dialog closed", lambda: len(children(talvik())) == 1)

    press(named["English"])
    english = wait_for("English names after the language button",
                       lambda: "WriteKeys" in by_name(window) and by_name(window))
    if "简体中文" not in english or not any(n.startswith("Q, Top layer Key") for n in english):
        sys.exit("FAIL: not every name followed the language")
    print("PASS: 13 buttons, 87 keys, the layer switch, the focus, WriteKeys with its progress, "
          "the key settings dialog and the language")


if __name__ == "__main__":
    main()
