"""A morning at the office, keyed on the real program and read back as a screen reader reads it
(AT-SPI), once on a database file and once on a PostgreSQL server.

    morning.py BUILD_BIN_FOLDER SCRATCH_FOLDER    (desktop_test starts the desktop first)

Prints one line per step and engine and ends with "desktop: N passed, N failed".
"""
import datetime
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import time
from contextlib import closing

import pyatspi

BIN, SCRATCH = sys.argv[1], sys.argv[2]
PG_SERVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support", "pg-server")
ACCESS = "TARVEL - Acceso"
CAPTURE = "TARVEL - Máscara de Captura 2006 (Agrícolas)"
TODAY = datetime.date.today()
OLD_DAY = TODAY - datetime.timedelta(days=40)
OLD_RECORDS = 4
ODD_BACKUP = "TARVELcaptura-2026-12-01-101010-99999999999.mdb"
# The program's own control names (Text1, ComboDest, CmdGrabar, LabMinAnt, ...), which a
# screen reader must never say.
INTERNAL = re.compile(r"^(Text|Combo|Cmd|cmd|Lbl|Label|Lab|Frame|Picture|Form)[A-Z0-9]")
NAMED_ROLES = {"text", "password text", "combo box", "push button", "menu item", "label"}
DAY = r"\w{3} \d\d/\d\d/\d{4}"


class Stuck(Exception):
    """The screen did not come to what the next key needs; the rest of the morning cannot run."""


def children(node):
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield child


def is_showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def labels_of(node):
    return [relation.getTarget(j).name for relation in node.getRelationSet()
            if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
            for j in range(relation.getNTargets())]


def shown(node):
    """The showing controls inside a window; a list's items are not walked."""
    for child in children(node):
        if is_showing(child):
            yield child
            if child.getRoleName() != "combo box":
                yield from shown(child)


class Focus:
    """The focused control: what it is called (its label, else its name), its text, whether
    the whole text is selected, so typing replaces it."""

    def __init__(self, node):
        self.role, self.name = node.getRoleName(), node.name or ""
        self.what = (labels_of(node) or [self.name])[0]
        self.text, self.whole = "", True
        try:
            text = node.queryText()
            self.text = text.getText(0, -1)
            spans = [text.getSelection(i) for i in range(text.getNSelections())]
            self.whole = not self.text or (0, len(self.text)) in spans
        except NotImplementedError:
            pass

    def __str__(self):
        selected = "" if self.whole else " not selected"
        return f"{self.role} '{self.what}' text '{self.text}'{selected}"


class Morning:
    def __init__(self, engine):
        self.engine, self.server = engine, engine == "servidor"
        self.folder = os.path.join(SCRATCH, engine)
        self.pg = os.path.join(SCRATCH, "pg")
        self.db = os.path.join(self.folder, "TARVELcaptura.mdb")
        self.opened = os.path.join(SCRATCH, "xdg-open.log")
        self.proc, self.failures = None, []

    # The database: a demo file with a few records the start's purge deletes.
    def prepare(self):
        os.makedirs(os.path.join(self.folder, "respaldos"))
        shutil.copy(os.path.join(BIN, "tarvel-captura"), self.folder)
        seed = os.path.join(SCRATCH, "semilla.mdb") if self.server else self.db
        subprocess.run([os.path.join(BIN, "tarvel-db"), "create", seed, "--demo"],
                       check=True, stdout=subprocess.DEVNULL)
        with closing(sqlite3.connect(seed)) as db, db:
            columns = ", ".join(c[1] for c in db.execute("PRAGMA table_info(Reg_Pre)")
                                if c[1] not in ("Consec", "Fecha"))
            db.execute(f"INSERT INTO Reg_Pre (Fecha, {columns}) SELECT ?, {columns} FROM Reg_Pre "
                       f"WHERE Cve_del = 5 ORDER BY Consec LIMIT {OLD_RECORDS}", (str(OLD_DAY),))
        if self.server:
            uri = f"postgresql://postgres@/tarvel?host={self.pg}"
            subprocess.run([PG_SERVER, "start", self.pg], check=True)
            subprocess.run(["createdb", "-h", self.pg, "-U", "postgres", "tarvel"], check=True)
            subprocess.run([os.path.join(BIN, "tarvel-db"), "copy", seed, uri],
                           check=True, stdout=subprocess.DEVNULL)
            with open(os.path.join(self.folder, "tarvel-captura.conf"), "w") as conf:
                conf.write(f"servidor = {uri}\n")
        else:
            with open(os.path.join(self.folder, "respaldos", ODD_BACKUP), "wb") as odd:
                odd.write(b"not a backup\n")

    def rows(self, query):
        if self.server:
            psql = ["psql", "-h", self.pg, "-U", "postgres", "-d", "tarvel", "-AtF\x1f", "-c"]
            out = subprocess.run(psql + [query], check=True, capture_output=True, text=True)
            return [line.split("\x1f") for line in out.stdout.splitlines()]
        with closing(sqlite3.connect(self.db)) as db:
            return [["" if v is None else str(v) for v in row] for row in db.execute(query)]

    def count(self):
        return int(self.rows("SELECT count(*) FROM Reg_Pre")[0][0])

    def minimums_today(self):
        """The minimums saved today in Frutas y Hortalizas, in the order they were saved."""
        return [float(row[0]) for row in self.rows(
            "SELECT Pre_min FROM Reg_Pre WHERE Cve_del = 5 AND Cve_Mod = 'FRU' AND "
            f"Fecha = '{TODAY}' ORDER BY Consec")]

    # The program and what it shows.
    def start(self):
        env = dict(os.environ, HOME=self.folder, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
        env.pop("QT_QPA_PLATFORM", None)
        with open(os.path.join(self.folder, "programa.log"), "a") as log:
            self.proc = subprocess.Popen([os.path.join(self.folder, "tarvel-captura")],
                                         cwd=self.folder, env=env, stdout=log, stderr=log)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()

    def windows(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in children(desktop):
            if self.proc and app.get_process_id() == self.proc.pid:
                return [w for w in children(app) if is_showing(w)]
        return []

    def window(self, caption):
        return next((w for w in self.windows() if w.name == caption), None)

    def captions(self):
        return [w.name for w in self.windows()]

    def focus(self):
        for window in self.windows():
            for node in shown(window):
                if node.getState().contains(pyatspi.STATE_FOCUSED):
                    return Focus(node)
        return None

    def listed(self, label, caption=CAPTURE):
        """What the list labelled `label` shows."""
        window = self.window(caption)
        return next((n.name for n in shown(window) if n.getRoleName() == "combo box"
                     and label in labels_of(n)), None) if window else None

    def shown_by_role(self, role, caption=CAPTURE):
        window = self.window(caption)
        return [n.name for n in shown(window) if n.getRoleName() == role] if window else []

    def scene(self):
        parts = []
        for window in self.windows():
            texts = [n.name for n in shown(window) if n.getRoleName() == "label" and n.name]
            parts.append(window.name + ("" if window.name == CAPTURE else f" {texts[:3]}"))
        return f"showing {parts or 'nothing'}; focus {self.focus()}"

    def wait(self, what, test, timeout=10):
        end = time.time() + timeout
        while True:
            try:
                got = test()
            except Exception:  # a control gone while it was read
                got = None
            if got:
                return got
            if self.proc.poll() is not None:
                raise Stuck(f"{what}: the program ended (status {self.proc.returncode})")
            if time.time() > end:
                raise Stuck(f"{what}: not within {timeout} s; {self.scene()}")
            time.sleep(0.15)

    def alone(self, what, focus, caption=CAPTURE, timeout=10):
        """Waits until `caption` is the only window, with the focus on `focus`, its text
        selected; then looks again, for a window that opens late."""
        def ready():
            seen = self.focus()
            return self.captions() == [caption] and seen and seen.what == focus and seen.whole
        self.wait(f"{what}: only '{caption}', focus in '{focus}'", ready, timeout)
        time.sleep(0.4)
        self.wait(f"{what}: still only '{caption}', focus in '{focus}'", ready, 1)

    def dialog(self, caption, timeout=10):
        self.wait(f"the window '{caption}'", lambda: self.window(caption), timeout)
        return self.shown_by_role("label", caption)

    def keys(self, sequence, **values):
        for token in sequence.split():
            if token.startswith("{"):
                subprocess.run(["xdotool", "type", "--delay", "40", "--", values[token[1:-1]]],
                               check=True)
            else:
                subprocess.run(["xdotool", "key", token], check=True)
            time.sleep(0.1)

    def check(self, ok, failure):
        if not ok:
            self.failures.append(failure)

    def names_in_words(self, caption, lists):
        """Every control is named in the operator's words, never by its internal name, and
        each list by the label beside it."""
        labelled, names = [], []
        for node in shown(self.window(caption)):
            role, name = node.getRoleName(), node.name or ""
            if role == "combo box":
                labelled += labels_of(node)
                self.check(any(label.strip() for label in labels_of(node)),
                           f"{caption}: the list showing '{name}' has no label")
            if role in NAMED_ROLES:
                names.append(name)
                self.check(not INTERNAL.match(name), f"{caption}: a {role} is called '{name}'")
                self.check(role == "label" or name.strip(), f"{caption}: a {role} has no name")
                self.check(role != "label" or not re.fullmatch(r"-?[\d.,]+", name),
                           f"{caption}: a bare number '{name}' is read without its meaning")
        for label in lists:
            self.check(label in labelled, f"{caption}: no list labelled '{label}' ({labelled})")
        return names

    def reference(self):
        """The mean of the earlier minimums shown for the record, so typed prices stay within
        the variation the program warns about."""
        earlier = [float(m.group(1).replace(",", "")) for name in self.shown_by_role("label")
                   for m in [re.fullmatch(rf"Mínimo del {DAY}: ([\d.,]+)", name)] if m]
        earlier = [price for price in earlier if price > 0]
        return sum(earlier) / len(earlier) if earlier else 100.0

    def save(self, what, sequence, **values):
        """Keys a record and waits for its row; returns min, max, frec, obs, vol, period."""
        before = self.count()
        self.keys(sequence, **values)
        self.wait(f"{what}: the saved row", lambda: self.count() != before)
        time.sleep(0.3)
        self.check(self.count() == before + 1, f"{what}: {self.count() - before} rows saved")
        row = self.rows("SELECT Pre_min, Pre_max, Pre_frec, Obs, Vol, Fecha_de, Fecha_a "
                        "FROM Reg_Pre ORDER BY Consec DESC LIMIT 1")[0]
        return [float(v or 0) for v in row[:3]] + row[3:]

    def compare(self, what, row, prices, obs=""):
        typed = [float(price) for price in prices] + [obs]
        self.check(row[:4] == typed, f"{what}: saved min, max, frec, obs {row[:4]}, typed {typed}")


# Step 2's records: keys (values in braces are typed), the prices as parts of the product's
# earlier minimum (min, max, frec; 0 leaves the box as it is), and the observation.
RECORDS = [
    ("{min} Return {max} Return {frec} Return Return {obs} ctrl+Return", (1.0, 1.2, 1.1),
     "Llegó poca oferta de 'El Rancho'"),
    ("{min} Return {max} ctrl+Return", (1.05, 1.25, 0), ""),
    ("Tab {max} shift+Tab {min} ctrl+Return", (0.95, 1.15, 0), ""),
]


def sign_in(m, first):
    m.start()
    m.alone("the access screen", "Clave de acceso:", timeout=20, caption=ACCESS)
    if first:
        m.names_in_words(ACCESS, ["Delegación"])
    else:  # a signed-in delegation is asked for its own number
        offered = m.listed("Delegación", ACCESS)
        m.check(offered == "Delegación Valle Alto", f"the second start offers '{offered}'")
    m.keys("{key} Return", key="005")
    m.alone("module and date", "Módulo", caption=ACCESS)
    if first:
        m.names_in_words(ACCESS, ["Módulo", "Fecha"])
    day = m.listed("Fecha", ACCESS) or ""
    m.check(TODAY.strftime("%d/%m/%Y") in day, f"the date offered is '{day}', not today")
    m.keys("Return")
    m.alone("sign-in", "Mínimo", timeout=20)


def step_sign_in(m):
    m.prepare()
    sign_in(m, first=True)
    names = m.names_in_words(CAPTURE, ["Destino", "Producto", "Presentación", "Origen"])
    m.check(any(re.fullmatch(rf"Mínimo del {DAY}: [\d.,]+", n) for n in names),
            f"no earlier minimum is read with its day: {names}")
    news = [n for n in names if n.startswith("Se borr")]
    m.check(len(news) == 1 and f"{OLD_RECORDS} registros" in news[0],
            f"the purge is not told on the screen with its {OLD_RECORDS} records: {news}")
    old = m.rows(f"SELECT count(*) FROM Reg_Pre WHERE Fecha = '{OLD_DAY}'")[0][0]
    m.check(old == "0", f"{old} old records left after the purge")
    if not m.server:
        backups = os.path.join(m.folder, "respaldos")
        with open(os.path.join(backups, ODD_BACKUP), "rb") as odd:
            m.check(odd.read() == b"not a backup\n", "the odd file in respaldos/ was changed")
        held = [sqlite3.connect(os.path.join(backups, f)).execute(
            "SELECT count(*) FROM Reg_Pre WHERE Fecha = ?", (str(OLD_DAY),)).fetchone()[0]
            for f in os.listdir(backups) if re.fullmatch(r"TARVELcaptura-[\d-]{17}\.mdb", f)]
        m.check(held == [OLD_RECORDS], f"the purge's copies in respaldos/ hold {held} old records")


def step_basket(m):
    for number, (sequence, parts, obs) in enumerate(RECORDS, 1):
        what = f"record {number} ({sequence})"
        ref = m.reference()
        prices = [f"{ref * part:.2f}" if part else "0" for part in parts]
        row = m.save(what, sequence, min=prices[0], max=prices[1], frec=prices[2], obs=obs)
        m.compare(what, row, prices, obs)
        m.alone(what, "Mínimo")
        m.check(not [n for n in m.shown_by_role("label") if n.startswith("Se borr")],
                f"{what}: the purge's news is still shown after a save")


def step_refused(m):
    ref = m.reference()
    high, low, fixed = (f"{ref * part:.2f}" for part in (1.1, 0.95, 0.9))
    before = m.count()
    m.keys("{min} Return {max} ctrl+Return", min=high, max=low)
    said = m.dialog("ERROR")
    m.check("¡Mínimo es mayor que máximo!" in said, f"the refusal says {said}")
    m.check(m.count() == before, "a refused record was saved")
    m.keys("Return")
    m.alone("after the refusal", "Mínimo")
    shown = m.focus().text
    m.check(float(shown.replace(",", "")) == float(high), f"the refused minimum reads '{shown}'")
    row = m.save("the corrected record", "{min} ctrl+Return", min=fixed)
    m.compare("the corrected record", row, (fixed, low, "0"))
    m.alone("after the corrected save", "Mínimo")


def step_destination(m):
    typed, before = f"{m.reference():.2f}", m.count()
    m.keys("{min} alt+s d", min=typed)
    m.wait("the destination list", lambda: m.focus().what == "Destino")
    destination = m.focus().name
    m.keys("Down Return")
    said = m.dialog("Registro sin grabar")
    m.check("Se perderá lo capturado y no grabado. ¿Cambiar de destino?" in said,
            f"the question reads {said}")
    m.check(m.focus() and m.focus().name == "Seguir capturando", f"Intro would press {m.focus()}")
    m.keys("Return")
    m.wait("the question closed", lambda: m.captions() == [CAPTURE])
    m.check(m.listed("Destino") == destination and m.count() == before,
            f"keeping the work changed the destination to '{m.listed('Destino')}' or saved it")
    row = m.save("the kept work saved with Ctrl+Intro", "ctrl+Return")
    m.compare("the kept work", row, (typed, "0", "0"))
    m.alone("after saving the kept work", "Mínimo")


def step_module(m):
    m.keys("alt+s g")
    m.wait("the module Granos y Semillas", lambda: "Granos y Semillas" in m.shown_by_role("label"))
    m.alone("the module switch", "Mínimo")
    boxes = m.shown_by_role("text")
    m.check(boxes == ["Mínimo", "Máximo", "Frecuente", "Observaciones"], f"Granos shows {boxes}")


def step_volumes(m):
    m.keys("alt+s v")
    m.dialog("Periodo de ingreso")
    seen = m.wait("the period's first box", m.focus)
    m.check(seen.what == "Desde:" and seen.text == TODAY.strftime("%d/%m/%Y"),
            f"the period window opens with {seen}")
    m.keys("Return")
    m.alone("the volume layout", "Producto")
    m.check("Volúmenes de Ingreso" in m.shown_by_role("label"), "the module is not told")
    m.check(m.shown_by_role("text") == ["Volúmen"], f"volumes show {m.shown_by_role('text')}")
    row = m.save("a volume record", "Return Return Return Return {vol} ctrl+Return", vol="35")
    m.check([float(row[4] or 0)] + row[5:] == [35, str(TODAY), str(TODAY)],
            f"the volume record holds volume, period from and to {row[4:]}")
    m.alone("after the volume record", "Producto")


def step_outputs(m):
    m.keys("alt+s f")
    m.alone("back in Frutas y Hortalizas", "Mínimo")
    m.keys("End alt+t")  # the selection given up before the window opens comes back with the focus
    m.check("Ctrl+Intro" in " ".join(m.dialog("Teclas")), "the keys window lacks Ctrl+Intro")
    m.keys("Return")
    m.alone("after the keys window", "Mínimo")
    m.keys("alt+r")
    report, minimums = os.path.join(m.folder, "Reporte.htm"), m.minimums_today()
    m.wait("the report given to the viewer", lambda: os.path.exists(m.opened))
    with open(m.opened) as opened:
        given = opened.read().strip()
    m.check(given.endswith(report), f"the viewer was given '{given}', not {report}")
    with open(report, encoding="cp1252") as page:
        m.check(f"${minimums[0]:,.2f}" in page.read(), f"the report lacks ${minimums[0]:,.2f}")
    m.alone("after the report", "Mínimo")
    m.keys("alt+g")
    said = m.dialog("Archivo Grabado")
    m.check("5FRU.csv" in said and str(len(minimums)) in said,
            f"the notice says {said}, not {len(minimums)} records in 5FRU.csv")
    with open(os.path.join(m.folder, "5FRU.csv"), "rb") as export:
        lines = export.read().split(b"\r\n")
    m.check(lines[-1] == b"" and [line[:5] for line in lines[:-1]] == [b'"FRU"'] * len(minimums),
            f"5FRU.csv holds {lines}, not {len(minimums)} records")
    m.keys("Return")
    m.alone("after the export notice", "Mínimo")


def step_restart(m):
    m.keys("alt+a s")
    m.wait("the program ended by Salir", lambda: m.proc.poll() is not None)
    m.check(m.proc.returncode == 0, f"Salir ended the program with status {m.proc.returncode}")
    minimums = m.minimums_today()
    sign_in(m, first=False)
    m.check(any(f"de un total de {len(minimums)} ya Grabados" in n
                for n in m.shown_by_role("label")),
            f"the second start does not count the {len(minimums)} saved records")
    m.keys("ctrl+Home")
    m.wait(f"the first saved record (minimum {minimums[0]})",
           lambda: float(m.focus().text.replace(",", "") or 0) == minimums[0])
    m.alone("on the first saved record", "Mínimo")


STEPS = [
    ("sign-in with a purge due", step_sign_in),
    ("three basket records", step_basket),
    ("a refused save corrected", step_refused),
    ("another destination, the typed work kept", step_destination),
    ("module switch from the menu", step_module),
    ("Volúmenes de Ingreso and its period", step_volumes),
    ("report and export", step_outputs),
    ("Salir and a second start", step_restart),
]


def main():
    passed = failed = 0
    for engine in ("archivo", "servidor"):
        m, stuck = Morning(engine), None
        for number, (title, step) in enumerate(STEPS, 1):
            started, m.failures = time.time(), []
            if stuck:
                m.failures.append(f"not run: {stuck}")
            else:
                try:
                    step(m)
                except Exception as error:  # Stuck, or a file, row or command that is not there
                    stuck = f"step {number} did not finish"
                    m.failures.append(str(error) if isinstance(error, Stuck) else repr(error))
                    if shutil.which("import"):
                        subprocess.run(["import", "-window", "root", os.path.join(
                            SCRATCH, f"{engine}-{number}.png")], stderr=subprocess.DEVNULL)
                    m.stop()
            failed += bool(m.failures)
            passed += not m.failures
            result = "FALLA: " + " | ".join(m.failures) if m.failures else "ok"
            print(f"{engine} {number}. {title} ({time.time() - started:.1f} s): {result}",
                  flush=True)
        m.stop()
        if m.server:
            subprocess.run([PG_SERVER, "stop", m.pg], check=False)
    print(f"desktop: {passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
