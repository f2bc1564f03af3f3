#include "wordfixture.h"

#include "word/application.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QUrl>
#include <zip.h>

namespace wordtest {

const char* const kW = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

namespace {

const char* kRelNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";

QString rel(const QString& id, const QString& type, const QString& target)
{
    return QStringLiteral("<Relationship Id=\"%1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/%2\" Target=\"%3\"/>")
        .arg(id, type, target);
}

} // namespace

QString defaultStyles()
{
    return QStringLiteral(
        "<w:styles xmlns:w=\"%1\">"
        "<w:docDefaults><w:rPrDefault><w:rPr><w:rFonts w:ascii=\"Times New Roman\" w:hAnsi=\"Times New Roman\"/>"
        "<w:sz w:val=\"24\"/></w:rPr></w:rPrDefault><w:pPrDefault><w:pPr/></w:pPrDefault></w:docDefaults>"
        "<w:style w:type=\"paragraph\" w:default=\"1\" w:styleId=\"Normal\"><w:name w:val=\"Normal\"/></w:style>"
        "<w:style w:type=\"paragraph\" w:styleId=\"Heading1\"><w:name w:val=\"heading 1\"/><w:basedOn w:val=\"Normal\"/>"
        "<w:pPr><w:jc w:val=\"center\"/></w:pPr><w:rPr><w:b/><w:sz w:val=\"32\"/></w:rPr></w:style>"
        "<w:style w:type=\"character\" w:styleId=\"Strong\"><w:name w:val=\"Strong\"/><w:rPr><w:i/></w:rPr></w:style>"
        "</w:styles>").arg(QLatin1String(kW));
}

QString p(const QString& inner, const QString& pPr)
{
    return QStringLiteral("<w:p>%1%2</w:p>").arg(pPr.isEmpty() ? QString() : QStringLiteral("<w:pPr>%1</w:pPr>").arg(pPr), inner);
}

QString r(const QString& text, const QString& rPr)
{
    const bool keep = !text.isEmpty() && (text.front().isSpace() || text.back().isSpace());
    return QStringLiteral("<w:r>%1<w:t%2>%3</w:t></w:r>")
        .arg(rPr.isEmpty() ? QString() : QStringLiteral("<w:rPr>%1</w:rPr>").arg(rPr),
             keep ? QStringLiteral(" xml:space=\"preserve\"") : QString(), text.toHtmlEscaped());
}

QString bm(const QString& name, int id, const QString& runsInside)
{
    return QStringLiteral("<w:bookmarkStart w:id=\"%1\" w:name=\"%2\"/>%3<w:bookmarkEnd w:id=\"%1\"/>")
        .arg(id).arg(name, runsInside);
}

QList<Part> docxParts(const DocxRecipe& recipe)
{
    const QString w = recipe.prefix;
    QString body = recipe.body;
    if (w != u"w")
        body.replace(QStringLiteral("<w:"), u'<' + w + u':').replace(QStringLiteral("</w:"), QStringLiteral("</") + w + u':')
            .replace(QStringLiteral(" w:"), u' ' + w + u':');
    const QString doc = QLatin1String(kDecl)
        + QStringLiteral("<%1:document xmlns:%1=\"%2\" xmlns:r=\"%3\"><%1:body>%4"
                         "<%1:sectPr><%1:pgSz %1:w=\"11906\" %1:h=\"16838\"/></%1:sectPr></%1:body></%1:document>")
              .arg(w, QLatin1String(kW), QLatin1String(kRelNs), body);
    QString types = QStringLiteral(
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Default Extension=\"png\" ContentType=\"image/png\"/>"
        "<Override PartName=\"/%1\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>")
                        .arg(recipe.mainPart);
    QString docRels;
    QList<Part> parts;
    const QString dir = recipe.mainPart.section(u'/', 0, -2);
    auto add = [&](const QString& file, const QString& type, const QString& ct, const QString& xml, int n) {
        parts.append({dir + u'/' + file, QByteArray(kDecl) + xml.toUtf8()});
        docRels += rel(QStringLiteral("rIdF%1").arg(n), type, file);
        types += QStringLiteral("<Override PartName=\"/%1/%2\" ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.%3+xml\"/>")
                     .arg(dir, file, ct);
    };
    if (recipe.withStyles)
        add(QStringLiteral("styles.xml"), QStringLiteral("styles"), QStringLiteral("styles"),
            recipe.stylesXml.isEmpty() ? defaultStyles() : recipe.stylesXml, 1);
    if (!recipe.numberingXml.isEmpty())
        add(QStringLiteral("numbering.xml"), QStringLiteral("numbering"), QStringLiteral("numbering"), recipe.numberingXml, 2);
    if (!recipe.settingsXml.isEmpty()) {
        add(QStringLiteral("settings.xml"), QStringLiteral("settings"), QStringLiteral("settings"), recipe.settingsXml, 3);
        if (!recipe.settingsRels.isEmpty())
            parts.append({dir + QStringLiteral("/_rels/settings.xml.rels"),
                          QByteArray(kDecl) + QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">%1</Relationships>")
                                                  .arg(recipe.settingsRels).toUtf8()});
    }
    types += QStringLiteral("</Types>");
    parts.prepend({recipe.mainPart, doc.toUtf8()});
    parts.prepend({QStringLiteral("_rels/.rels"),
                   QByteArray(kDecl) + QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">%1</Relationships>")
                                           .arg(rel(QStringLiteral("rId1"), QStringLiteral("officeDocument"), recipe.mainPart)).toUtf8()});
    parts.prepend({QStringLiteral("[Content_Types].xml"), QByteArray(kDecl) + types.toUtf8()});
    parts.append({dir + QStringLiteral("/_rels/") + recipe.mainPart.section(u'/', -1) + QStringLiteral(".rels"),
                  QByteArray(kDecl) + QStringLiteral("<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">%1%2</Relationships>")
                                          .arg(docRels, recipe.extraDocumentRels).toUtf8()});
    for (const Part& extra : recipe.extraParts) {
        bool replaced = false;
        for (Part& part : parts) {
            if (part.name == extra.name) {
                part.data = extra.data;
                replaced = true;
            }
        }
        if (!replaced)
            parts.append(extra);
    }
    return parts;
}

bool writeZip(const QString& path, const QList<Part>& parts)
{
    QFile::remove(path);
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!z)
        return false;
    for (const Part& part : parts) {
        void* copy = malloc(size_t(part.data.size()) + 1);
        memcpy(copy, part.data.constData(), size_t(part.data.size()));
        zip_source_t* src = zip_source_buffer(z, copy, zip_uint64_t(part.data.size()), 1);
        if (!src || zip_file_add(z, part.name.toUtf8().constData(), src, ZIP_FL_OVERWRITE) < 0) {
            zip_source_free(src);
            zip_discard(z);
            return false;
        }
    }
    return zip_close(z) == 0;
}

QString writeDocx(const QString& dir, const QString& fileName, const DocxRecipe& recipe)
{
    const QString path = QDir(dir).filePath(fileName);
    return writeZip(path, docxParts(recipe)) ? path : QString();
}

QString writeDocx(const QString& dir, const QString& fileName, const QString& body)
{
    DocxRecipe recipe;
    recipe.body = body;
    return writeDocx(dir, fileName, recipe);
}

QByteArray readPart(const QString& zipPath, const QString& partName)
{
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &err);
    if (!z)
        return {};
    QByteArray out;
    zip_stat_t st;
    if (zip_stat(z, partName.toUtf8().constData(), 0, &st) == 0) {
        if (zip_file_t* f = zip_fopen(z, partName.toUtf8().constData(), 0)) {
            out.resize(qsizetype(st.size));
            zip_fread(f, out.data(), st.size);
            zip_fclose(f);
        }
    }
    zip_close(z);
    return out;
}

word::Document* FixtureDocuments::open(const QString& body)
{
    const QString name = QStringLiteral("%1%2.docx").arg(m_prefix).arg(++m_serial);
    return m_app.Documents().Open(writeDocx(m_dir.path(), name, body));
}

QStringList schemaErrors(const QList<QPair<QString, QString>>& writtenAndOriginal)
{
    if (writtenAndOriginal.isEmpty())
        return {};
    const QString source = QStringLiteral(QUILLORA_SOURCE_DIR);
    QStringList args{source + QStringLiteral("/tests/tools/ooxml-validate-batch"),
                     source + QStringLiteral("/../shared/tools/ooxml-validate")};
    for (const auto& [written, original] : writtenAndOriginal)
        args << written << original;
    QProcess p;
    p.start(QStringLiteral("python3"), args);
    if (!p.waitForFinished(600'000))
        return {QStringLiteral("the schema check did not finish")};
    const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    if (p.exitStatus() != QProcess::NormalExit || (p.exitCode() != 0 && p.exitCode() != 1))
        return {QStringLiteral("the schema check could not run (is xmllint installed?): ")
                + QString::fromUtf8(p.readAllStandardError()).trimmed() + out};
    return p.exitCode() == 0 ? QStringList() : out.split(u'\n');
}

QString libreOfficeToText(const QString& soffice, const QStringList& files, const QString& outDir,
                          const QString& profileDir, int timeoutMs)
{
    QProcess lo;
    const QStringList args{QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profileDir).toString(),
                           QStringLiteral("--headless"), QStringLiteral("--norestore"),
                           QStringLiteral("--convert-to"), QStringLiteral("txt:Text (encoded):UTF8"),
                           QStringLiteral("--outdir"), outDir};
    lo.setProcessChannelMode(QProcess::MergedChannels);
    lo.start(soffice, args + files);
    if (!lo.waitForStarted())
        return QStringLiteral("soffice did not start");
    if (!lo.waitForFinished(timeoutMs)) {
        lo.kill();
        lo.waitForFinished();
        return QStringLiteral("soffice did not finish within %1 s").arg(timeoutMs / 1000);
    }
    return QString();
}

QSet<QString> wordsOf(const QString& text)
{
    static const QRegularExpression word(QStringLiteral("\\p{L}{4,}"));
    QSet<QString> out;
    for (auto it = word.globalMatch(text); it.hasNext();)
        out.insert(it.next().captured());
    return out;
}

// A floating DrawingML text box with its VML fallback, both holding content.
QString textBox(const QString& content)
{
    return QStringLiteral(
        "<w:r><mc:AlternateContent xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
        "xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\" "
        "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" xmlns:v=\"urn:schemas-microsoft-com:vml\">"
        "<mc:Choice Requires=\"wps\"><w:drawing><wp:anchor distT=\"0\" distB=\"0\" distL=\"114300\" distR=\"114300\" simplePos=\"0\" "
        "relativeHeight=\"1\" behindDoc=\"0\" locked=\"0\" layoutInCell=\"1\" allowOverlap=\"1\"><wp:simplePos x=\"0\" y=\"0\"/>"
        "<wp:positionH relativeFrom=\"column\"><wp:posOffset>0</wp:posOffset></wp:positionH>"
        "<wp:positionV relativeFrom=\"paragraph\"><wp:posOffset>0</wp:posOffset></wp:positionV>"
        "<wp:extent cx=\"2000000\" cy=\"500000\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/><wp:wrapSquare wrapText=\"bothSides\"/>"
        "<wp:docPr id=\"1\" name=\"Doboz\"/><wp:cNvGraphicFramePr/><a:graphic><a:graphicData "
        "uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\"><wps:wsp><wps:cNvSpPr txBox=\"1\"/><wps:spPr>"
        "<a:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"2000000\" cy=\"500000\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom>"
        "</wps:spPr><wps:txbx><w:txbxContent>%1</w:txbxContent></wps:txbx><wps:bodyPr/></wps:wsp></a:graphicData></a:graphic>"
        "</wp:anchor></w:drawing></mc:Choice><mc:Fallback><w:pict><v:shape style=\"width:157pt;height:39pt\">"
        "<v:textbox><w:txbxContent>%1</w:txbxContent></v:textbox></v:shape></w:pict></mc:Fallback></mc:AlternateContent></w:r>")
        .arg(content);
}

} // namespace wordtest
