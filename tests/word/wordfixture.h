#pragma once
// Small .docx packages built in code for the engine's tests: body XML in,
// a file on disk out. Parts may be replaced or added to test the reader's
// handling of unusual packages.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSet>
#include <QStringList>
#include <QString>
#include <QTemporaryDir>

#include "word/application.h"

namespace wordtest {

struct Part {
    QString name;           // "word/styles.xml"
    QByteArray data;
};

struct DocxRecipe {
    QString body;                       // the content of <w:body>, a final sectPr is added
    QString stylesXml;                  // a styles part; defaultStyles() when empty
    bool withStyles = true;
    QString numberingXml;               // added with its relationship when not empty
    QString settingsXml;                // added with its relationship when not empty
    QString settingsRels;               // relationships of the settings part
    QString extraDocumentRels;          // more <Relationship> elements of the main part
    QString prefix = QStringLiteral("w");   // prefix the main part binds WordprocessingML to
    QString mainPart = QStringLiteral("word/document.xml");
    QList<Part> extraParts;             // added or replacing generated parts
};

extern const char* const kW;            // the WordprocessingML namespace

QString defaultStyles();
// Paragraph helpers for compact fixtures: p("text") and bm("Name", id, "text").
QString p(const QString& inner, const QString& pPr = QString());
QString r(const QString& text, const QString& rPr = QString());
QString bm(const QString& name, int id, const QString& runsInside);
// A run holding a floating DrawingML text box with its VML fallback, both with content.
QString textBox(const QString& content);

QList<Part> docxParts(const DocxRecipe& recipe);
// Writes a zip of parts to path; returns false on failure.
bool writeZip(const QString& path, const QList<Part>& parts);
// Writes the document of recipe to dir/fileName and returns its full path.
QString writeDocx(const QString& dir, const QString& fileName, const DocxRecipe& recipe);
QString writeDocx(const QString& dir, const QString& fileName, const QString& body);

// The schema check of written packages, each against the package it came
// from (the rules of ../shared/tools/ooxml-validate, run over all at once):
// one line per error a written file has and its original had not, or why the
// check could not run; empty when clean.
QStringList schemaErrors(const QList<QPair<QString, QString>>& writtenAndOriginal);

// Converts files to UTF-8 text in outDir with LibreOffice (soffice), in one
// run with the private profile in profileDir. Returns an empty string, or why
// the run did not start or finish within timeoutMs.
QString libreOfficeToText(const QString& soffice, const QStringList& files, const QString& outDir,
                          const QString& profileDir, int timeoutMs);
// The words of four or more letters in text.
QSet<QString> wordsOf(const QString& text);

// A part of a saved package, or empty when it is missing.
QByteArray readPart(const QString& zipPath, const QString& partName);

// Documents opened from body XML, each written to a fresh file in a temporary
// folder and opened by one application that lives as long as the suite.
class FixtureDocuments {
public:
    explicit FixtureDocuments(QString prefix) : m_prefix(std::move(prefix)) {}
    word::Document* open(const QString& body);
    QString dir() const { return m_dir.path(); }
    word::Application& app() { return m_app; }

private:
    QString m_prefix;
    QTemporaryDir m_dir;
    word::Application m_app;
    int m_serial = 0;
};

} // namespace wordtest
