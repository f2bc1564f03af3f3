#pragma once
// Builds zip archives in memory for the package suites, including broken ones
// (lying size headers, duplicate names) that no well-behaved writer produces.

#include <QByteArray>
#include <QList>
#include <QtEndian>
#include <zip.h>

namespace zipfixture {

struct Item {
    QByteArray name;
    QByteArray data;
    bool store = false;   // no compression
};

inline QByteArray makeZip(const QList<Item>& items)
{
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* buf = zip_source_buffer_create(nullptr, 0, 0, &err);
    zip_source_keep(buf);
    zip_t* z = zip_open_from_source(buf, ZIP_TRUNCATE, &err);
    for (const Item& it : items) {
        zip_source_t* s = zip_source_buffer(z, it.data.constData(), zip_uint64_t(it.data.size()), 0);
        const zip_int64_t idx = zip_file_add(z, it.name.constData(), s, 0);
        zip_set_file_compression(z, zip_uint64_t(idx), it.store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 9);
    }
    zip_close(z);
    zip_stat_t st;
    zip_source_open(buf);
    zip_source_stat(buf, &st);
    QByteArray out(qsizetype(st.size), Qt::Uninitialized);
    zip_source_read(buf, out.data(), st.size);
    zip_source_close(buf);
    zip_source_free(buf);
    zip_error_fini(&err);
    return out;
}

inline const char* contentTypes()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
           "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
           "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
           "<Default Extension=\"XML\" ContentType=\"application/xml\"/>"
           "<Default Extension=\"png\" ContentType=\"image/png\"/>"
           "<Override PartName=\"/word/document.xml\" "
           "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
           "</Types>";
}

inline const char* packageRels(const char* mainTarget = "word/document.xml")
{
    static QByteArray s;
    s = QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
                   "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                   "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" Target=\"")
        + mainTarget + "\"/></Relationships>";
    return s.constData();
}

inline QByteArray documentXml(const QByteArray& body = "<w:p><w:r><w:t>Árvíztűrő tükörfúrógép</w:t></w:r></w:p>")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\r\n"
           "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body>"
        + body + "</w:body></w:document>";
}

// The usual three parts of a minimal document plus extra items.
inline QByteArray minimalDocx(const QList<Item>& extra = {}, const QByteArray& document = documentXml())
{
    QList<Item> items{{"[Content_Types].xml", contentTypes()}, {"_rels/.rels", packageRels()},
                      {"word/document.xml", document}};
    items += extra;
    return makeZip(items);
}

// Rewrites the uncompressed size recorded for entry name in both the local
// and the central header, leaving the data as it is.
inline void patchDeclaredSize(QByteArray& zip, const QByteArray& name, quint32 size)
{
    for (qsizetype at = 0; (at = zip.indexOf("PK", at)) >= 0; ++at) {
        const bool local = zip.mid(at, 4) == QByteArray("PK\x03\x04", 4);
        const bool central = zip.mid(at, 4) == QByteArray("PK\x01\x02", 4);
        if (!local && !central)
            continue;
        const int nameLen = qFromLittleEndian<quint16>(zip.constData() + at + (local ? 26 : 28));
        if (zip.mid(at + (local ? 30 : 46), nameLen) != name)
            continue;
        qToLittleEndian<quint32>(size, zip.data() + at + (local ? 22 : 24));
    }
}

} // namespace zipfixture
