// Opening a package: everything that can be wrong with a zip from outside is
// checked here, before any part is handed out.

#include "word/error.h"
#include "word/legacy/compoundfile.h"
#include "word/opc/flatpackagereader.h"
#include "word/opc/package.h"
#include "word/opc/packageimpl.h"
#include "word/opc/partname.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace word::opc {

namespace {

// Room for the zip's own headers beside the largest content we accept.
constexpr qint64 kMaxFileBytes = kMaxTotalBytes + 16LL * 1024 * 1024;
constexpr qint64 kReadChunk = 64 * 1024;

const QString kPasswordProtected =
    QStringLiteral("a fájl jelszóval védett (titkosított); jelszóval védett dokumentumot a program nem tud megnyitni");

QString zipOpenProblem(int zipError)
{
    switch (zipError) {
    case ZIP_ER_NOZIP: return QStringLiteral("nem Word-dokumentum (nem zip állomány)");
    case ZIP_ER_MEMORY: return QStringLiteral("a megnyitásához nincs elég memória");
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD: return kPasswordProtected;
    default: return QStringLiteral("a zip állomány sérült");
    }
}

// What to say about a file in the OLE compound format, which is never a zip.
QString compoundFileProblem(const QByteArray& raw)
{
    const auto cf = legacy::CompoundFile::parse(raw);
    if (!cf)
        return QStringLiteral("a fájl sérült (hibás OLE-tároló)");
    if (cf->isEncryptedPackage() || (cf->isWordDocument() && cf->isEncryptedWordDocument()))
        return kPasswordProtected;
    if (cf->isWordDocument())
        return QStringLiteral("régi (Word 97–2003) formátumú dokumentum, nem Office Open XML csomag");
    return QStringLiteral("nem Word-dokumentum (ismeretlen OLE-tároló)");
}

} // namespace

class PackageReader {
public:
    explicit PackageReader(Package::Impl& d) : d(d) {}
    void run();

private:
    Package::Impl& d;
    qint64 declaredTotal = 0;
    qint64 inflatedTotal = 0;

    void openArchive();
    void checkEntry(const zip_stat_t& st, QSet<QString>& seen);
    QByteArray inflate(zip_int64_t i, const zip_stat_t& st);
    void readContentTypes(const QByteArray& data);
};

void PackageReader::run()
{
    if (d.raw.isEmpty())
        d.fail(QStringLiteral("a fájl üres"));
    if (legacy::CompoundFile::hasSignature(d.raw))
        d.fail(compoundFileProblem(d.raw));
    openArchive();
    const zip_int64_t count = zip_get_num_entries(d.source, 0);
    if (count > kMaxEntries)
        d.fail(QStringLiteral("túl sok bejegyzést tartalmaz (%1; legfeljebb %2 lehet)").arg(count).arg(kMaxEntries));
    std::vector<zip_stat_t> stats(size_t(qMax<zip_int64_t>(count, 0)));
    QSet<QString> seen;
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_init(&stats[size_t(i)]);
        if (zip_stat_index(d.source, zip_uint64_t(i), 0, &stats[size_t(i)]) != 0)
            d.fail(QStringLiteral("a zip állomány sérült (a(z) %1. bejegyzés nem olvasható)").arg(i + 1));
        checkEntry(stats[size_t(i)], seen);
    }
    for (zip_int64_t i = 0; i < count; ++i) {
        const QString name = QString::fromUtf8(stats[size_t(i)].name);
        if (name.endsWith(u'/'))
            continue;
        const QByteArray data = inflate(i, stats[size_t(i)]);
        if (partname::key(name) == u"[content_types].xml") {
            d.contentTypesIndex = i;
            readContentTypes(data);
            continue;
        }
        d.entries.push_back({name, data, i, false});
    }
    if (d.contentTypesIndex < 0)
        d.fail(QStringLiteral("hiányzik belőle a „[Content_Types].xml” leírás, így nem Word-dokumentum vagy sérült"));
    d.rebuildIndex();
    d.checkParts();
}

void PackageReader::openArchive()
{
    zip_error_t err;
    zip_error_init(&err);
    zip_source_t* src = zip_source_buffer_create(d.raw.constData(), zip_uint64_t(d.raw.size()), 0, &err);
    if (!src)
        d.fail(zipOpenProblem(zip_error_code_zip(&err)));
    d.source = zip_open_from_source(src, ZIP_RDONLY, &err);
    if (!d.source) {
        zip_source_free(src);
        const int code = zip_error_code_zip(&err);
        zip_error_fini(&err);
        // A zip whose end is missing still starts like one.
        if (code == ZIP_ER_NOZIP && d.raw.startsWith("PK"))
            d.fail(QStringLiteral("a zip állomány sérült vagy csonka"));
        d.fail(zipOpenProblem(code));
    }
    zip_error_fini(&err);
}

void PackageReader::checkEntry(const zip_stat_t& st, QSet<QString>& seen)
{
    const QString name = QString::fromUtf8(st.name ? st.name : "");
    const QString problem = partname::entryProblem(name);
    if (!problem.isEmpty())
        d.fail(QStringLiteral("szabálytalan bejegyzésnév („%1”: %2)").arg(name, problem));
    if (name.endsWith(u'/'))
        return;   // a folder entry holds no data
    const QString k = partname::key(name);
    if (seen.contains(k))
        d.fail(QStringLiteral("a(z) „%1” bejegyzés kétszer szerepel benne").arg(name));
    seen.insert(k);
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        d.fail(kPasswordProtected);
    if (!(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE))
        d.fail(QStringLiteral("a zip állomány sérült (a(z) „%1” mérete ismeretlen)").arg(name));
    if (!zip_compression_method_supported(zip_int32_t(st.comp_method), 0))
        d.fail(QStringLiteral("a(z) „%1” rész ismeretlen módszerrel tömörített").arg(name));
    if (st.size > zip_uint64_t(kMaxPartBytes))
        d.fail(QStringLiteral("a(z) „%1” rész kicsomagolva túl nagy (legfeljebb 64 MiB lehet)").arg(name));
    declaredTotal += qint64(st.size);
    if (declaredTotal > kMaxTotalBytes)
        d.fail(QStringLiteral("kicsomagolva túl nagy (összesen legfeljebb 256 MiB lehet)"));
    if (qint64(st.size) > kRatioCheckedFrom && st.size > st.comp_size * zip_uint64_t(kMaxCompressionRatio))
        d.fail(QStringLiteral("a(z) „%1” rész gyanúsan erősen tömörített (több mint százszoros; zip-bomba?)").arg(name));
}

// Inflates one entry, never producing more than its header declared (which
// the limits were checked against): a header that lies is caught here.
QByteArray PackageReader::inflate(zip_int64_t i, const zip_stat_t& st)
{
    const QString name = QString::fromUtf8(st.name);
    zip_file_t* f = zip_fopen_index(d.source, zip_uint64_t(i), 0);
    if (!f)
        d.fail(QStringLiteral("a zip állomány sérült (a(z) „%1” rész nem olvasható)").arg(name));
    const qint64 declared = qint64(st.size);
    QByteArray data(declared, Qt::Uninitialized);
    qint64 got = 0;
    char spill[1];
    for (;;) {
        const qint64 room = declared - got;
        const zip_int64_t n = room > 0 ? zip_fread(f, data.data() + got, zip_uint64_t(qMin(room, kReadChunk)))
                                       : zip_fread(f, spill, 1);
        if (n < 0 || (room == 0 && n > 0)) {
            zip_fclose(f);
            d.fail(QStringLiteral("a zip állomány sérült (a(z) „%1” rész tartalma nem egyezik a fejlécével)").arg(name));
        }
        if (n == 0)
            break;
        got += n;
    }
    zip_fclose(f);
    if (got != declared)
        d.fail(QStringLiteral("a zip állomány sérült vagy csonka (a(z) „%1” rész hiányos)").arg(name));
    inflatedTotal += got;
    if (inflatedTotal > kMaxTotalBytes)
        d.fail(QStringLiteral("kicsomagolva túl nagy (összesen legfeljebb 256 MiB lehet)"));
    return data;
}

void PackageReader::readContentTypes(const QByteArray& data)
{
    const QString problem = d.contentTypes.read(data, d.budget);
    if (!problem.isEmpty())
        d.fail(QStringLiteral("a „[Content_Types].xml” leírás %1").arg(problem));
}

std::unique_ptr<Package> Package::readBytes(const QByteArray& zipBytes, const QString& nameForErrors, bool ownOutput)
{
    std::unique_ptr<Package> p(new Package);
    p->d->fileName = nameForErrors;
    p->d->raw = zipBytes;
    p->d->ownOutput = ownOutput;
    if (looksLikeFlatPackage(zipBytes))
        FlatPackageReader(*p->d).run();
    else
        PackageReader(*p->d).run();
    return p;
}

std::unique_ptr<Package> Package::fromBytes(const QByteArray& zipBytes, const QString& nameForErrors)
{
    return readBytes(zipBytes, nameForErrors, false);
}

std::unique_ptr<Package> Package::fromOwnBytes(const QByteArray& zipBytes, const QString& nameForErrors)
{
    return readBytes(zipBytes, nameForErrors, true);
}

std::unique_ptr<Package> Package::open(const QString& path)
{
    const QFileInfo info(path);
    const QString shown = info.fileName().isEmpty() ? path : info.fileName();
    auto fail = [&](const QString& reason) { throw Error(openErrorMessage(shown, reason)); };
    if (!info.exists())
        fail(QStringLiteral("a fájl nem létezik"));
    if (info.isDir())
        fail(QStringLiteral("ez egy mappa, nem fájl"));
    if (info.size() > kMaxFileBytes)
        fail(QStringLiteral("a fájl túl nagy (%1 MiB)").arg(info.size() / (1024 * 1024)));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fail(QStringLiteral("a fájl nem olvasható (%1)").arg(file.errorString()));
    const QByteArray raw = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        fail(QStringLiteral("a fájl nem olvasható (%1)").arg(file.errorString()));
    if (raw.size() > kMaxFileBytes)
        fail(QStringLiteral("a fájl túl nagy"));
    return fromBytes(raw, path);
}

} // namespace word::opc
