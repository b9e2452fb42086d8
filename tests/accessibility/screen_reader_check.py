"""Reads both screens of the running program as a screen reader does (AT-SPI) and checks
that every control it offers is named in the operator's words and every list says its label.

Run by screen_reader_test, which starts the desktop, the accessibility bus and the program.
"""
import re
import subprocess
import sys
import time

import pyatspi

# The program's own control names (Text1, ComboDest, CmdGrabar, LblMin, LabMinAnt, ...),
# which a screen reader must never say.
INTERNAL = re.compile(r"^(Text|Combo|Cmd|cmd|Lbl|Label|Lab|Frame|Picture)[A-Z0-9]")
NAMED_ROLES = {"text", "password text", "combo box", "push button", "menu item", "label"}
failures = []


def program():
    deadline = time.time() + 20
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is not None and "tarvel" in (app.name or "").lower():
                return app
        time.sleep(0.2)
    sys.exit("the program did not appear on the accessibility bus")


def showing(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        if child.getState().contains(pyatspi.STATE_SHOWING):
            yield child
            yield from showing(child)


def labels_of(node):
    return [relation.getTarget(j).name
            for relation in node.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for j in range(relation.getNTargets())]


def window(caption):
    deadline = time.time() + 10
    while time.time() < deadline:
        for node in showing(program()):
            if node.getRoleName() == "dialog" and node.name == caption:
                return node
        time.sleep(0.2)
    sys.exit(f"no window '{caption}' is showing")


def check(caption, expected_lists):
    """Every named control of the window is named and not by its internal name; each list
    is labelled by the label beside it."""
    lists = {}
    names = []
    for node in showing(window(caption)):
        role, name = node.getRoleName(), node.name or ""
        if role == "combo box":
            lists[tuple(labels_of(node))] = name
            if not any(label.strip() for label in labels_of(node)):
                failures.append(f"{caption}: the list showing '{name}' has no label")
        if role in NAMED_ROLES:
            names.append(name)
            if INTERNAL.match(name):
                failures.append(f"{caption}: a {role} is named by its internal name '{name}'")
            if role != "label" and not name.strip():
                failures.append(f"{caption}: a {role} has no name")
            if role == "label" and re.fullmatch(r"-?[\d.,]+", name):
                failures.append(f"{caption}: a bare number '{name}' is read without its meaning")
    for label in expected_lists:
        if not any(label in labels for labels in lists):
            failures.append(f"{caption}: no list labelled '{label}' (lists: {lists})")
    return names


def keys(*sequence):
    for step in sequence:
        if step.startswith("type:"):
            subprocess.run(["xdotool", "type", "--delay", "60", step[5:]], check=True)
        else:
            subprocess.run(["xdotool", "key", step], check=True)
        time.sleep(0.6)


check("TARVEL - Acceso", [])
keys("type:005", "Return")
check("TARVEL - Acceso", ["Módulo", "Fecha"])
keys("Return")
names = check("TARVEL - Máscara de Captura 2006 (Agrícolas)",
              ["Destino", "Producto", "Presentación", "Origen"])
# The earlier prices of the record on screen are read with their column and day.
day = r"\w{3} \d\d/\d\d/\d{4}"
if not any(re.fullmatch(rf"Mínimo del {day}: [\d.]+", name) for name in names):
    failures.append(f"no earlier minimum is read with its day: {names}")

for failure in failures:
    print("FALLA:", failure)
print(f"lector de pantalla: {len(failures)} fallas")
sys.exit(1 if failures else 0)
