#!/usr/bin/env python3
"""Builds the sample contract templates from their text source.

    generate.py SOURCE.txt OUTDIR

writes OUTDIR/sablonok/<name>.sab, the four party-count variants
OUTDIR/sablonok/<name>-{egyesel,tobbesel}-{egyesvev,tobbesvev}.dot and
OUTDIR/Normal2003.dot (the style template that the compatibility re-save
attaches). The files are WordprocessingML packages; their zip entries carry a
fixed time stamp so that the same source always gives the same bytes.

The markup of the source is described at its top. What the program relies on:
the legal-person block "Jogisz" and the natural-person block "Termsz" are the
first two paragraphs, each bookmark covering its paragraph's text but not the
paragraph mark, so that cutting both leaves exactly two empty paragraphs at the
start; field bookmarks inside a block end in "_1"; the party placeholders are
<entry>_<k>, numbered per entry from 1 in document order; every other field
occurrence is <field>_<k>.
"""

import html
import os
import re
import sys
import zipfile

ZIP_TIME = (2024, 1, 1, 0, 0, 0)
W_NS = "http://schemas.openxmlformats.org/wordprocessingml/2006/main"
R_NS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
FIELD_TEXT = "***"
BODY_SIZE_PT = 11


def esc(text):
    return html.escape(text, quote=True)


class Variant:
    """The party entries of one variant, as the template dialog lists them."""

    def __init__(self, sellers, buyers):
        self.sellers = sellers
        self.buyers = buyers

    def entries(self, group):
        word = "Eladó" if group == "E" else "Vevő"
        count = self.sellers if group == "E" else self.buyers
        return [word if i == 1 else f"{word}{i}" for i in range(1, count + 1)]

    def suffix(self):
        sel = "-egyesel" if self.sellers <= 1 else "-tobbesel"
        vev = "-egyesvev" if self.buyers <= 1 else "-tobbesvev"
        return sel + vev


class Writer:
    """Turns source lines into document.xml body content for one variant."""

    def __init__(self, variant):
        self.variant = variant
        self.body = []
        self.table_rows = []
        self.counters = {}
        self.next_id = 0
        self.size_pt = None

    # -- bookmarks -------------------------------------------------------
    def occurrence(self, base):
        self.counters[base] = self.counters.get(base, 0) + 1
        return f"{base}_{self.counters[base]}"

    def bookmark(self, name, runs_xml):
        bid = self.next_id
        self.next_id += 1
        return (f'<w:bookmarkStart w:id="{bid}" w:name="{esc(name)}"/>'
                f'{runs_xml}<w:bookmarkEnd w:id="{bid}"/>')

    # -- runs ------------------------------------------------------------
    def run(self, text, bold=False):
        props = []
        if bold:
            props.append("<w:b/><w:bCs/>")
        if self.size_pt:
            props.append(f'<w:sz w:val="{self.size_pt * 2}"/><w:szCs w:val="{self.size_pt * 2}"/>')
        rpr = f"<w:rPr>{''.join(props)}</w:rPr>" if props else ""
        return f'<w:r>{rpr}<w:t xml:space="preserve">{esc(text)}</w:t></w:r>'

    def choose(self, text):
        def pick(m):
            group, one, more = m.group(1), m.group(2), m.group(3)
            count = self.variant.sellers if group == "E" else self.variant.buyers
            return one if count <= 1 else more
        return re.sub(r"\[([EV]):([^|\]]*)\|([^\]]*)\]", pick, text)

    def inline(self, text, block_fields=False, placeholder=None):
        """Runs for a line: **bold**, {Field} bookmarks and the <> placeholder."""
        out = []
        for bold_i, part in enumerate(re.split(r"\*\*", self.choose(text))):
            bold = bold_i % 2 == 1
            for piece in re.split(r"(\{[^}]+\}|<>)", part):
                if not piece:
                    continue
                if piece == "<>":
                    name = self.occurrence(placeholder)
                    out.append(self.bookmark(name, self.run(f"[{placeholder} adatai]", bold)))
                elif piece.startswith("{"):
                    base = piece[1:-1]
                    name = f"{base}_1" if block_fields else self.occurrence(base)
                    out.append(self.bookmark(name, self.run(FIELD_TEXT, bold)))
                else:
                    out.append(self.run(piece, bold))
        return "".join(out)

    # -- paragraphs ------------------------------------------------------
    def para(self, runs, style=None, align=None, numbered=False, page_break=False):
        ppr = []
        if style:
            ppr.append(f'<w:pStyle w:val="{style}"/>')
        if numbered:
            ppr.append('<w:numPr><w:ilvl w:val="0"/><w:numId w:val="1"/></w:numPr>')
        if page_break:
            ppr.append("<w:pageBreakBefore/>")
        if align:
            ppr.append(f'<w:jc w:val="{align}"/>')
        ppr_xml = f"<w:pPr>{''.join(ppr)}</w:pPr>" if ppr else ""
        self.flush_table()
        self.body.append(f"<w:p>{ppr_xml}{runs}</w:p>")

    def flush_table(self):
        if not self.table_rows:
            return
        rows = self.table_rows
        self.table_rows = []
        cols = max(len(r) for r in rows)
        width = 9000 // cols
        grid = "".join(f'<w:gridCol w:w="{width}"/>' for _ in range(cols))
        border = ('<w:tblBorders>' + "".join(
            f'<w:{side} w:val="single" w:sz="4" w:space="0" w:color="000000"/>'
            for side in ("top", "left", "bottom", "right", "insideH", "insideV"))
            + '</w:tblBorders>')
        out = [f'<w:tbl><w:tblPr><w:tblW w:w="{width * cols}" w:type="dxa"/>{border}'
               '<w:tblLook w:val="04A0"/></w:tblPr>'
               f"<w:tblGrid>{grid}</w:tblGrid>"]
        for cells in rows:
            out.append("<w:tr>")
            for cell in cells + [""] * (cols - len(cells)):
                out.append(f'<w:tc><w:tcPr><w:tcW w:w="{width}" w:type="dxa"/></w:tcPr>'
                           f'<w:p><w:pPr><w:pStyle w:val="Tablazat"/></w:pPr>{self.inline(cell)}</w:p></w:tc>')
            out.append("</w:tr>")
        out.append("</w:tbl>")
        self.body.append("".join(out))

    def signatures(self, sellers_only):
        groups = [("E", "Eladó")] + ([] if sellers_only else [("V", "Vevő")])
        columns = []
        for group, word in groups:
            entries = self.variant.entries(group)
            for i, _ in enumerate(entries, 1):
                label = f"{i}. {word}" if len(entries) > 1 else word
                columns.append(label)
        cells = ['<w:tc><w:tcPr><w:tcW w:w="{w}" w:type="dxa"/></w:tcPr>'
                 '<w:p><w:pPr><w:pStyle w:val="Alairas"/></w:pPr>{r1}</w:p>'
                 '<w:p><w:pPr><w:pStyle w:val="Alairas"/></w:pPr>{r2}</w:p></w:tc>'
                 .format(w=9000 // len(columns), r1=self.run("……………………"),
                         r2=self.run(label, bold=True)) for label in columns]
        grid = "".join(f'<w:gridCol w:w="{9000 // len(columns)}"/>' for _ in columns)
        self.flush_table()
        self.body.append('<w:tbl><w:tblPr><w:tblW w:w="9000" w:type="dxa"/>'
                         '<w:tblLook w:val="04A0"/></w:tblPr>'
                         f'<w:tblGrid>{grid}</w:tblGrid><w:tr>{"".join(cells)}</w:tr></w:tbl>')

    def line(self, line):
        if line.startswith("@block "):
            name, text = line[len("@block "):].split(":", 1)
            runs = self.bookmark(name.strip(), self.inline(text.strip(), block_fields=True))
            self.para(runs, style="Szerzodes")
        elif line.startswith("@each "):
            group, text = line[len("@each "):].split(":", 1)
            entries = self.variant.entries(group.strip())
            for i, entry in enumerate(entries, 1):
                ordinal = f"{i}. " if len(entries) > 1 else ""
                self.para(self.inline(text.strip().replace("$n", ordinal), placeholder=entry),
                          style="Felek")
        elif line.startswith("@size"):
            value = line[len("@size"):].strip()
            self.size_pt = int(value) if value else None
        elif line == "@pagebreak":
            self.pending_break = True
        elif line.startswith("@signatures"):
            self.signatures(sellers_only=line.endswith("sellers"))
        elif line.startswith("|"):
            self.table_rows.append([c.strip() for c in line.strip().strip("|").split("|")])
        elif line.startswith("== "):
            self.para(self.inline(line[3:]), style="Fejezet", numbered=True)
        elif line.startswith("= "):
            self.para(self.inline(line[2:]), style="Cim", page_break=self.take_break())
        elif line.startswith("-- "):
            self.para(self.inline(line[3:]), style="Szerzodes", align="center")
        else:
            self.para(self.inline(line), style="Szerzodes", page_break=self.take_break())

    pending_break = False

    def take_break(self):
        taken, self.pending_break = self.pending_break, False
        return taken

    def finish(self):
        """document.xml, header1.xml and footer1.xml of the variant."""
        self.flush_table()
        sect = ('<w:sectPr><w:headerReference w:type="default" r:id="rId4"/>'
                '<w:footerReference w:type="default" r:id="rId5"/><w:pgSz w:w="11906" w:h="16838"/>'
                '<w:pgMar w:top="1417" w:right="1417" w:bottom="1417" w:left="1417" '
                'w:header="708" w:footer="708" w:gutter="0"/></w:sectPr>')
        document = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                    f'<w:document xmlns:w="{W_NS}" xmlns:r="{R_NS}"><w:body>'
                    + "".join(self.body) + sect + "</w:body></w:document>")
        # The header repeats the contract number, whose first place is in the
        # body, so filling the field fills it too; the footer numbers the pages.
        self.size_pt = 9
        border = ('<w:pBdr><w:bottom w:val="single" w:sz="4" w:space="1" w:color="auto"/></w:pBdr>')
        header = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:hdr xmlns:w="{W_NS}">'
                  f'<w:p><w:pPr>{border}<w:jc w:val="right"/></w:pPr>'
                  + self.inline("Ingatlan adásvételi szerződés – szerződésszám: {Szerződésszám}")
                  + '</w:p></w:hdr>')

        def field(code):
            return ('<w:r><w:fldChar w:fldCharType="begin"/></w:r>'
                    f'<w:r><w:instrText xml:space="preserve"> {code} </w:instrText></w:r>'
                    '<w:r><w:fldChar w:fldCharType="separate"/></w:r>'
                    + self.run("1") + '<w:r><w:fldChar w:fldCharType="end"/></w:r>')
        footer = (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:ftr xmlns:w="{W_NS}">'
                  '<w:p><w:pPr><w:jc w:val="center"/></w:pPr>'
                  + field("PAGE") + self.run(". oldal, összesen ") + field("NUMPAGES") + self.run(" oldal")
                  + '</w:p></w:ftr>')
        self.size_pt = None
        return document, header, footer


STYLES = f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:styles xmlns:w="{W_NS}">
<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii="Times New Roman" w:hAnsi="Times New Roman" w:cs="Times New Roman" w:eastAsia="Times New Roman"/>
<w:sz w:val="{BODY_SIZE_PT * 2}"/><w:szCs w:val="{BODY_SIZE_PT * 2}"/><w:lang w:val="hu-HU"/></w:rPr></w:rPrDefault>
<w:pPrDefault><w:pPr><w:spacing w:after="0" w:line="240" w:lineRule="auto"/></w:pPr></w:pPrDefault></w:docDefaults>
<w:style w:type="paragraph" w:default="1" w:styleId="Normal"><w:name w:val="Normal"/><w:qFormat/></w:style>
<w:style w:type="paragraph" w:styleId="Szerzodes"><w:name w:val="Szerződés szöveg"/><w:basedOn w:val="Normal"/><w:qFormat/>
<w:pPr><w:spacing w:after="120" w:line="264" w:lineRule="auto"/><w:jc w:val="both"/></w:pPr></w:style>
<w:style w:type="paragraph" w:styleId="Felek"><w:name w:val="Szerződő felek"/><w:basedOn w:val="Szerzodes"/><w:qFormat/>
<w:pPr><w:ind w:left="567"/></w:pPr></w:style>
<w:style w:type="paragraph" w:styleId="Cim"><w:name w:val="Szerződés címe"/><w:basedOn w:val="Normal"/><w:next w:val="Szerzodes"/><w:qFormat/>
<w:pPr><w:spacing w:before="240" w:after="360"/><w:jc w:val="center"/></w:pPr>
<w:rPr><w:b/><w:bCs/><w:spacing w:val="20"/><w:sz w:val="32"/><w:szCs w:val="32"/></w:rPr></w:style>
<w:style w:type="paragraph" w:styleId="Fejezet"><w:name w:val="Fejezetcím"/><w:basedOn w:val="Normal"/><w:next w:val="Szerzodes"/><w:qFormat/>
<w:pPr><w:keepNext/><w:spacing w:before="240" w:after="120"/></w:pPr>
<w:rPr><w:b/><w:bCs/><w:sz w:val="24"/><w:szCs w:val="24"/></w:rPr></w:style>
<w:style w:type="paragraph" w:styleId="Tablazat"><w:name w:val="Táblázat szöveg"/><w:basedOn w:val="Normal"/>
<w:pPr><w:spacing w:before="40" w:after="40"/></w:pPr></w:style>
<w:style w:type="paragraph" w:styleId="Alairas"><w:name w:val="Aláírás"/><w:basedOn w:val="Normal"/>
<w:pPr><w:spacing w:before="480"/><w:jc w:val="center"/></w:pPr></w:style>
<w:style w:type="table" w:default="1" w:styleId="TableNormal"><w:name w:val="Normal Table"/>
<w:tblPr><w:tblInd w:w="0" w:type="dxa"/><w:tblCellMar><w:top w:w="0" w:type="dxa"/><w:left w:w="108" w:type="dxa"/>
<w:bottom w:w="0" w:type="dxa"/><w:right w:w="108" w:type="dxa"/></w:tblCellMar></w:tblPr></w:style>
</w:styles>
"""

NUMBERING = f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:numbering xmlns:w="{W_NS}">
<w:abstractNum w:abstractNumId="0"><w:multiLevelType w:val="singleLevel"/>
<w:lvl w:ilvl="0"><w:start w:val="1"/><w:numFmt w:val="decimal"/><w:lvlText w:val="%1."/><w:lvlJc w:val="left"/>
<w:pPr><w:ind w:left="425" w:hanging="425"/></w:pPr></w:lvl></w:abstractNum>
<w:num w:numId="1"><w:abstractNumId w:val="0"/></w:num>
</w:numbering>
"""

SETTINGS = f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:settings xmlns:w="{W_NS}"><w:defaultTabStop w:val="708"/><w:hyphenationZone w:val="425"/>
<w:characterSpacingControl w:val="doNotCompress"/><w:compat><w:compatSetting w:name="compatibilityMode" w:uri="http://schemas.microsoft.com/office/word" w:val="15"/></w:compat></w:settings>
"""


STORY_TYPES = ('<Override PartName="/word/header1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"/>'
               '<Override PartName="/word/footer1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml"/>')


def content_types(main_type, with_numbering, with_stories=False):
    numbering = ('<Override PartName="/word/numbering.xml" ContentType="application/'
                 'vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml"/>'
                 if with_numbering else "")
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
            '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
            '<Default Extension="xml" ContentType="application/xml"/>'
            f'<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.{main_type}.main+xml"/>'
            '<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>'
            '<Override PartName="/word/settings.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"/>'
            f'{numbering}'
            + (STORY_TYPES if with_stories else '') +
            '<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>'
            '</Types>')


PACKAGE_RELS = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>'
                '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>'
                '</Relationships>')


def document_rels(with_numbering, with_stories=False):
    base = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    rels = [f'<Relationship Id="rId1" Type="{base}/styles" Target="styles.xml"/>',
            f'<Relationship Id="rId2" Type="{base}/settings" Target="settings.xml"/>']
    if with_numbering:
        rels.append(f'<Relationship Id="rId3" Type="{base}/numbering" Target="numbering.xml"/>')
    if with_stories:
        rels.append(f'<Relationship Id="rId4" Type="{base}/header" Target="header1.xml"/>')
        rels.append(f'<Relationship Id="rId5" Type="{base}/footer" Target="footer1.xml"/>')
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            + "".join(rels) + "</Relationships>")


def core_props(title):
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" '
            'xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" '
            'xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">'
            f'<dc:title>{esc(title)}</dc:title><dc:language>hu-HU</dc:language><cp:lastModifiedBy>Quillora</cp:lastModifiedBy>'
            '</cp:coreProperties>')


def write_package(path, document_xml, title, main_type="document", with_numbering=True, stories=None):
    parts = [("[Content_Types].xml", content_types(main_type, with_numbering, bool(stories))),
             ("_rels/.rels", PACKAGE_RELS),
             ("docProps/core.xml", core_props(title)),
             ("word/document.xml", document_xml),
             ("word/_rels/document.xml.rels", document_rels(with_numbering, bool(stories))),
             ("word/styles.xml", STYLES),
             ("word/settings.xml", SETTINGS)]
    if with_numbering:
        parts.append(("word/numbering.xml", NUMBERING))
    if stories:
        parts += [("word/header1.xml", stories[0]), ("word/footer1.xml", stories[1])]
    tmp = path + ".tmp"
    with zipfile.ZipFile(tmp, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in parts:
            info = zipfile.ZipInfo(name, ZIP_TIME)
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, text.encode("utf-8"))
    os.replace(tmp, path)


def source_lines(path):
    with open(path, encoding="utf-8") as f:
        for raw in f:
            line = raw.rstrip("\n")
            if line.strip() and not line.startswith(";"):
                yield line


def build_variant(lines, variant):
    writer = Writer(variant)
    for line in lines:
        writer.line(line)
    return writer.finish()


def normal_template():
    body = ('<w:p><w:pPr><w:pStyle w:val="Szerzodes"/></w:pPr></w:p>'
            '<w:sectPr><w:pgSz w:w="11906" w:h="16838"/><w:pgMar w:top="1417" w:right="1417" '
            'w:bottom="1417" w:left="1417" w:header="708" w:footer="708" w:gutter="0"/></w:sectPr>')
    return (f'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            f'<w:document xmlns:w="{W_NS}" xmlns:r="{R_NS}"><w:body>{body}</w:body></w:document>')


def main(argv):
    if len(argv) != 3:
        sys.stderr.write("usage: generate.py SOURCE.txt OUTDIR\n")
        return 2
    source, outdir = argv[1], argv[2]
    name = os.path.splitext(os.path.basename(source))[0]
    lines = list(source_lines(source))
    folder = os.path.join(outdir, "sablonok")
    os.makedirs(folder, exist_ok=True)
    for sellers in (1, 2):
        for buyers in (1, 2):
            variant = Variant(sellers, buyers)
            path = os.path.join(folder, name + variant.suffix() + ".dot")
            document, header, footer = build_variant(lines, variant)
            write_package(path, document, "Ingatlan adásvételi szerződés", stories=(header, footer))
    with open(os.path.join(folder, name + ".sab"), "w", encoding="utf-8") as f:
        f.write("Ingatlan adásvételi szerződés\n"
                "A sablon változatai ugyanebben a mappában: "
                f"{name}-egyesel-egyesvev.dot, {name}-egyesel-tobbesvev.dot, "
                f"{name}-tobbesel-egyesvev.dot, {name}-tobbesel-tobbesvev.dot\n")
    write_package(os.path.join(outdir, "Normal2003.dot"), normal_template(),
                  "Normal2003", main_type="template", with_numbering=False)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
