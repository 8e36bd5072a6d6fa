#!/usr/bin/env python3
"""Checks of survey-contour's documents from outside, as their readers see them.

    contour_checks.py CHECK CONTOUR SURVEY SOURCE_DIR [OUT_DIR | CASES]

CHECK is one of:
  svg      well-formed XML with the elements a drawing must have, the area
           as survey prints it and the findings as listed on standard error
  csv      read back: the typed numbers, the coordinates, the area; the
           grid placement by hand, and the defaults giving the same bytes
  dxf      written with -o, read and audited by ezdxf: no errors, every
           entity inside the header's extents
  judge    seeded random contours (CASES of them, 300 by default) whose
           findings must be those that exact rational arithmetic on the
           CSV's coordinates finds; the simple ones' shoelace area is
           survey's
  errors   every transcript input that makes survey fail makes
           survey-contour fail with the same report; output failures, and
           an output file that is never lost or left half written
  office   the crossing example's DXF through LibreOffice to PDF: every
           point number on the page, beside its vertex
  pictures the README pictures rendered by rsvg-convert into OUT_DIR
A check that cannot run here (a module or tool missing) exits with 77.
"""
import csv
import io
import math
import os
import random
import re
import resource
import shutil
import stat
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from fractions import Fraction

SKIP = 77
SVG = "{http://www.w3.org/2000/svg}"

# Inputs of the checks: (name, count and length/direction pairs).
TABLE = {
    "square": [(10, 0), (10, 100), (10, 200), (10, 300)],
    "bow_tie": [(10, 0), (10, 200), (10, 100), (10, 300)],
    "zero_length": [(10, 0), (10, 100), (10, 100), (10, 200)],
    "two_points": [(10, 0), (20, 100)],
    "station_outside": [(100, 10), (120, 10), (120, 30), (100, 30)],
}


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def skip(message):
    print("SKIP: " + message)
    sys.exit(SKIP)


def survey_input(points):
    lines = [str(len(points))] + [repr(v) for point in points for v in point]
    return ("\r\n".join(lines) + "\r\n").encode()


class Programs:
    def __init__(self, contour, survey, source):
        self.contour, self.survey, self.source = contour, survey, source

    def example(self, name):
        with open(os.path.join(self.source, "examples", name + ".txt"), "rb") as f:
            return f.read()

    def inputs(self):
        """Every input of the table and the sample files, by name."""
        named = {name: survey_input(points) for name, points in TABLE.items()}
        for sample in ("triangle", "crossing", "square"):
            named["examples/" + sample] = self.example(sample)
        return named

    def run_contour(self, data, *options, stdout=subprocess.PIPE, **kwargs):
        return subprocess.run([self.contour, *options], input=data, stdout=stdout,
                              stderr=subprocess.PIPE, timeout=60, **kwargs)

    def results_line(self, data):
        out = subprocess.run([self.survey], input=data, stdout=subprocess.PIPE,
                             timeout=60).stdout.decode()
        for line in out.split("\r\n"):
            if line.startswith("The area of a contour:"):
                return line
        fail("survey printed no results line")

    def printed_area(self, data):
        return float(self.results_line(data).split()[5].removesuffix("m^2"))


def finding_lines(result):
    return [line for line in result.stderr.decode().split("\r\n") if line]


def check_exit(name, result):
    findings = finding_lines(result)
    if result.returncode != (2 if findings else 0):
        fail(f"{name}: exit code {result.returncode} with {len(findings)} findings")
    return findings


def check_svg(programs):
    for name, data in programs.inputs().items():
        result = programs.run_contour(data)
        findings = check_exit(name, result)
        try:
            root = ET.fromstring(result.stdout)
        except ET.ParseError as error:
            fail(f"{name}: the SVG is not well-formed XML: {error}")
        count = int(data.split(b"\r\n")[0])

        def of_class(tag, cls):
            return [e for e in root.iter(SVG + tag) if cls in e.get("class", "").split()]

        boundary = of_class("polygon", "boundary")
        if len(of_class("line", "ray")) != count or len(boundary) != 1 \
                or len(boundary[0].get("points").split()) != count:
            fail(f"{name}: not a ray to each of {count} points and one boundary through them")
        vertices = of_class("g", "vertex")
        for k, vertex in enumerate(vertices, 1):
            title = vertex.find(SVG + "title").text
            if not title.startswith(f"Point {k}: length ") or vertex.find(SVG + "text").text != str(k):
                fail(f"{name}: vertex {k} has the title {title!r}")
        if len(vertices) != count or any(len(of_class("g", c)) != 1
                                         for c in ("station", "scale-bar", "zero-direction")):
            fail(f"{name}: {len(vertices)} vertices for {count} points, or no station, bar or arrow")
        bar = of_class("g", "scale-bar")[0].find(SVG + "text").text
        if not bar.endswith(" m") or bar.removesuffix(" m").replace(".", "").strip("0") not in "125":
            fail(f"{name}: the scale bar is not a round length: {bar!r}")
        area = [e.text for e in of_class("text", "area")]
        if area != [programs.results_line(data)]:
            fail(f"{name}: the area {area} is not survey's")
        listed = [e.text for e in of_class("text", "finding-text")]
        marked = [g.find(SVG + "title").text for g in of_class("g", "finding")]
        if listed != findings or marked != findings:
            fail(f"{name}: listed {listed}, marked {marked}, standard error {findings}")
    print("every SVG is well-formed and complete")


def read_csv(programs, data, name, *options):
    result = programs.run_contour(data, "--csv", *options)
    check_exit(name, result)
    text = result.stdout.decode()
    rows = list(csv.reader(io.StringIO(text, newline="")))
    if rows[0] != ["point", "length", "direction", "x", "y"] or rows[-1][0] != "area" \
            or re.search(r"[eE]", "".join(",".join(row[1:]) for row in rows[1:])):
        fail(f"{name}: unexpected CSV {text!r}")
    return [[float(field) for field in row[1:]] for row in rows[1:-1]], \
        [float(field) for field in rows[-1][1:]], result.stdout


def check_csv(programs):
    for name, points in TABLE.items():
        rows, area, plain = read_csv(programs, survey_input(points), name)
        for (length, direction), (l, d, x, y) in zip(points, rows, strict=True):
            theta = direction * math.pi / 200
            if (l, d) != (length, direction) or \
                    not math.isclose(x, length * math.sin(theta), abs_tol=1e-12 * length) or \
                    not math.isclose(y, length * math.cos(theta), abs_tol=1e-12 * length):
                fail(f"{name}: ({length}, {direction}) reads back as {l, d, x, y}")
        if abs(area[0] - programs.printed_area(survey_input(points))) > 0.005 or \
                not math.isclose(area[1], area[0] / 100) or not math.isclose(area[2], area[0] / 1e4):
            fail(f"{name}: the area row {area} is not survey's")
        for document in ("--csv", "--dxf", "--svg"):
            zero = programs.run_contour(survey_input(points), document, "--station", "0,0",
                                        "--orientation", "-0")
            if zero.stdout != programs.run_contour(survey_input(points), document).stdout:
                fail(f"{name}: the default placement changes the {document} document")
        # A quarter turn east of a station at E 1000, N 2000, by hand.
        placed, _, _ = read_csv(programs, survey_input(points), name, "--station", "1000,2000",
                                "--orientation", "100")
        for (_, _, x, y), (_, _, east, north) in zip(rows, placed):
            if not (math.isclose(east, 1000 + y, abs_tol=1e-9) and
                    math.isclose(north, 2000 - x, abs_tol=1e-9)):
                fail(f"{name}: ({x}, {y}) is placed at ({east}, {north})")
    bad = programs.run_contour(b"3\r\n", "--station", "12,x")
    if bad.returncode != 1 or not bad.stderr.startswith(b"Usage: survey-contour"):
        fail(f"a station that is no number: exit {bad.returncode}, {bad.stderr!r}")
    print(f"all {len(TABLE)} tables read back, placed in the grid by hand")


def dxf_entities(path):
    import ezdxf
    doc = ezdxf.readfile(path)
    auditor = doc.audit()
    if auditor.has_errors:
        fail(f"{path}: ezdxf's audit finds " + "; ".join(str(e.message) for e in auditor.errors))
    return doc, doc.modelspace()


def check_dxf(programs):
    try:
        import ezdxf  # noqa: F401
    except ImportError:
        skip("python3-ezdxf is not installed")
    with tempfile.TemporaryDirectory() as work:
        for name, data in programs.inputs().items():
            path = os.path.join(work, name.replace("/", "_") + ".dxf")
            result = programs.run_contour(data, "--dxf", "-o", path, "--station", "500,700")
            findings = check_exit(name, result)
            if result.stdout or sorted(os.listdir(work)) != sorted(
                    p for p in os.listdir(work) if p.endswith(".dxf")):
                fail(f"{name}: with -o the document went elsewhere as well")
            doc, msp = dxf_entities(path)
            points, _, _ = read_csv(programs, data, name, "--station", "500,700")
            boundary = msp.query('POLYLINE[layer=="BOUNDARY"]')
            vertices = [tuple(v.dxf.location)[:2] for v in boundary[0].vertices]
            if len(boundary) != 1 or not boundary[0].is_closed or \
                    vertices != [(row[2], row[3]) for row in points]:
                fail(f"{name}: the boundary {vertices} is not the CSV's points")
            marks = [tuple(p.dxf.location)[:2] for p in msp.query('POINT[layer=="POINTS"]')]
            rings = [tuple(c.dxf.center)[:2] for c in msp.query('CIRCLE[layer=="POINTS"]')]
            numbers = [t.dxf.text for t in msp.query('TEXT[layer=="NUMBERS"]')]
            station = [tuple(p.dxf.location) for p in msp.query('POINT[layer=="STATION"]')]
            labels = msp.query('TEXT[layer=="FINDINGS"]')
            if marks != vertices or rings != vertices or station != [(500, 700, 0)] or \
                    numbers != [str(k) for k in range(1, len(points) + 1)] or \
                    len(labels) != len(findings):
                fail(f"{name}: points {marks}, numbers {numbers}, station {station}, "
                     f"{len(labels)} labels for {len(findings)} findings")
            low, high = doc.header["$EXTMIN"], doc.header["$EXTMAX"]
            for entity in msp:
                spots = [entity.dxf.get(a) for a in ("insert", "center", "location", "start", "end")
                         if entity.dxf.is_supported(a)]
                for spot in filter(None, spots):
                    if not (low[0] <= spot[0] <= high[0] and low[1] <= spot[1] <= high[1]):
                        fail(f"{name}: {entity.dxftype()} at {spot} outside {low}..{high}")
    print("every DXF passes ezdxf's audit, holds the contour and lies inside its extents")


# The judge: exact rationals on the coordinates the CSV prints, and the
# intersection of two sides solved as the meeting of their lines.

def shared(a, b, c, d):
    """The points sides a-b and c-d share: [], [p] or [p, q] (a stretch)."""
    r = (b[0] - a[0], b[1] - a[1])
    s = (d[0] - c[0], d[1] - c[1])
    q = (c[0] - a[0], c[1] - a[1])
    denominator = r[0] * s[1] - r[1] * s[0]
    if denominator != 0:
        t = (q[0] * s[1] - q[1] * s[0]) / denominator
        u = (q[0] * r[1] - q[1] * r[0]) / denominator
        return [(a[0] + t * r[0], a[1] + t * r[1])] if 0 <= t <= 1 and 0 <= u <= 1 else []
    if q[0] * r[1] - q[1] * r[0] != 0:
        return []  # parallel, on two lines
    length = r[0] * r[0] + r[1] * r[1]
    t0 = (q[0] * r[0] + q[1] * r[1]) / length
    t1 = t0 + (s[0] * r[0] + s[1] * r[1]) / length
    low, high = max(min(t0, t1), 0), min(max(t0, t1), 1)
    if low > high:
        return []
    ends = [(a[0] + t * r[0], a[1] + t * r[1]) for t in (low, high)]
    return ends[:1] if low == high else ends


def judge(points):
    """The findings, as the set the program's lines parse into."""
    n = len(points)
    found = set()
    for k in range(1, (1 if n == 2 else n) + 1 if n >= 2 else 1):
        if points[k - 1] == points[k % n]:
            found.add(("zero", k, k % n + 1))
    runs = []  # [place, first point, last point]
    for k, p in enumerate(points, 1):
        if runs and runs[-1][0] == p:
            runs[-1][2] = k
        else:
            runs.append([p, k, k])
    lowest = [run[1] for run in runs]
    if len(runs) > 1 and runs[-1][0] == runs[0][0]:
        runs[0][1] = runs.pop()[1]
        lowest.pop()
    distinct = []
    for r, run in enumerate(runs):
        earlier = [q for q in range(r) if runs[q][0] == run[0]]
        if earlier:
            found.add(("repeat", lowest[r], lowest[earlier[0]]))
        else:
            distinct.append(r)
    if len(distinct) < 3:
        found.add(("few", len(distinct)))
        return found
    m = len(runs)
    for i in range(m):
        for j in range(i + 1, m):
            a, b, c, d = runs[i][0], runs[(i + 1) % m][0], runs[j][0], runs[(j + 1) % m][0]
            meet = shared(a, b, c, d)
            if not meet or (len(meet) == 1 and meet[0] in (a, b) and meet[0] in (c, d)):
                continue
            sides = (f"{runs[i][2]}-{runs[(i + 1) % m][1]}", f"{runs[j][2]}-{runs[(j + 1) % m][1]}")
            found.add(("overlap" if len(meet) == 2 else "cross",) + sides)
    return found


FINDING_PATTERNS = [
    (r"Sides (\S+) and (\S+) cross at", lambda m: ("cross", m[1], m[2])),
    (r"Sides (\S+) and (\S+) overlap from", lambda m: ("overlap", m[1], m[2])),
    (r"Side (\d+)-(\d+) has zero length", lambda m: ("zero", int(m[1]), int(m[2]))),
    (r"Point (\d+) repeats point (\d+)", lambda m: ("repeat", int(m[1]), int(m[2]))),
    (r"Only (\d+) distinct", lambda m: ("few", int(m[1]))),
]


def parsed(line):
    for pattern, make in FINDING_PATTERNS:
        match = re.match(pattern, line)
        if match:
            return make(match)
    fail(f"a finding no pattern reads: {line!r}")


def random_contour(rng):
    """Lengths and directions of a parcel, from the kinds a field book
    holds: star-shaped, crossing itself, with repeated and successive
    alike points, points on one line, spikes, points at the station,
    sides through it, and directions given as theta and theta + 400."""
    n = rng.randint(3, 41)
    centre = (rng.uniform(-300, 300), rng.uniform(-300, 300)) if rng.random() < 0.5 else (0, 0)
    angles = sorted(rng.uniform(0, 2 * math.pi) for _ in range(n))
    points = []
    for angle in angles:
        radius = rng.uniform(20, 150)
        x, y = centre[0] + radius * math.sin(angle), centre[1] + radius * math.cos(angle)
        points.append((round(math.hypot(x, y), 3), round(math.atan2(x, y) * 200 / math.pi % 400, 4)))
    for _ in range(rng.randint(0, 3)):
        k = rng.randrange(len(points))
        twist = rng.randrange(8)
        length, direction = points[k]
        if twist == 0:
            points.insert(k, points[k])  # a zero-length side
        elif twist == 1:
            points.insert(rng.randrange(len(points)), points[k])  # a repeated point
        elif twist == 2:
            points[k] = (length, direction + 400)  # the same direction, once more round
        elif twist == 3:
            points.insert(k + 1, (round(length * rng.uniform(0.2, 1.5), 3), direction))  # a spike
        elif twist == 4:
            points.insert(k + 1, (0, direction))  # through the station
        elif twist == 5:
            points.insert(k + 1, (length, round((direction + 200) % 400, 4)))  # across it
        elif twist == 6:
            j = rng.randrange(len(points))
            points[k], points[j] = points[j], points[k]  # swapped: crossing
        else:
            points.insert(k + 1, (length * 2, direction))  # on one ray
    return points[:255]


def check_judge(programs, cases):
    rng = random.Random(20241209)
    tally = {"agree": 0, "with findings": 0, "areas": 0}
    for case in range(cases):
        points = random_contour(rng)
        data = survey_input(points)
        rows, area, _ = read_csv(programs, data, f"contour {case}")
        placed = [(Fraction(r[2]), Fraction(r[3])) for r in rows]
        expected = judge(placed)
        got = {parsed(line) for line in finding_lines(programs.run_contour(data, "--csv"))}
        if got != expected:
            fail(f"contour {case} {points}: survey-contour finds {sorted(got)}, "
                 f"exact arithmetic {sorted(expected)}")
        tally["agree"] += 1
        tally["with findings"] += bool(got)
        if not got:
            n = len(placed)
            shoelace = sum(placed[(k + 1) % n][0] * placed[k][1] - placed[k][0] *
                           placed[(k + 1) % n][1] for k in range(n)) / 2
            if abs(float(shoelace) - area[0]) > 1e-6 or \
                    abs(float(shoelace) - programs.printed_area(data)) > 0.005:
                fail(f"contour {case} {points}: shoelace {float(shoelace)}, area {area[0]}")
            tally["areas"] += 1
    print(f"{cases} random contours: the findings of all {tally['agree']} are exact arithmetic's "
          f"({tally['with findings']} with findings); {tally['areas']} simple ones' shoelace "
          "areas are survey's")


def report_lines(stderr):
    lines = stderr.decode().split("\r\n")
    return lines[0].split(" in module ")[0], lines[1]


def check_errors(programs):
    cases = os.path.join(programs.source, "tests", "e2e", "cases")
    compared = 0
    for name in sorted(os.listdir(cases)):
        folder = os.path.join(cases, name)
        if os.path.exists(os.path.join(folder, "handles")):
            continue  # a case about the standard handles, not the input
        with open(os.path.join(folder, "input"), "rb") as f:
            data = f.read()
        survey = subprocess.run([programs.survey], input=data, capture_output=True, timeout=60)
        contour = programs.run_contour(data)
        if survey.returncode == 1:
            if contour.returncode != 1 or report_lines(contour.stderr) != report_lines(survey.stderr):
                fail(f"{name}: survey reports {report_lines(survey.stderr)}, survey-contour "
                     f"exits {contour.returncode} with {contour.stderr.decode()!r}")
            compared += 1
        elif contour.returncode not in (0, 2) or b"</svg>" not in contour.stdout:
            fail(f"{name}: survey runs through, survey-contour exits {contour.returncode}")
    triangle = programs.example("triangle")
    with open("/dev/full", "wb") as full:
        result = programs.run_contour(triangle, stdout=full)
    if result.returncode != 1 or report_lines(result.stderr) != ("Exception EInOutError",
                                                                   "I/O error 112."):
        fail(f"output on /dev/full: exit {result.returncode}, {result.stderr!r}")
    result = programs.run_contour(triangle, "--pdf")
    if result.returncode != 1 or not result.stderr.startswith(b"Usage: survey-contour"):
        fail(f"an unknown option: exit {result.returncode}, {result.stderr!r}")
    check_output_files(programs)
    print(f"all {compared} failing inputs end survey-contour with survey's report; "
          "no output file is lost or left half written")


def as_nobody():
    """Drops root, for whom no folder is read-only."""
    if os.geteuid() == 0:
        os.setgid(65534)
        os.setuid(65534)


def check_output_files(programs):
    """-o never loses the old file and never leaves a new one half written:
    under a file-size limit, into a folder, into a read-only folder."""
    star = survey_input([(100, k * 127 % 255 * 400 / 255) for k in range(255)])
    with tempfile.TemporaryDirectory() as work:
        os.chmod(work, 0o755)
        target = os.path.join(work, "parcel.dxf")
        os.mkdir(os.path.join(work, "folder"))
        readonly = os.path.join(work, "readonly")
        os.mkdir(readonly)
        for path in (target, os.path.join(readonly, "parcel.dxf")):
            with open(path, "wb") as f:
                f.write(b"the old drawing")
        os.chmod(readonly, 0o555)
        limit = lambda: resource.setrlimit(resource.RLIMIT_FSIZE, (4096, 4096))  # noqa: E731
        rows = [
            (target, limit, "I/O error 112."),
            (os.path.join(work, "folder"), None, f'I/O error 336: "{work}/folder" is a folder'),
            (os.path.join(readonly, "parcel.dxf"), as_nobody,
             f'File access denied: no file can be written in the folder of "{readonly}/'),
            (os.path.join(work, "missing", "parcel.dxf"), None,
             f'File not found: the folder of "{work}/missing/parcel.dxf" does not exist.'),
        ]
        for path, before, message in rows:
            result = programs.run_contour(star, "--dxf", "-o", path, preexec_fn=before)
            if result.returncode != 1 or not report_lines(result.stderr)[1].startswith(message):
                fail(f"-o {path}: exit {result.returncode}, {result.stderr!r}")
        for folder in (work, readonly):
            with open(os.path.join(folder, "parcel.dxf"), "rb") as f:
                if f.read() != b"the old drawing":
                    fail(f"-o {folder}/parcel.dxf: the old file is lost")
        left = sorted(os.listdir(work)) + sorted(os.listdir(readonly)) + os.listdir(
            os.path.join(work, "folder"))
        if left != ["folder", "parcel.dxf", "readonly", "parcel.dxf"]:
            fail(f"after the failures the folders hold {left}")
        result = programs.run_contour(star, "--dxf", "-o", target)
        if result.returncode != 2 or os.path.getsize(target) < 1e6 or len(os.listdir(work)) != 3:
            fail(f"-o over an old file: exit {result.returncode}, {os.listdir(work)}")
        os.chmod(readonly, 0o755)


def check_office(programs):
    soffice, pdftotext = shutil.which("soffice"), shutil.which("pdftotext")
    if soffice is None or pdftotext is None:
        skip("soffice (libreoffice-draw-nogui) or pdftotext (poppler-utils) is not installed")
    with tempfile.TemporaryDirectory() as work:
        dxf = os.path.join(work, "crossing.dxf")
        programs.run_contour(programs.example("crossing"), "--dxf", "-o", dxf)
        subprocess.run([soffice, f"-env:UserInstallation=file://{work}/profile", "--headless",
                        "--convert-to", "pdf", "--outdir", work, dxf],
                       capture_output=True, timeout=240, check=True)
        boxes = subprocess.run([pdftotext, "-bbox", os.path.join(work, "crossing.pdf"), "-"],
                               capture_output=True, timeout=60, check=True).stdout.decode()
        import ezdxf
        numbers = {t.dxf.text: (t.dxf.insert[0], t.dxf.insert[1], t.dxf.height)
                   for t in ezdxf.readfile(dxf).modelspace().query('TEXT[layer=="NUMBERS"]')}
    page = re.search(r'<page width="([\d.]+)" height="([\d.]+)"', boxes)
    width, height = float(page[1]), float(page[2])
    words = {m[5]: tuple(map(float, m.groups()[:4])) for m in re.finditer(
        r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>',
        boxes)}
    shown = {k: words[k] for k in numbers if k in words}
    if len(shown) != len(numbers):
        fail(f"numbers {sorted(numbers)}, on the page {sorted(words)}")
    # The drawing's scale and place on the page, from the numbers' corners.
    mean = lambda values: sum(values) / len(values)  # noqa: E731
    cx, cy = mean([n[0] for n in numbers.values()]), mean([n[1] for n in numbers.values()])
    px, py = mean([w[0] for w in shown.values()]), mean([w[3] for w in shown.values()])
    scale = sum((n[0] - cx) * (shown[k][0] - px) - (n[1] - cy) * (shown[k][3] - py)
                for k, n in numbers.items()) / sum((n[0] - cx) ** 2 + (n[1] - cy) ** 2
                                                   for n in numbers.values())
    for k, (x, y, text_height) in numbers.items():
        x_min, y_min, x_max, y_max = shown[k]
        beside = (px + (x - cx) * scale, py - (y - cy) * scale)
        if not (0 <= x_min < x_max <= width and 0 <= y_min < y_max <= height) or \
                math.dist(beside, (x_min, y_max)) > text_height * scale * 0.5:
            fail(f"number {k} at {shown[k]} on a {width}x{height} page, expected near {beside}")
    print(f"LibreOffice shows all {len(numbers)} point numbers on the page beside their vertices")


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        fail(f"{path} is not a PNG")
    return struct.unpack(">II", head[16:24])


def check_pictures(programs, out_dir):
    rsvg = shutil.which("rsvg-convert")
    if rsvg is None:
        skip("rsvg-convert (librsvg2-bin) is not installed")
    os.makedirs(out_dir, exist_ok=True)
    for sample in ("triangle", "crossing"):
        result = programs.run_contour(programs.example(sample))
        check_exit(sample, result)
        root = ET.fromstring(result.stdout)
        size = (round(float(root.get("width"))), round(float(root.get("height"))))
        png = os.path.join(out_dir, f"contour-{sample}.png")
        subprocess.run([rsvg, "-o", png], input=result.stdout, check=True, timeout=60)
        if png_size(png) != size:
            fail(f"{png} is {png_size(png)} pixels, the drawing {size}")
        shown = os.path.join(programs.source, "doc", f"contour-{sample}.png")
        if os.path.abspath(shown) != os.path.abspath(png) and png_size(shown) != size:
            fail(f"the README's {shown} is not the size of today's drawing: render it again")
    print(f"the README pictures render to PNG in {out_dir}")


def main():
    if len(sys.argv) < 5:
        fail(__doc__)
    check, contour, survey, source = sys.argv[1:5]
    extra = sys.argv[5] if len(sys.argv) > 5 else None
    programs = Programs(contour, survey, source)
    checks = {"svg": check_svg, "csv": check_csv, "dxf": check_dxf, "errors": check_errors,
              "office": check_office}
    if check == "pictures":
        check_pictures(programs, extra or os.path.join(source, "doc"))
    elif check == "judge":
        check_judge(programs, int(extra) if extra and extra.isdigit() else 300)
    elif check in checks:
        checks[check](programs)
    else:
        fail(__doc__)


if __name__ == "__main__":
    main()
