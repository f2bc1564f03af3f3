#!/usr/bin/env python3
"""Writes the small generated seeds of every fuzz target into OUT/<target>/.

Each seed is a few hundred bytes and reaches one corner of the code: numbering,
tables with grid spans, bookmarks, pictures, an attached template, the flat
XML form, the field data file encodings, amounts and dates.
"""
import io
import os
import sys
import zipfile

W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" ' \
    'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"'
DECL = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
TYPES = (DECL + '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
         '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
         '<Default Extension="xml" ContentType="application/xml"/><Default Extension="png" ContentType="image/png"/>'
         '<Override PartName="/word/document.xml" '
         'ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/></Types>')
PNG = bytes.fromhex('89504e470d0a1a0a0000000d4948445200000001000000010806000000'
                    '1f15c4890000000d49444154789c6360000002000001e221bc330000000049454e44ae426082')


def rels(items):
    body = ''.join('<Relationship Id="%s" Type="%s%s" Target="%s"%s/>' % (i, REL, t, tg, ' TargetMode="External"' if ext else '')
                   for i, t, tg, ext in items)
    return DECL + '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">' + body + '</Relationships>'


def docx(body, parts=None, doc_rels=()):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('[Content_Types].xml', TYPES)
        z.writestr('_rels/.rels', rels([('rId1', 'officeDocument', 'word/document.xml', False)]))
        if 'word/document.xml' not in (parts or {}):
            z.writestr('word/document.xml', DECL + '<w:document %s><w:body>%s<w:sectPr/></w:body></w:document>' % (W, body))
        z.writestr('word/_rels/document.xml.rels', rels(doc_rels))
        for name, data in (parts or {}).items():
            z.writestr(name, data)
    return buf.getvalue()


def p(inner, ppr=''):
    return '<w:p>%s%s</w:p>' % (('<w:pPr>%s</w:pPr>' % ppr) if ppr else '', inner)


def r(text):
    return '<w:r><w:t xml:space="preserve">%s</w:t></w:r>' % text


def bm(name, i, text):
    return '<w:bookmarkStart w:id="%d" w:name="%s"/>%s<w:bookmarkEnd w:id="%d"/>' % (i, name, r(text), i)


NUMBERING = (DECL + '<w:numbering %s><w:abstractNum w:abstractNumId="0"><w:lvl w:ilvl="0"><w:start w:val="1"/>'
             '<w:numFmt w:val="lowerLetter"/><w:lvlText w:val="%%1)"/></w:lvl><w:lvl w:ilvl="1"><w:start w:val="3"/>'
             '<w:numFmt w:val="upperRoman"/><w:lvlText w:val="%%1.%%2."/></w:lvl></w:abstractNum>'
             '<w:num w:numId="1"><w:abstractNumId w:val="0"/><w:lvlOverride w:ilvl="1"><w:startOverride w:val="7"/>'
             '</w:lvlOverride></w:num></w:numbering>') % W
NUM = '<w:numPr><w:ilvl w:val="%d"/><w:numId w:val="1"/></w:numPr>'
TABLE = ('<w:tbl><w:tblGrid><w:gridCol w:w="2000"/><w:gridCol w:w="2000"/></w:tblGrid>'
         '<w:tr><w:trPr><w:gridBefore w:val="1"/></w:trPr><w:tc><w:tcPr><w:gridSpan w:val="2"/></w:tcPr>%s</w:tc></w:tr>'
         '<w:tr><w:tc><w:tcPr><w:vMerge w:val="restart"/></w:tcPr>%s</w:tc><w:tc>%s</w:tc></w:tr>'
         '<w:tr><w:tc><w:tcPr><w:vMerge/></w:tcPr>%s</w:tc><w:tc>%s</w:tc></w:tr></w:tbl>') % (
    p(r('fej')), p(bm('Nev_1', 1, 'név')), p(r('b')), p(''), p(bm('Nev_2', 2, 'név')))
DRAWING = ('<w:r><w:drawing><wp:inline xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing">'
           '<wp:extent cx="952500" cy="952500"/><a:graphic xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main">'
           '<a:graphicData><a:blip r:embed="rIdImg"/></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>')
SETTINGS = DECL + '<w:settings %s><w:attachedTemplate r:id="rIdT"/><w:linkStyles/></w:settings>' % W


def flat():
    part = ('<pkg:part pkg:name="%s" pkg:contentType="%s"><pkg:xmlData>%s</pkg:xmlData></pkg:part>')
    return (DECL + '<?mso-application progid="Word.Document"?><pkg:package xmlns:pkg="http://schemas.microsoft.com/office/2006/xmlPackage">'
            + part % ('/_rels/.rels', 'application/vnd.openxmlformats-package.relationships+xml',
                      rels([('rId1', 'officeDocument', 'word/document.xml', False)])[len(DECL):])
            + part % ('/word/document.xml', 'application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml',
                      '<w:document %s><w:body>%s</w:body></w:document>' % (W, p(bm('Kelt_1', 1, 'kelt')))) + '</pkg:package>').encode()


def documents():
    return {
        'plain.docx': docx(p(r('Árvíztűrő tükörfúrógép'))),
        'fields.docx': docx(p(r('Eladó: ') + bm('Elado_1', 1, '...') + r(' Vevő: ') + bm('Vevo_1', 2, '...'))
                            + p(bm('Elado_2', 3, '...') + bm('Ar_1', 4, '0'))),
        'numbering.docx': docx(p(r('egy'), NUM % 0) + p(r('kettő'), NUM % 1) + p(r('három'), NUM % 0),
                               {'word/numbering.xml': NUMBERING}, [('rIdN', 'numbering', 'numbering.xml', False)]),
        'table.docx': docx(TABLE + p(r('utána'))),
        'picture.docx': docx(p(DRAWING + bm('Kep_1', 1, 'kép')), {'word/media/image1.png': PNG},
                             [('rIdImg', 'image', 'media/image1.png', False)]),
        'template.docx': docx(p(r('sablon')), {'word/settings.xml': SETTINGS,
                                              'word/_rels/settings.xml.rels': rels([('rIdT', 'attachedTemplate', 'Normal2003.dot', True)])},
                              [('rIdS', 'settings', 'settings.xml', False)]),
        'flat.xml': flat(),
        'cp1252.docx': docx('', {'word/document.xml': ('<?xml version="1.0" encoding="windows-1252"?><w:document %s><w:body>'
                                                       % W).encode() + b'<w:p><w:r><w:t>\x80 \x93x\x94</w:t></w:r></w:p></w:body></w:document>'}),
    }


SEEDS = {
    'fuzz_package': documents,
    'fuzz_docreader': documents,
    'fuzz_fill': documents,
    'fuzz_fielddata': lambda: {
        'cp1250.mza': 'Mező értéke\r\nKovács Ödön\r\n\r\n1.234.567,-Ft\r\n'.encode('cp1250'),
        'utf8bom.mza': '\ufeffMező értéke\r\nŐ ű € ☃\r\nx\r\n'.encode('utf-8'),
        'lone-cr.mza': b'a\rb\nc\r\n\r\x00tail',
    },
    'fuzz_formats': lambda: {
        'number': b'1234567', 'decimal': b'1 234,5', 'negative': b'-12.5', 'amount': b'1.234.567,-Ft',
        'huge': b'99999999999999999999', 'date-bytes': b'\x10\x27\x00\x00\x00\x25\x00\x00',
    },
}


def main():
    out = sys.argv[1]
    for target, make in SEEDS.items():
        folder = os.path.join(out, target)
        os.makedirs(folder, exist_ok=True)
        for name, data in make().items():
            with open(os.path.join(folder, name), 'wb') as f:
                f.write(data)


if __name__ == '__main__':
    main()
