#include "docxfixture.h"

#include <QDir>
#include <zip.h>

namespace fieldtest {

namespace {

int g_nextId = 0;

QString esc(const QString& text)
{
    return text.toHtmlEscaped();
}

const char* kContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(</Types>)";

const char* kRels =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
    R"(</Relationships>)";

bool addEntry(zip_t* z, const char* name, const QByteArray& data)
{
    // libzip reads the buffer when the archive is closed, so it needs its own copy.
    void* copy = malloc(size_t(data.size()));
    memcpy(copy, data.constData(), size_t(data.size()));
    zip_source_t* src = zip_source_buffer(z, copy, zip_uint64_t(data.size()), 1);
    return src && zip_file_add(z, name, src, ZIP_FL_OVERWRITE) >= 0;
}

} // namespace

QString para(const QString& inner)
{
    return QStringLiteral("<w:p>") + inner + QStringLiteral("</w:p>");
}

QString run(const QString& text)
{
    return QStringLiteral(R"(<w:r><w:t xml:space="preserve">%1</w:t></w:r>)").arg(esc(text));
}

QString mark(const QString& name, const QString& text)
{
    const int id = g_nextId++;
    return QStringLiteral(R"(<w:bookmarkStart w:id="%1" w:name="%2"/>%3<w:bookmarkEnd w:id="%1"/>)")
        .arg(id).arg(esc(name), run(text));
}

QString writeDocx(const QString& dir, const QString& fileName, const QString& bodyXml)
{
    const QString path = QDir(dir).filePath(fileName);
    const QByteArray document =
        QStringLiteral(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
                       R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)"
                       R"(<w:body>%1<w:sectPr/></w:body></w:document>)")
            .arg(bodyXml)
            .toUtf8();
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return QString();
    const bool ok = addEntry(z, "[Content_Types].xml", kContentTypes)
        && addEntry(z, "_rels/.rels", kRels) && addEntry(z, "word/document.xml", document);
    if (zip_close(z) != 0 || !ok)
        return QString();
    return path;
}

} // namespace fieldtest
