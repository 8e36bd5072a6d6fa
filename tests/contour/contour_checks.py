#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Checks of survey-contour's documents from outside, as their readers see them.

    contour_checks.py CHECK CONTOUR SURVEY SOURCE_DIR [OUT_DIR | CASES]

CHECK is one of:
  dxf      written with -o, audited by ezdxf: the CSV's points, every
           entity inside the header's extents
  judge    seeded random contours (CASES of them, 300 by default), read
           back from the CSV: their findings are those exact rational
           arithmetic finds, the simple ones' shoelace area is survey's
  errors   survey's reports for failing inputs, output failures that lose
           no file, and the options (the default placement changes no byte)
  office   the crossing example's DXF through LibreOffice to PDF: every
           point number on the page, beside its vertex
  svg      the examples' drawings: well-formed, a ray and a numbered vertex
           per point, survey's area, the findings of standard error; and,
           with rsvg-convert, rendered into OUT_DIR as the README pictures
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
    "bow_tie": [(10, 0), (10, 200), (10, 100), (10, 300)],
    "zero_length": [(10, 0), (10, 100), (10, 100), (10, 200)],
    "two_points": [(10, 0), (20, 100)],
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


def read_csv(programs, data, name):
    result = programs.run_contour(data, "--csv")
    rows = list(csv.reader(io.StringIO(result.stdout.decode(), newline="")))
    if rows[0] != ["point", "length", "direction", "x", "y"] or rows[-1][0] != "area" \
            or re.search(r"[eE]", "".join(",".join(row[1:]) for row in rows[1:])):
        fail(f"{name}: unexpected CSV {rows}")
    return [[float(field) for field in row[1:]] for row in rows[1:-1]], \
        [float(field) for field in rows[-1][1:]], result


def check_dxf(programs):
    try:
        import ezdxf
    except ImportError:
        skip("python3-ezdxf is not installed")
    with tempfile.TemporaryDirectory() as work:
        for name, data in programs.inputs().items():
            path = os.path.join(work, "contour.dxf")
            result = programs.run_contour(data, "--dxf", "-o", path)
            doc = ezdxf.readfile(path)
            if result.stdout or os.listdir(work) != ["contour.dxf"] or doc.audit().has_errors:
                fail(f"{name}: the DXF went elsewhere too, or ezdxf's audit fails")
            points, _, _ = read_csv(programs, data, name)
            msp = doc.modelspace()
            vertices = [tuple(v.dxf.location)[:2] for v in msp.query("POLYLINE")[0].vertices]
            labels = msp.query('TEXT[layer=="FINDINGS"]')
            if vertices != [(row[2], row[3]) for row in points] or \
                    len(labels) != len(check_exit(name, result)):
                fail(f"{name}: the boundary {vertices} is not the CSV's, or a finding is missing")
            low, high = doc.header["$EXTMIN"], doc.header["$EXTMAX"]
            for entity in msp:
                for spot in [entity.dxf.get(a) for a in ("insert", "center", "location")
                             if entity.dxf.is_supported(a)]:
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
    with_findings = areas = 0
    for case in range(cases):
        points = random_contour(rng)
        data = survey_input(points)
        rows, area, result = read_csv(programs, data, f"contour {case}")
        placed = [(Fraction(r[2]), Fraction(r[3])) for r in rows]
        got = {parsed(line) for line in check_exit(f"contour {case}", result)}
        if got != judge(placed):
            fail(f"contour {case} {points}: survey-contour finds {sorted(got)}, "
                 f"exact arithmetic {sorted(judge(placed))}")
        with_findings += bool(got)
        if got:
            continue
        n = len(placed)
        shoelace = float(sum(placed[(k + 1) % n][0] * placed[k][1] - placed[k][0] *
                             placed[(k + 1) % n][1] for k in range(n)) / 2)
        if abs(shoelace - area[0]) > 1e-6 or abs(shoelace - programs.printed_area(data)) > 0.005:
            fail(f"contour {case} {points}: shoelace {shoelace}, area {area[0]}")
        areas += 1
    print(f"{cases} random contours: all findings are exact arithmetic's ({with_findings} with "
          f"findings); the {areas} simple ones' shoelace areas are survey's")


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
    for wrong in (["--pdf"], ["--station", "12,x"], ["--orientation", "1e400"]):
        result = programs.run_contour(triangle, *wrong)
        if result.returncode != 1 or not result.stderr.startswith(b"Usage: survey-contour"):
            fail(f"{wrong}: exit {result.returncode}, {result.stderr!r}")
    crossing = programs.example("crossing")
    for document in ("--csv", "--dxf", "--svg"):
        if programs.run_contour(crossing, document).stdout != programs.run_contour(
                crossing, document, "--station", "0,-0", "--orientation", "0").stdout:
            fail(f"the default placement changes the {document} document")
    check_output_files(programs)
    print(f"all {compared} failing inputs end survey-contour with survey's report; "
          "no output file is lost or left half written; the default placement changes nothing")


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
    crossing = programs.example("crossing")
    with tempfile.TemporaryDirectory() as work:
        programs.run_contour(crossing, "--dxf", "-o", os.path.join(work, "crossing.dxf"))
        subprocess.run([soffice, f"-env:UserInstallation=file://{work}/profile", "--headless",
                        "--convert-to", "pdf", "--outdir", work, os.path.join(work, "crossing.dxf")],
                       capture_output=True, timeout=240, check=True)
        boxes = subprocess.run([pdftotext, "-bbox", os.path.join(work, "crossing.pdf"), "-"],
                               capture_output=True, timeout=60, check=True).stdout.decode()
    vertices = {str(k): (row[2], row[3])
                for k, row in enumerate(read_csv(programs, crossing, "crossing")[0], 1)}
    width, height = map(float, re.search(r'<page width="([\d.]+)" height="([\d.]+)"', boxes).groups())
    words = {m[5]: tuple(map(float, m.groups()[:4])) for m in re.finditer(
        r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>',
        boxes) if m[5] in vertices}
    if sorted(words) != sorted(vertices):
        fail(f"on the page: {sorted(words)}")
    # The drawing's scale and place on the page (y down), fitted to the
    # numbers' lower left corners; each must lie there, beside its vertex.
    mean = lambda values: sum(values) / len(values)  # noqa: E731
    cx, cy = mean([v[0] for v in vertices.values()]), mean([v[1] for v in vertices.values()])
    px, py = mean([w[0] for w in words.values()]), mean([w[3] for w in words.values()])
    scale = sum((v[0] - cx) * (words[k][0] - px) - (v[1] - cy) * (words[k][3] - py)
                for k, v in vertices.items()) / sum((v[0] - cx) ** 2 + (v[1] - cy) ** 2
                                                    for v in vertices.values())
    for k, (x, y) in vertices.items():
        x_min, y_min, x_max, y_max = words[k]
        if not (0 <= x_min < x_max <= width and 0 <= y_min < y_max <= height) or \
                math.dist((px + (x - cx) * scale, py - (y - cy) * scale), (x_min, y_max)) > \
                y_max - y_min:
            fail(f"number {k} at {words[k]} on a {width}x{height} page, not beside its vertex")
    print(f"LibreOffice shows all {len(vertices)} point numbers on the page beside their vertices")


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        fail(f"{path} is not a PNG")
    return struct.unpack(">II", head[16:24])


def check_svg(programs, out_dir):
    rsvg = shutil.which("rsvg-convert")
    os.makedirs(out_dir, exist_ok=True)
    for sample in ("triangle", "crossing", "square"):
        data = programs.example(sample)
        result = programs.run_contour(data)
        root = ET.fromstring(result.stdout)
        count = int(data.split(b"\r\n")[0])

        def texts(tag, cls):
            return [e.text for e in root.iter(SVG + tag) if cls in e.get("class", "").split()]

        numbers = [g.find(SVG + "text").text for g in root.iter(SVG + "g")
                   if g.get("class") == "vertex"]
        if len(texts("line", "ray")) != count or numbers != [str(k) for k in range(1, count + 1)] \
                or texts("text", "area") != [programs.results_line(data)] \
                or texts("text", "finding-text") != check_exit(sample, result):
            fail(f"{sample}: rays, numbers {numbers}, area or findings amiss")
        if rsvg is None or sample == "square":
            continue
        size = (round(float(root.get("width"))), round(float(root.get("height"))))
        png = os.path.join(out_dir, f"contour-{sample}.png")
        subprocess.run([rsvg, "-o", png], input=result.stdout, check=True, timeout=60)
        shown = os.path.join(programs.source, "doc", f"contour-{sample}.png")
        if png_size(png) != size or png_size(shown) != size:
            fail(f"{png} or the README's {shown} is not {size} pixels: render them again")
    print("the examples' drawings are complete; " + (
        f"rendered to PNG in {out_dir}" if rsvg else "rsvg-convert (librsvg2-bin) is missing"))


def main():
    if len(sys.argv) < 5:
        fail(__doc__)
    check, contour, survey, source = sys.argv[1:5]
    extra = sys.argv[5] if len(sys.argv) > 5 else None
    programs = Programs(contour, survey, source)
    checks = {"dxf": check_dxf, "errors": check_errors, "office": check_office}
    if check == "svg":
        check_svg(programs, extra or os.path.join(source, "doc"))
    elif check == "judge":
        check_judge(programs, int(extra) if extra and extra.isdigit() else 300)
    elif check in checks:
        checks[check](programs)
    else:
        fail(__doc__)


if __name__ == "__main__":
    main()
