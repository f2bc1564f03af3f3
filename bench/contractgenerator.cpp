#include "contractgenerator.h"

#include <QFile>
#include <algorithm>
#include <zip.h>

namespace {

const char* const kPhrases[] = {
    "A szerződő felek megállapodnak abban, hogy ",
    "az eladó kijelenti, hogy az ingatlan per-, teher- és igénymentes, továbbá ",
    "a vevő a vételárat a szerződés aláírásától számított tizenöt napon belül fizeti meg, ",
    "a birtokba adás napjáig a közüzemi díjakat az eladó viseli, ",
    "a felek a jelen szerződésben nem szabályozott kérdésekben a Ptk. rendelkezéseit tekintik irányadónak, ",
    "az ügyvédi ellenjegyzés díja a vevőt terheli, ",
    "a földhivatali bejegyzési kérelmet a felek közösen nyújtják be, ",
    "a szerződés három eredeti példányban készült, ",
};
constexpr int kPhraseCount = int(sizeof(kPhrases) / sizeof(kPhrases[0]));
constexpr int kFieldsPerParagraph = 4;
constexpr int kTableRows = 6;

const char* const kStems[] = { "EladoNeve", "VevoNeve", "Szuletesi", "AnyjaNeve", "Lakcim", "Helyrajzi",
                               "Vetelar", "Foglalo", "Hatarido", "Szemelyi", "Adoazonosito", "Ugyved" };
constexpr int kStemCount = int(sizeof(kStems) / sizeof(kStems[0]));

QString escaped(const QString& s)
{
    return s.toHtmlEscaped();
}

void run(QString& out, const QString& text)
{
    out += QStringLiteral("<w:r><w:t xml:space=\"preserve\">") + escaped(text) + QStringLiteral("</w:t></w:r>");
}

void bookmarked(QString& out, int id, const QString& name)
{
    const QString sid = QString::number(id);
    out += QStringLiteral("<w:bookmarkStart w:id=\"") + sid + QStringLiteral("\" w:name=\"") + escaped(name)
        + QStringLiteral("\"/>");
    out += QStringLiteral("<w:r><w:rPr><w:b/></w:rPr><w:t>") + ContractGenerator::placeholder() + QStringLiteral("</w:t></w:r>");
    out += QStringLiteral("<w:bookmarkEnd w:id=\"") + sid + QStringLiteral("\"/>");
}

void paragraph(QString& out, const QString& style, const QString& body)
{
    out += QStringLiteral("<w:p><w:pPr><w:pStyle w:val=\"") + style + QStringLiteral("\"/></w:pPr>") + body
        + QStringLiteral("</w:p>");
}

} // namespace

QString ContractGenerator::fieldName(int field)
{
    // Accented and plain stems alike; the number keeps every name unique.
    const QString stem = QString::fromLatin1(kStems[field % kStemCount]);
    const QString accent = field % 3 == 0 ? QStringLiteral("Ő") : QString();
    return stem + accent + QString::number(field);
}

QString ContractGenerator::valueFor(int field)
{
    static const QStringList names{ QStringLiteral("Kovács Ödön"), QStringLiteral("Szűcs Éva Júlia"),
                                    QStringLiteral("Győri Árpád"), QStringLiteral("1.250.000 Ft"),
                                    QStringLiteral("2026. december 8.") };
    return names.at(field % names.size()) + QStringLiteral(" (") + QString::number(field) + QLatin1Char(')');
}

QString ContractGenerator::placeholder()
{
    return QStringLiteral("………");
}

void ContractGenerator::chapter(QString& out, int occurrence, int& nextId) const
{
    QString title;
    run(title, QStringLiteral("%1. fejezet – A felek és az ingatlan adatai").arg(occurrence));
    paragraph(out, QStringLiteral("Heading1"), title);

    const int inTable = std::min(kTableRows, m_fields);
    out += QStringLiteral("<w:tbl><w:tblPr><w:tblStyle w:val=\"TableGrid\"/><w:tblW w:w=\"0\" w:type=\"auto\"/></w:tblPr>"
                          "<w:tblGrid><w:gridCol w:w=\"3000\"/><w:gridCol w:w=\"6000\"/></w:tblGrid>");
    for (int f = 0; f < inTable; ++f) {
        QString label, value;
        run(label, fieldName(f));
        bookmarked(value, nextId++, bookmarkName(f, occurrence));
        out += QStringLiteral("<w:tr><w:tc><w:tcPr><w:tcW w:w=\"3000\" w:type=\"dxa\"/></w:tcPr>");
        paragraph(out, QStringLiteral("Normal"), label);
        out += QStringLiteral("</w:tc><w:tc><w:tcPr><w:tcW w:w=\"6000\" w:type=\"dxa\"/></w:tcPr>");
        paragraph(out, QStringLiteral("Normal"), value);
        out += QStringLiteral("</w:tc></w:tr>");
    }
    out += QStringLiteral("</w:tbl>");

    int clause = 1;
    for (int f = inTable; f < m_fields; f += kFieldsPerParagraph) {
        const bool listLook = (f / kFieldsPerParagraph) % 5 == 4;
        QString body;
        if (listLook)
            run(body, QStringLiteral("(%1) ").arg(clause++));
        for (int g = f; g < std::min(m_fields, f + kFieldsPerParagraph); ++g) {
            run(body, QString::fromUtf8(kPhrases[(g + occurrence) % kPhraseCount]));
            bookmarked(body, nextId++, bookmarkName(g, occurrence));
            run(body, QStringLiteral(", "));
        }
        run(body, QStringLiteral("és ezt a felek aláírásukkal igazolják."));
        paragraph(out, listLook ? QStringLiteral("ListParagraph") : QStringLiteral("Normal"), body);
    }
}

QByteArray ContractGenerator::documentXml() const
{
    QString out;
    out.reserve(m_fields * m_occurrences * 400 + 4096);
    out += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                          "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
                          "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><w:body>");
    QString title;
    run(title, QStringLiteral("ADÁSVÉTELI SZERZŐDÉS"));
    paragraph(out, QStringLiteral("Title"), title);
    int nextId = 0;
    for (int k = 1; k <= m_occurrences; ++k)
        chapter(out, k, nextId);
    out += QStringLiteral("<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
                          "<w:pgMar w:top=\"1417\" w:right=\"1417\" w:bottom=\"1417\" w:left=\"1417\" "
                          "w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/></w:sectPr></w:body></w:document>");
    return out.toUtf8();
}

QByteArray ContractGenerator::stylesXml()
{
    return QByteArrayLiteral(
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<w:styles xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">"
        "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\"/>"
        "<w:sz w:val=\"24\"/><w:lang w:val=\"hu-HU\"/></w:rPr></w:rPrDefault></w:docDefaults>"
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/>"
        "<w:pPr><w:spacing w:after=\"120\"/><w:jc w:val=\"both\"/></w:pPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Title\"><w:name w:val=\"Title\"/><w:basedOn w:val=\"Normal\"/>"
        "<w:pPr><w:jc w:val=\"center\"/></w:pPr><w:rPr><w:b/><w:sz w:val=\"32\"/></w:rPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/><w:basedOn w:val=\"Normal\"/>"
        "<w:pPr><w:keepNext/><w:spacing w:before=\"240\"/><w:outlineLvl w:val=\"0\"/></w:pPr>"
        "<w:rPr><w:b/><w:sz w:val=\"28\"/></w:rPr></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"ListParagraph\"><w:name w:val=\"List Paragraph\"/>"
        "<w:basedOn w:val=\"Normal\"/><w:pPr><w:ind w:left=\"720\" w:hanging=\"360\"/></w:pPr></w:style>"
        "<w:style w:type=\"table\" w:styleId=\"TableGrid\"><w:name w:val=\"Table Grid\"/><w:tblPr><w:tblBorders>"
        "<w:top w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
        "<w:left w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
        "<w:bottom w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
        "<w:right w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
        "<w:insideH w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
        "<w:insideV w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"auto\"/>"
        "</w:tblBorders></w:tblPr></w:style>"
        "</w:styles>");
}

namespace {

const char kContentTypes[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
    "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
    "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
    "<Override PartName=\"/word/document.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
    "<Override PartName=\"/word/styles.xml\" "
    "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml\"/>"
    "</Types>";

const char kPackageRels[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" "
    "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
    "Target=\"word/document.xml\"/></Relationships>";

const char kDocumentRels[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"styles.xml\"/></Relationships>";

// libzip copies nothing until zip_close, so the buffers must outlive it.
bool addEntry(zip_t* z, const char* name, const QByteArray& data)
{
    zip_source_t* src = zip_source_buffer(z, data.constData(), zip_uint64_t(data.size()), 0);
    if (!src)
        return false;
    if (zip_file_add(z, name, src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
        zip_source_free(src);
        return false;
    }
    return true;
}

} // namespace

QString ContractGenerator::write(const QString& path) const
{
    QFile::remove(path);
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z)
        return QStringLiteral("cannot create %1 (libzip error %2)").arg(path).arg(err);
    const QByteArray parts[] = { QByteArray(kContentTypes), QByteArray(kPackageRels), QByteArray(kDocumentRels),
                                 documentXml(), stylesXml() };
    const char* names[] = { "[Content_Types].xml", "_rels/.rels", "word/_rels/document.xml.rels",
                            "word/document.xml", "word/styles.xml" };
    for (int i = 0; i < 5; ++i) {
        if (!addEntry(z, names[i], parts[i])) {
            const QString why = QString::fromUtf8(zip_strerror(z));
            zip_discard(z);
            return why;
        }
    }
    if (zip_close(z) != 0) {
        const QString why = QString::fromUtf8(zip_strerror(z));
        zip_discard(z);
        return why;
    }
    return QString();
}
