// The reader on unusual but readable packages, and on ones it must refuse.

#include "wordfixture.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"
#include "word/model/docmodel.h"
#include "word/model/formatprops.h"

#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>
#include <map>

using namespace wordtest;


class TestReader : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    word::Application m_app;
    int m_serial = 0;

    QString write(const DocxRecipe& recipe) { return writeDocx(m_dir.path(), QStringLiteral("r%1.docx").arg(++m_serial), recipe); }

private slots:
    void unusualPackagesOpen_data()
    {
        QTest::addColumn<int>("variant");
        QTest::newRow("BOM before the declaration") << 0;
        QTest::newRow("no styles part") << 1;
        QTest::newRow("main part not named document.xml") << 2;
        QTest::newRow("relationship to a missing part") << 3;
        QTest::newRow("default namespace for elements") << 4;
    }
    void unusualPackagesOpen()
    {
        QFETCH(int, variant);
        DocxRecipe recipe;
        recipe.body = p(bm("Nev_1", 1, r("ő ű")));
        if (variant == 1)
            recipe.withStyles = false;
        if (variant == 2)
            recipe.mainPart = QStringLiteral("word/fo_resz.xml");
        if (variant == 3)
            recipe.extraDocumentRels = QStringLiteral("<Relationship Id=\"rIdX\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/numbering\" Target=\"nincs.xml\"/>");
        QList<Part> parts = docxParts(recipe);
        for (Part& part : parts) {
            if (part.name != recipe.mainPart)
                continue;
            if (variant == 0)
                part.data.prepend("\xEF\xBB\xBF");
            if (variant == 4) {
                QString xml = QString::fromUtf8(part.data);
                xml.replace(QStringLiteral("<w:"), QStringLiteral("<")).replace(QStringLiteral("</w:"), QStringLiteral("</"));
                xml.replace(QStringLiteral("xmlns:w="), QStringLiteral("xmlns:w=\"%1\" xmlns=").arg(QLatin1String(kW)));
                part.data = xml.toUtf8();
            }
        }
        const QString path = m_dir.filePath(QStringLiteral("u%1.docx").arg(++m_serial));
        QVERIFY(writeZip(path, parts));
        word::Document* doc = m_app.Documents().Open(path);
        QCOMPARE(doc->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("ő ű"));
        const QString saved = m_dir.filePath(QStringLiteral("s%1.docx").arg(++m_serial));
        doc->SaveAs(saved);
        QCOMPARE(m_app.Documents().Open(saved)->Bookmarks().Item("Nev_1").Range().Text(), QStringLiteral("ő ű"));
    }

    void refusedWithAClearMessage_data()
    {
        QTest::addColumn<QByteArray>("mainXml");
        QTest::newRow("not XML") << QByteArray("ez nem XML <<<");
        QTest::newRow("not a document") << QByteArray("<?xml version=\"1.0\"?><x:foo xmlns:x=\"urn:x\"/>");
        QTest::newRow("no body") << QByteArray("<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"/>");
        QTest::newRow("doctype") << QByteArray("<!DOCTYPE x [<!ENTITY e \"x\">]><w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\"><w:body/></w:document>");
    }
    void refusedWithAClearMessage()
    {
        QFETCH(QByteArray, mainXml);
        DocxRecipe recipe;
        recipe.extraParts = {{QStringLiteral("word/document.xml"), mainXml}};
        const QString path = write(recipe);
        try {
            m_app.Documents().Open(path);
            QFAIL("opened");
        } catch (const word::Error& e) {
            QVERIFY2(!e.message().isEmpty(), "no message");
        }
        QCOMPARE(m_app.Documents().Count() >= 0, true);
    }

    void numberingLabels_data()
    {
        QTest::addColumn<QString>("numFmt");
        QTest::addColumn<QString>("lvlText");
        QTest::addColumn<QStringList>("labels");
        QTest::newRow("decimal") << "decimal" << "%1." << QStringList{"1.", "2.", "3."};
        QTest::newRow("lower letter") << "lowerLetter" << "%1)" << QStringList{"a)", "b)", "c)"};
        QTest::newRow("upper roman") << "upperRoman" << "%1." << QStringList{"I.", "II.", "III."};
    }
    void numberingLabels()
    {
        QFETCH(QString, numFmt);
        QFETCH(QString, lvlText);
        QFETCH(QStringList, labels);
        DocxRecipe recipe;
        recipe.numberingXml = QStringLiteral("<w:numbering xmlns:w=\"%1\"><w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\">"
                                           "<w:start w:val=\"1\"/><w:numFmt w:val=\"%2\"/><w:lvlText w:val=\"%3\"/></w:lvl></w:abstractNum>"
                                           "<w:num w:numId=\"5\"><w:abstractNumId w:val=\"0\"/></w:num></w:numbering>")
                                .arg(QLatin1String(kW), numFmt, lvlText);
        const QString numPr = QStringLiteral("<w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"5\"/></w:numPr>");
        recipe.body = p(r("egy"), numPr) + p(r("kettő"), numPr) + p(r("közbe")) + p(r("három"), numPr);
        word::Document* doc = m_app.Documents().Open(write(recipe));
        QStringList got;
        for (QTextBlock b = doc->textDocument()->begin(); b.isValid(); b = b.next()) {
            const QString label = b.blockFormat().stringProperty(word::model::prop::ListLabel);
            if (label.isEmpty())
                continue;
            got << label;
            // A view draws the same label through the block's list.
            QVERIFY(b.textList());
            QCOMPARE(b.textList()->itemText(b), label);
        }
        QCOMPARE(got, labels);
        QCOMPARE(doc->Content().Text(), QStringLiteral("egy\rkettő\rközbe\rhárom"));   // labels are not text
    }

    // A level's indents apply attribute by attribute, unless the paragraph
    // sets that one itself: a hanging label stands in the margin of the text.
    void numberingLevelIndents_data()
    {
        QTest::addColumn<QString>("ownInd");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("first");
        QTest::newRow("the level's") << QString() << 425 / 15.0 << -425 / 15.0;
        QTest::newRow("own left only") << "<w:ind w:left=\"720\"/>" << 720 / 15.0 << -425 / 15.0;
        QTest::newRow("own first line") << "<w:ind w:firstLine=\"0\"/>" << 425 / 15.0 << 0.0;
        QTest::newRow("both own") << "<w:ind w:left=\"0\" w:hanging=\"300\"/>" << 0.0 << -300 / 15.0;
    }
    void numberingLevelIndents()
    {
        QFETCH(QString, ownInd);
        QFETCH(double, left);
        QFETCH(double, first);
        DocxRecipe recipe;
        recipe.numberingXml = QStringLiteral("<w:numbering xmlns:w=\"") + QLatin1String(kW)
            + QStringLiteral("\"><w:abstractNum w:abstractNumId=\"0\"><w:lvl w:ilvl=\"0\">"
                             "<w:start w:val=\"1\"/><w:numFmt w:val=\"decimal\"/><w:lvlText w:val=\"%1.\"/>"
                             "<w:pPr><w:ind w:left=\"425\" w:hanging=\"425\"/></w:pPr></w:lvl></w:abstractNum>"
                             "<w:num w:numId=\"1\"><w:abstractNumId w:val=\"0\"/></w:num></w:numbering>");
        recipe.body = p(r("cím"), QStringLiteral("<w:numPr><w:ilvl w:val=\"0\"/><w:numId w:val=\"1\"/></w:numPr>") + ownInd);
        word::Document* doc = m_app.Documents().Open(write(recipe));
        const QTextBlockFormat bf = doc->textDocument()->begin().blockFormat();
        QCOMPARE(bf.stringProperty(word::model::prop::ListLabel), QStringLiteral("1."));
        QCOMPARE(bf.leftMargin(), left);
        QCOMPARE(bf.textIndent(), first);
    }
    // Runs take their look from their own properties, however alike their
    // XML: a format found again for one run must be that run's.
    void runFormatsByTheirProperties()
    {
        DocxRecipe recipe;
        recipe.body = p(r("a", "<w:sz w:val=\"24\"/>") + r("b", "<w:sz w:val=\"28\"/>") + r("c", "<w:sz w:val=\"24\"/>")
                        + r("d", "<w:b/><w:sz w:val=\"24\"/>") + r("e", "<w:sz w:val=\"24\"/><w:b/>") + r("f"))
            + p(r("g", "<w:sz w:val=\"24\"/>"), QStringLiteral("<w:pStyle w:val=\"Heading1\"/>"))
            + p(r("h", "<w:sz w:val=\"24\"/>"));
        word::Document* doc = m_app.Documents().Open(write(recipe));
        std::map<QString, QTextCharFormat> byText;
        for (QTextBlock b = doc->textDocument()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                byText[it.fragment().text()] = it.fragment().charFormat();
        auto size = [&](const char* t) { return byText.at(QString::fromLatin1(t)).fontPointSize(); };
        auto xml = [&](const char* t) { return byText.at(QString::fromLatin1(t)).stringProperty(word::model::prop::RPrXml); };
        QCOMPARE(size("a"), 12.0);
        QCOMPARE(size("b"), 14.0);
        QCOMPARE(size("c"), 12.0);
        QVERIFY(byText.at("d").fontWeight() > QFont::Normal);
        QCOMPARE(xml("d"), QStringLiteral("<w:rPr><w:b/><w:sz w:val=\"24\"/></w:rPr>"));
        QCOMPARE(xml("e"), QStringLiteral("<w:rPr><w:sz w:val=\"24\"/><w:b/></w:rPr>"));
        QVERIFY(xml("f").isEmpty());
        QCOMPARE(xml("h"), xml("a"));
        // The same properties under another paragraph style keep that style's look.
        QCOMPARE(byText.at("g").property(word::model::prop::LookSig) == byText.at("a").property(word::model::prop::LookSig), false);
    }

    // Starts without an end, and ends without a start, stay in the file as
    // written and in their order.
    void unmatchedBookmarkEndsKept()
    {
        const QString body = p(QStringLiteral("<w:bookmarkStart w:id=\"7\" w:name=\"Elso\"/>") + r("egy")
                               + QStringLiteral("<w:bookmarkStart w:id=\"3\" w:name=\"Masodik\"/>") + r("ketto")
                               + QStringLiteral("<w:bookmarkEnd w:id=\"99\"/>") + bm("Rendes", 5, r("harom")));
        word::Document* doc = m_app.Documents().Open(writeDocx(m_dir.path(), QStringLiteral("unmatched.docx"), body));
        QCOMPARE(doc->Bookmarks().Count(), 1);
        const QString saved = m_dir.filePath(QStringLiteral("unmatched-saved.docx"));
        doc->SaveAs(saved);
        const QString xml = QString::fromUtf8(readPart(saved, QStringLiteral("word/document.xml")));
        const qsizetype first = xml.indexOf(QStringLiteral("w:name=\"Elso\""));
        const qsizetype second = xml.indexOf(QStringLiteral("w:name=\"Masodik\""));
        QVERIFY(first >= 0 && second > first);
        QVERIFY(xml.contains(QStringLiteral("<w:bookmarkEnd w:id=\"99\"/>")));
        QCOMPARE(m_app.Documents().Open(saved)->Bookmarks().Item("Rendes").Range().Text(), QStringLiteral("harom"));
    }
    // Text replacing a span takes the format of its first character, as a
    // cursor placed after that character reports it; at the start of a
    // paragraph, at its mark and around tables and objects alike.
    void replacementTakesTheCursorsFormat()
    {
        const QString rich = QStringLiteral("<w:rPr><w:i/><w:color w:val=\"FF0000\"/></w:rPr>");
        const QString cell = QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"2000\" w:type=\"dxa\"/></w:tcPr>%1</w:tc>");
        const QString body = p(r("első", "<w:b/>") + r("\u00a0második", rich) + QStringLiteral("<w:r><w:tab/></w:r>"))
            + p(QString()) + p(QString(), QStringLiteral("<w:rPr><w:sz w:val=\"40\"/></w:rPr>"))
            + QStringLiteral("<w:tbl><w:tblGrid><w:gridCol w:w=\"2000\"/><w:gridCol w:w=\"2000\"/></w:tblGrid><w:tr>")
            + cell.arg(p(r("cella", rich))) + cell.arg(p(QString())) + QStringLiteral("</w:tr></w:tbl>")
            + p(r("vége") + QStringLiteral("<w:r><w:br w:type=\"page\"/></w:r>") + r("új", "<w:u w:val=\"single\"/>"));
        const QString files[] = { writeDocx(m_dir.path(), QStringLiteral("formats.docx"), body),
                                  QString::fromUtf8(QUILLORA_CORPUS_DIR) + QStringLiteral("/Open-Xml-PowerTools/CA014-Complex-Table.docx") };
        for (const QString& file : files) {
            if (!QFile::exists(file))
                QFAIL(qPrintable(file));
            word::Document* doc = m_app.Documents().Open(file);
            const word::model::DocModel& m = doc->model();
            QTextDocument* text = doc->textDocument();
            auto expected = [&](int start, int end) {
                QTextCursor c(text);
                c.setPosition(start < end ? start + 1 : start);
                QTextCharFormat f = c.charFormat();
                for (int prop : { int(word::model::prop::CharXml), int(word::model::prop::CharKind) })
                    f.clearProperty(prop);
                if (f.objectType() != QTextFormat::NoObject)
                    for (int prop : { int(QTextFormat::ObjectType), int(QTextFormat::ImageName), int(QTextFormat::ImageWidth),
                                      int(QTextFormat::ImageHeight) })
                        f.clearProperty(prop);
                return f;
            };
            const int last = m.endPosition();
            // Text typed over one character takes that character's format.
            if (file == files[0]) {
                for (QTextBlock b = text->begin(); b.isValid(); b = b.next()) {
                    for (int pos = b.position(); pos < b.position() + b.length() - 1; ++pos) {
                        const QTextCharFormat want = expected(pos, pos + 1);
                        doc->Range(pos, pos + 1).setText(QStringLiteral("Q"));
                        QTextCursor at(text);
                        at.setPosition(pos + 1);
                        QTextCharFormat got = at.charFormat();
                        got.clearProperty(QTextFormat::ObjectIndex);
                        QVERIFY2(got == want, qPrintable(QStringLiteral("typed over %1").arg(pos)));
                        QVERIFY(doc->Undo());
                    }
                }
                QCOMPARE(doc->Content().Text().count(u'Q'), 0);
            }
            for (int pos = 0; pos <= last; ++pos) {
                QVERIFY2(m.formatForReplacing(pos, pos) == expected(pos, pos), qPrintable(QStringLiteral("%1 at %2").arg(file).arg(pos)));
                if (pos < last)
                    QVERIFY2(m.formatForReplacing(pos, pos + 1) == expected(pos, pos + 1),
                             qPrintable(QStringLiteral("%1 over %2").arg(file).arg(pos)));
            }
        }
    }
};

QTEST_MAIN(TestReader)
#include "tst_reader.moc"
