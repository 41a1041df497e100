#!/usr/bin/python3
"""Builds the user manual PDF from manual.md with ReportLab (Debian package python3-reportlab).

manual.md uses a small part of Markdown: "#", "##" and "###" headings, paragraphs, "- " lists,
lines indented by four spaces after a blank line (shown as typed), pipe tables (a header row, a |---| row, then the rows), "![caption](picture.png)" pictures on a
line of their own, and **bold**, *italic* and `code` inside text.

Usage: build_manual.py OUTPUT.pdf [--source manual.md]
"""

import argparse
import re
import sys
from pathlib import Path

from reportlab import rl_config
from reportlab.lib import colors
from reportlab.lib.enums import TA_CENTER
from reportlab.lib.pagesizes import A4
from reportlab.lib.styles import ParagraphStyle, getSampleStyleSheet
from reportlab.lib.units import mm
from reportlab.platypus import (Image, KeepTogether, ListFlowable, ListItem, Paragraph, Preformatted,
                                SimpleDocTemplate, Spacer, Table, TableStyle)

# The same source gives the same bytes: no creation date or random document id in the file.
rl_config.invariant = 1

TITLE = "WYD-KX7 User Manual"
TEXT_WIDTH = A4[0] - 40 * mm


def make_styles():
    base = getSampleStyleSheet()
    body = ParagraphStyle("body", parent=base["BodyText"], fontName="Helvetica", fontSize=10.5,
                          leading=14.5, spaceAfter=6)
    return {
        "title": ParagraphStyle("title", parent=base["Title"], fontName="Helvetica-Bold", fontSize=24,
                                leading=28, spaceAfter=4),
        "subtitle": ParagraphStyle("subtitle", parent=body, alignment=TA_CENTER, textColor=colors.grey,
                                   spaceAfter=14),
        "h2": ParagraphStyle("h2", parent=base["Heading2"], fontName="Helvetica-Bold", fontSize=15,
                             leading=19, spaceBefore=14, spaceAfter=6, keepWithNext=1),
        "h3": ParagraphStyle("h3", parent=base["Heading3"], fontName="Helvetica-Bold", fontSize=12,
                             leading=15, spaceBefore=10, spaceAfter=4, keepWithNext=1),
        "body": body,
        "cell": ParagraphStyle("cell", parent=body, fontSize=9.5, leading=12, spaceAfter=0),
        "head": ParagraphStyle("head", parent=body, fontName="Helvetica-Bold", fontSize=9.5, leading=12,
                               spaceAfter=0),
        "code": ParagraphStyle("code", parent=body, fontName="Courier", fontSize=9.5, leading=12,
                               leftIndent=12, spaceBefore=2, spaceAfter=8, backColor=colors.HexColor("#f0f0f0"),
                               borderPadding=4),
        "caption": ParagraphStyle("caption", parent=body, fontSize=9, textColor=colors.grey,
                                  alignment=TA_CENTER),
    }


def inline(text):
    """Markdown emphasis and code to ReportLab's paragraph markup; everything else is escaped."""
    text = text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    # A "*" inside code is a character, not the start of emphasis.
    text = re.sub(r"`([^`]+)`", lambda code: '<font face="Courier">' + code.group(1).replace("*", "&#42;") + "</font>",
                  text)
    text = re.sub(r"\*\*([^*]+)\*\*", r"<b>\1</b>", text)
    text = re.sub(r"\*([^*]+)\*", r"<i>\1</i>", text)
    return text


def picture(path, caption, styles):
    if not path.is_file():
        print(f"build_manual: {path} is missing; the manual is built without that picture", file=sys.stderr)
        return []
    image = Image(str(path))
    scale = min(1.0, TEXT_WIDTH / image.imageWidth)
    image.drawWidth = image.imageWidth * scale
    image.drawHeight = image.imageHeight * scale
    return [KeepTogether([Spacer(1, 4), image, Paragraph(inline(caption), styles["caption"])])]


def table(rows, styles):
    cells = [[Paragraph(inline(cell), styles["head" if r == 0 else "cell"]) for cell in row]
             for r, row in enumerate(rows)]
    # Names and ranges are short; the last column explains.
    shares = {2: [0.32, 0.68], 3: [0.24, 0.30, 0.46]}.get(len(rows[0]), [1.0 / len(rows[0])] * len(rows[0]))
    result = Table(cells, colWidths=[TEXT_WIDTH * share for share in shares], repeatRows=1)
    result.setStyle(TableStyle([
        ("BACKGROUND", (0, 0), (-1, 0), colors.HexColor("#e4e4e4")),
        ("LINEBELOW", (0, 0), (-1, -1), 0.4, colors.HexColor("#b0b0b0")),
        ("VALIGN", (0, 0), (-1, -1), "TOP"),
        ("TOPPADDING", (0, 0), (-1, -1), 3),
        ("BOTTOMPADDING", (0, 0), (-1, -1), 3),
    ]))
    return [result, Spacer(1, 8)]


def split_row(line):
    return [cell.strip() for cell in line.strip().strip("|").split("|")]


def parse(source, styles):
    """Turns the lines of manual.md into ReportLab flowables."""
    story = []
    paragraph, items, rows, code = [], [], [], []

    def flush():
        if paragraph:
            story.append(Paragraph(inline(" ".join(paragraph)), styles["body"]))
            paragraph.clear()
        if items:
            story.append(ListFlowable([ListItem(Paragraph(inline(i), styles["body"]), leftIndent=12)
                                       for i in items], bulletType="bullet", start="\u2022", leftIndent=12))
            items.clear()
        if rows:
            story.extend(table(rows, styles))
            rows.clear()
        if code:
            story.append(Preformatted("\n".join(code), styles["code"]))
            code.clear()

    for line in source.read_text(encoding="utf-8").splitlines():
        stripped = line.strip()
        figure = re.fullmatch(r"!\[(.*)\]\((.+)\)", stripped)
        if not stripped:
            flush()
        elif line.startswith("    ") and (code or not (paragraph or items or rows)):
            code.append(line[4:])
        elif stripped.startswith("# "):
            flush()
            story.append(Paragraph(inline(stripped[2:]), styles["title"]))
        elif stripped.startswith("## "):
            flush()
            story.append(Paragraph(inline(stripped[3:]), styles["h2"]))
        elif stripped.startswith("### "):
            flush()
            story.append(Paragraph(inline(stripped[4:]), styles["h3"]))
        elif figure:
            flush()
            story.extend(picture(source.parent / figure.group(2), figure.group(1), styles))
        elif stripped.startswith("|"):
            if not re.fullmatch(r"\|[\s:|-]+\|", stripped):
                rows.append(split_row(stripped))
        elif stripped.startswith("- "):
            if paragraph:
                flush()
            items.append(stripped[2:])
        elif items and line.startswith("  "):
            items[-1] += " " + stripped
        elif stripped.startswith("_") and stripped.endswith("_") and not story[1:]:
            story.append(Paragraph(inline(stripped.strip("_")), styles["subtitle"]))
        else:
            paragraph.append(stripped)
    flush()
    return story


def footer(canvas, document):
    canvas.saveState()
    canvas.setFont("Helvetica", 8.5)
    canvas.setFillColor(colors.grey)
    canvas.drawString(20 * mm, 12 * mm, TITLE)
    canvas.drawRightString(A4[0] - 20 * mm, 12 * mm, str(document.page))
    canvas.restoreState()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", type=Path)
    parser.add_argument("--source", type=Path, default=Path(__file__).with_name("manual.md"))
    arguments = parser.parse_args()

    arguments.output.parent.mkdir(parents=True, exist_ok=True)
    document = SimpleDocTemplate(str(arguments.output), pagesize=A4, leftMargin=20 * mm, rightMargin=20 * mm,
                                 topMargin=18 * mm, bottomMargin=20 * mm, title=TITLE, author="Tarvel, Inc",
                                 subject="Equaliser plug-in")
    document.build(parse(arguments.source, make_styles()), onFirstPage=footer, onLaterPages=footer)
    print(f"wrote {arguments.output}")


if __name__ == "__main__":
    main()
