#!/usr/bin/env python3
"""Checks of survey-contour's documents from outside, as their readers see them.

    contour_checks.py CHECK CONTOUR SURVEY SOURCE_DIR [OUT_DIR]

CHECK is one of:
  svg      well-formed XML with the elements a drawing must have, the area
           as survey prints it and the findings as listed on standard error
  csv      read back: the typed numbers, the coordinates, the area
  dxf      written with -o, read and audited by ezdxf: no errors
  random   seeded random simple polygons: the shoelace area of the CSV
           coordinates agrees with survey's area to 0.01 m2, no findings
  errors   every transcript input that makes survey fail makes
           survey-contour fail with the same report; output failures
  pictures the README pictures rendered by rsvg-convert into OUT_DIR
A check that cannot run here (a module or tool missing) exits with 77.
"""
import csv
import io
import math
import os
import random
import shutil
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

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
    lines = [str(len(points))]
    for length, direction in points:
        lines += [repr(length) if isinstance(length, float) else str(length),
                  repr(direction) if isinstance(direction, float) else str(direction)]
    return ("\r\n".join(lines) + "\r\n").encode()


class Programs:
    def __init__(self, contour, survey, source):
        self.contour, self.survey, self.source = contour, survey, source

    def inputs(self):
        """Every input of the table and the sample files, by name."""
        named = {name: survey_input(points) for name, points in TABLE.items()}
        for sample in ("triangle", "crossing", "square"):
            with open(os.path.join(self.source, "examples", sample + ".txt"), "rb") as f:
                named["examples/" + sample] = f.read()
        return named

    def run_contour(self, data, *options, stdout=subprocess.PIPE):
        return subprocess.run([self.contour, *options], input=data, stdout=stdout,
                              stderr=subprocess.PIPE, timeout=60)

    def results_line(self, data):
        out = subprocess.run([self.survey], input=data, stdout=subprocess.PIPE,
                             timeout=60).stdout.decode()
        for line in out.split("\r\n"):
            if line.startswith("The area of a contour:"):
                return line
        fail("survey printed no results line")


def finding_lines(result):
    return [line for line in result.stderr.decode().split("\r\n") if line]


def check_exit(name, result):
    findings = finding_lines(result)
    expected = 2 if findings else 0
    if result.returncode != expected:
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
        if root.tag != SVG + "svg":
            fail(f"{name}: the root is {root.tag}")
        count = int(data.split(b"\r\n")[0])

        def of_class(tag, cls):
            return [e for e in root.iter(SVG + tag) if cls in e.get("class", "").split()]

        if len(of_class("line", "ray")) != count:
            fail(f"{name}: {len(of_class('line', 'ray'))} rays for {count} points")
        boundary = of_class("polygon", "boundary")
        if len(boundary) != 1 or len(boundary[0].get("points").split()) != count:
            fail(f"{name}: the boundary is not one polygon through {count} points")
        vertices = of_class("g", "vertex")
        for k, vertex in enumerate(vertices, 1):
            title = vertex.find(SVG + "title").text
            if not title.startswith(f"Point {k}: length ") or " m, direction " not in title:
                fail(f"{name}: vertex {k} has the title {title!r}")
            if vertex.find(SVG + "text").text != str(k):
                fail(f"{name}: vertex {k} is numbered {vertex.find(SVG + 'text').text}")
        if len(vertices) != count:
            fail(f"{name}: {len(vertices)} numbered vertices for {count} points")
        for cls in ("station", "scale-bar", "zero-direction"):
            if len(of_class("g", cls)) != 1:
                fail(f"{name}: no {cls}")
        bar = of_class("g", "scale-bar")[0].find(SVG + "text").text
        digits = bar.removesuffix(" m").replace(".", "").strip("0")
        if not bar.endswith(" m") or digits not in ("1", "2", "5"):
            fail(f"{name}: the scale bar is not a round length: {bar!r}")
        area = of_class("text", "area")
        if len(area) != 1 or area[0].text != programs.results_line(data):
            fail(f"{name}: the area {area and area[0].text!r} is not survey's "
                 f"{programs.results_line(data)!r}")
        listed = [e.text for e in of_class("text", "finding-text")]
        marked = [g.find(SVG + "title").text for g in of_class("g", "finding")]
        if listed != findings or marked != findings:
            fail(f"{name}: listed {listed}, marked {marked}, standard error {findings}")
    print("every SVG is well-formed and complete")


def read_csv(programs, data, name):
    result = programs.run_contour(data, "--csv")
    check_exit(name, result)
    rows = list(csv.reader(io.StringIO(result.stdout.decode(), newline="")))
    if rows[0] != ["point", "length", "direction", "x", "y"] or rows[-1][0] != "area":
        fail(f"{name}: unexpected CSV frame {rows[0]} ... {rows[-1]}")
    points = [[float(field) for field in row[1:]] for row in rows[1:-1]]
    return points, [float(field) for field in rows[-1][1:]]


def check_csv(programs):
    for name, points in TABLE.items():
        rows, area = read_csv(programs, survey_input(points), name)
        if len(rows) != len(points):
            fail(f"{name}: {len(rows)} rows for {len(points)} points")
        for (length, direction), (l, d, x, y) in zip(points, rows):
            theta = direction * math.pi / 200
            if (l, d) != (length, direction) or not (
                    math.isclose(x, length * math.sin(theta), abs_tol=1e-12 * length) and
                    math.isclose(y, length * math.cos(theta), abs_tol=1e-12 * length)):
                fail(f"{name}: ({length}, {direction}) reads back as {l, d, x, y}")
        printed = float(programs.results_line(survey_input(points)).split()[5].removesuffix("m^2"))
        if abs(area[0] - printed) > 0.005 or not math.isclose(area[1], area[0] / 100) or \
                not math.isclose(area[2], area[0] / 10000):
            fail(f"{name}: the area row {area} is not survey's {printed}")
    print(f"all {len(TABLE)} tables read back")


def check_dxf(programs):
    try:
        import ezdxf
    except ImportError:
        skip("python3-ezdxf is not installed")
    with tempfile.TemporaryDirectory() as work:
        for name, data in programs.inputs().items():
            path = os.path.join(work, name.replace("/", "_") + ".dxf")
            result = programs.run_contour(data, "--dxf", "-o", path)
            check_exit(name, result)
            if result.stdout:
                fail(f"{name}: with -o the document went to standard output as well")
            doc = ezdxf.readfile(path)
            auditor = doc.audit()
            if auditor.has_errors:
                fail(f"{name}: ezdxf's audit finds {len(auditor.errors)} errors: "
                     + "; ".join(str(e.message) for e in auditor.errors))
            points, _ = read_csv(programs, data, name)
            msp = doc.modelspace()
            boundary = msp.query('POLYLINE[layer=="BOUNDARY"]')
            if len(boundary) != 1 or not boundary[0].is_closed:
                fail(f"{name}: no closed polyline on BOUNDARY")
            vertices = [tuple(v.dxf.location)[:2] for v in boundary[0].vertices]
            if vertices != [(row[2], row[3]) for row in points]:
                fail(f"{name}: the boundary's vertices {vertices} are not the CSV's points")
            marks = [tuple(p.dxf.location)[:2] for p in msp.query('POINT[layer=="POINTS"]')]
            numbers = [t.dxf.text for t in msp.query('TEXT[layer=="NUMBERS"]')]
            station = [tuple(p.dxf.location) for p in msp.query('POINT[layer=="STATION"]')]
            if marks != vertices or numbers != [str(k) for k in range(1, len(points) + 1)] \
                    or station != [(0.0, 0.0, 0.0)]:
                fail(f"{name}: points {marks}, numbers {numbers}, station {station}")
    print("every DXF passes ezdxf's audit and holds the contour")


def star_polygon(rng):
    """A simple polygon, star-shaped about a centre that may lie off the
    station, given as (length, direction in grads) from the station."""
    n = rng.randint(3, 40)
    centre = (rng.uniform(-300, 300), rng.uniform(-300, 300)) if rng.random() < 0.5 else (0, 0)
    gaps = [rng.uniform(0.2, 1.0) for _ in range(n)]
    start, total = rng.uniform(0, 2 * math.pi), sum(gaps)
    points, angle = [], start
    for gap in gaps:
        radius = rng.uniform(20, 150)
        x, y = centre[0] + radius * math.sin(angle), centre[1] + radius * math.cos(angle)
        direction = math.atan2(x, y) * 200 / math.pi % 400
        points.append((round(math.hypot(x, y), 3), round(direction, 4)))
        angle += gap / total * 2 * math.pi
    return points if rng.random() < 0.5 else points[::-1]


def check_random(programs):
    rng = random.Random(20240611)
    for case in range(200):
        points = star_polygon(rng)
        data = survey_input(points)
        rows, area = read_csv(programs, data, f"random polygon {case}")
        xs, ys = [r[2] for r in rows], [r[3] for r in rows]
        n = len(rows)
        # Clockwise positive, as directions increase clockwise.
        shoelace = 0.5 * sum(xs[(k + 1) % n] * ys[k] - xs[k] * ys[(k + 1) % n] for k in range(n))
        printed = float(programs.results_line(data).split()[5].removesuffix("m^2"))
        if abs(shoelace - area[0]) > 0.01 or abs(shoelace - printed) > 0.01:
            fail(f"random polygon {case} {points}: shoelace {shoelace}, ComputeArea {area[0]}, "
                 f"printed {printed}")
    print("200 random simple polygons: shoelace and ComputeArea agree to 0.01 m2")


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
    triangle = programs.inputs()["examples/triangle"]
    with open("/dev/full", "wb") as full:
        result = programs.run_contour(triangle, stdout=full)
    if result.returncode != 1 or report_lines(result.stderr) != ("Exception EInOutError",
                                                                   "I/O error 112."):
        fail(f"output on /dev/full: exit {result.returncode}, {result.stderr!r}")
    result = programs.run_contour(triangle, "-o", "/nonexistent/folder/contour.svg")
    if result.returncode != 1 or report_lines(result.stderr)[1] != "File not found.":
        fail(f"-o into a missing folder: exit {result.returncode}, {result.stderr!r}")
    result = programs.run_contour(triangle, "--pdf")
    if result.returncode != 1 or not result.stderr.startswith(b"Usage: survey-contour"):
        fail(f"an unknown option: exit {result.returncode}, {result.stderr!r}")
    print(f"all {compared} failing inputs end survey-contour with survey's report")


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
        data = programs.inputs()["examples/" + sample]
        result = programs.run_contour(data)
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
    programs = Programs(contour, survey, source)
    checks = {"svg": check_svg, "csv": check_csv, "dxf": check_dxf, "random": check_random,
              "errors": check_errors}
    if check == "pictures":
        check_pictures(programs, sys.argv[5] if len(sys.argv) > 5 else os.path.join(source, "doc"))
    elif check in checks:
        checks[check](programs)
    else:
        fail(__doc__)


if __name__ == "__main__":
    main()
