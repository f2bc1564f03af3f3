#include "word/document.h"

#include "word/application.h"
#include "word/error.h"
#include "word/legacy/legacyimport.h"
#include "word/model/docmodel.h"
#include "word/ooxml/subdocstore.h"
#include "word/ooxml/docreader.h"
#include "word/ooxml/docwriter.h"
#include "word/ooxml/savecheck.h"
#include "word/ooxml/settingspart.h"
#include "word/ooxml/storywriter.h"
#include "word/opc/package.h"
#include "word/opc/stagedfiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTextOption>
#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace word {

namespace {

QString styleRelType() { return QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles"); }

QString stylesPartOf(const opc::Package& pkg, const QString& mainPart)
{
    for (const opc::Relationship& r : pkg.relationships(mainPart))
        if (!r.external && r.type.endsWith(u"/styles"))
            return pkg.resolve(mainPart, r.target);
    return {};
}

// The folders an attached template may lie in: beside the document, the
// templates folder ("sablonok" beside the program, or the user's own when the
// program is installed) and beside the program (the compatibility template),
// each with its links resolved.
QStringList templateFolders(const QString& documentPath)
{
    const QString program = QCoreApplication::applicationDirPath();
    const QString userTemplates = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                                      .filePath(QStringLiteral("Quillora/sablonok"));
    QStringList folders;
    for (const QString& dir : {QFileInfo(documentPath).absolutePath(), QDir(program).filePath(QStringLiteral("sablonok")),
                               userTemplates, program}) {
        const QString canonical = QFileInfo(dir).canonicalFilePath();
        if (!canonical.isEmpty())
            folders.append(canonical);
    }
    return folders;
}

// The attached template's file, as a local path with its links resolved, or
// empty when it is not a regular file in one of the template folders. A
// link pointing out of those folders, a device or a FIFO is never read.
QString templateFile(const QString& target, const QString& documentPath)
{
    if (target.isEmpty())
        return {};
    QString path = target.contains(u"://") ? QUrl(target).toLocalFile() : target;
    if (path.isEmpty())
        return {};
    if (QFileInfo(path).isRelative())
        path = QFileInfo(documentPath).absoluteDir().filePath(path);
    const QString canonical = QFileInfo(path).canonicalFilePath();
    struct stat st {};
    if (canonical.isEmpty() || ::stat(QFile::encodeName(canonical).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    if (!templateFolders(documentPath).contains(QFileInfo(canonical).absolutePath()))
        return {};
    return canonical;
}

// Reads the template as a package under the usual limits. Opened without
// blocking and checked again on the open file, so a file swapped for a FIFO
// after the check above cannot hang the load; legacy forms are refused by
// the package reader, never converted.
std::unique_ptr<opc::Package> openTemplate(const QString& file)
{
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    QFile f;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > opc::kMaxTotalBytes
        || !f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    const QByteArray raw = f.read(opc::kMaxTotalBytes + 1);
    if (raw.size() > opc::kMaxTotalBytes)
        return nullptr;
    return opc::Package::fromBytes(raw, file);
}

// A document that asks for it takes its styles from its attached template
// when it is opened. A template that cannot be read leaves the styles as they are.
void takeTemplateStyles(opc::Package& pkg, const QString& documentPath)
{
    const QString mainPart = pkg.mainPartName();
    QString settingsPart;
    for (const opc::Relationship& r : pkg.relationships(mainPart))
        if (!r.external && r.type.endsWith(u"/settings"))
            settingsPart = pkg.resolve(mainPart, r.target);
    if (settingsPart.isEmpty() || !pkg.hasPart(settingsPart))
        return;
    const ooxml::SettingsInfo info = ooxml::readSettings(pkg.part(settingsPart), settingsPart);
    if (!info.updateStyles || info.attachedTemplateId.isEmpty())
        return;
    QString target;
    for (const opc::Relationship& r : pkg.relationships(settingsPart))
        if (r.id == info.attachedTemplateId)
            target = r.target;
    const QString file = templateFile(target, documentPath);
    if (file.isEmpty())
        return;
    try {
        const auto tpl = openTemplate(file);
        if (!tpl)
            return;
        const QString tplStyles = stylesPartOf(*tpl, tpl->mainPartName());
        if (tplStyles.isEmpty() || !tpl->hasPart(tplStyles))
            return;
        QString own = stylesPartOf(pkg, mainPart);
        if (own.isEmpty()) {
            own = mainPart.section(u'/', 0, -2) + QStringLiteral("/styles.xml");
            pkg.addRelationship(mainPart, styleRelType(), QStringLiteral("styles.xml"));
        }
        pkg.setPart(own, tpl->part(tplStyles),
                    QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"));
    } catch (const Error&) {
        // Word opens the document with its own styles when the template is unusable.
    }
}

} // namespace

Document::Document(word::Application* app, const QString& path)
    : m_app(app), m_model(std::make_unique<model::DocModel>())
{
    const QFileInfo fi(path);
    if (!fi.exists())
        throw Error(QStringLiteral("A(z) „%1” fájl nem található.").arg(path));
    std::unique_ptr<opc::Package> pkg = legacy::openPackage(fi.absoluteFilePath());
    m_model->legacyImport = legacy::sniff(fi.absoluteFilePath()) != legacy::Format::Ooxml;
    takeTemplateStyles(*pkg, fi.absoluteFilePath());
    ooxml::readDocument(*m_model, *pkg);
    m_model->setPackage(std::move(pkg));
    m_model->filePath = fi.absoluteFilePath();
    m_window = std::make_unique<word::Window>(this);
}

Document::~Document() = default;

word::Bookmarks Document::Bookmarks() { return word::Bookmarks(this, false, 0, 0); }

word::Characters Document::Characters() { return word::Characters(this, 0, m_model->endPosition(), true); }

word::Range Document::Content() { return word::Range(this, 0, m_model->endPosition()); }

word::Range Document::Range(int start, int end)
{
    const int last = m_model->endPosition();
    if (start < 0 || end < start || end > last)
        throw Error(QStringLiteral("Érvénytelen tartomány: %1–%2 (a dokumentum hossza %3).").arg(start).arg(end).arg(last));
    return word::Range(this, start, end);
}

void Document::Select() { m_window->Selection().SetRange(0, m_model->endPosition()); }

bool Document::Saved() const
{
    if (!m_model->saved())
        return false;
    for (const model::Story& s : m_model->stories())
        if (!s.model->saved())
            return false;
    return true;
}

void Document::setSaved(bool saved)
{
    m_model->setSaved(saved);
    for (model::Story& s : m_model->stories())
        s.model->setSaved(saved);
}

void Document::UndoClear() { m_model->clearUndo(); }

bool Document::Undo(int times)
{
    bool any = false;
    for (int i = 0; i < times; ++i) {
        if (!m_model->undo())
            break;
        any = true;
    }
    if (any)
        emit selectionChanged();
    return any;
}

bool Document::Redo(int times)
{
    bool any = false;
    for (int i = 0; i < times; ++i) {
        if (!m_model->redo())
            break;
        any = true;
    }
    if (any)
        emit selectionChanged();
    return any;
}

void Document::SaveAs(const QString& path)
{
    const QString target = path.isEmpty() ? m_model->filePath : QFileInfo(path).absoluteFilePath();
    if (target.isEmpty())
        throw Error(QStringLiteral("A dokumentum nem menthető: nincs fájlneve."));
    opc::Package* pkg = m_model->package();
    if (!pkg)
        throw Error(QStringLiteral("A(z) „%1” dokumentum nem menthető: nincs csomagja.").arg(target));
    // Subdocument files and the master are written together or not at all;
    // the master is renamed into place first, and only a package that reads
    // back as the model replaces the old file.
    opc::StagedFiles subdocFiles;
    ooxml::SubdocStore subdocs(*m_model);
    subdocs.writeFiles(target, subdocFiles);
    ooxml::WriteIds ids = ooxml::WriteIds::startingAfter(*m_model);
    QStringList written{m_model->mainPart};
    pkg->setPart(m_model->mainPart, subdocs.mainDocumentXml(&ids));
    for (const ooxml::WrittenPart& part : ooxml::writeStoryParts(*m_model, ids)) {
        pkg->setPart(part.name, part.xml);
        written << part.name;
    }
    ooxml::writeSettings(*pkg, m_model->mainPart, m_model->attachedTemplate, m_model->updateStylesOnOpen);
    for (const opc::Relationship& r : pkg->relationships(m_model->mainPart))
        if (!r.external && r.type.endsWith(u"/settings") && pkg->hasPart(pkg->resolve(m_model->mainPart, r.target)))
            written << pkg->resolve(m_model->mainPart, r.target);
    const QByteArray bytes = pkg->toBytes();
    ooxml::verifySavedPackage(bytes, *m_model, written, QFileInfo(target).fileName());
    opc::StagedFiles master;
    master.stage(target, bytes);
    master.commit();
    subdocFiles.commit();
    for (model::Story& s : m_model->stories())
        s.writtenRevision = s.model->revision();
    m_model->filePath = target;
    m_model->legacyImport = false;
    setSaved(true);
}

void Document::Close()
{
    emit closed();
    m_app->release(this);   // destroys this document when the application owns it
}

QString Document::AttachedTemplate() const { return m_model->attachedTemplate; }

void Document::setAttachedTemplate(const QString& path)
{
    m_model->attachedTemplate = path;
    m_model->markChanged();
}

bool Document::UpdateStylesOnOpen() const { return m_model->updateStylesOnOpen; }

void Document::setUpdateStylesOnOpen(bool on)
{
    m_model->updateStylesOnOpen = on;
    m_model->markChanged();
}

QString Document::FullName() const { return m_model->filePath; }

QTextDocument* Document::textDocument() const { return m_model->text(); }

void Document::CheckGrammar()
{
    const auto& provider = m_app->dialogProvider();
    if (!provider)
        throw Error(QStringLiteral("A helyesírás-ellenőrzés nem indítható: nincs felhasználói felület."));
    provider(this, kSpellingDialogId);
}

} // namespace word
