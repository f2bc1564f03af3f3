// Find and replace with Word's special codes.

#include "wordfixture.h"

#include "word/application.h"
#include "word/document.h"
#include "word/error.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace wordtest;

class TestFind : public QObject {
    Q_OBJECT

private:
    FixtureDocuments m_docs{QStringLiteral("f")};

    word::Document* open(const QString& body) { return m_docs.open(body); }

    static bool replaceAll(word::Document* doc, const QString& what, const QString& with)
    {
        doc->Select();
        doc->ActiveWindow().Selection().Find().setText(what);
        doc->ActiveWindow().Selection().Find().Replacement().setText(with);
        doc->ActiveWindow().Selection().Find().setForward(true);
        doc->ActiveWindow().Selection().Find().setWrap(0);
        return doc->ActiveWindow().Selection().Find().Execute(2);
    }

private slots:
    void replaceAllCodes_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QString>("with");
        QTest::addColumn<QString>("expected");
        const QString tabbed = p(QStringLiteral("<w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t></w:r>"));
        QTest::newRow("plain, case-insensitive") << p(r("Alma alma ALMA")) << "alma" << "körte" << "körte körte körte";
        QTest::newRow("tab") << tabbed << "^t" << "-" << "a-b\vc";
        QTest::newRow("line break") << tabbed << "^l" << "^p" << "a\tb\rc";
        QTest::newRow("paragraph mark") << p(r("egy")) + p(r("kettő")) << "^p" << " " << "egy kettő";
        QTest::newRow("caret") << p(r("a^b")) << "^^" << "+" << "a+b";
        QTest::newRow("page break") << p(QStringLiteral("<w:r><w:t>x</w:t><w:br w:type=\"page\"/><w:t>y</w:t></w:r>")) << "^m" << "" << "xy";
        QTest::newRow("found text") << p(r("ab")) << "b" << "[^&]" << "a[b]";
    }
    void replaceAllCodes()
    {
        QFETCH(QString, body);
        QFETCH(QString, what);
        QFETCH(QString, with);
        QFETCH(QString, expected);
        word::Document* doc = open(body);
        QVERIFY(replaceAll(doc, what, with));
        QCOMPARE(doc->Content().Text(), expected);
        QVERIFY(!doc->Saved());
    }

    void sectionBreaksRemoved()
    {
        const QString brk = QStringLiteral("<w:sectPr><w:type w:val=\"continuous\"/></w:sectPr>");
        word::Document* doc = open(p(r("első"), brk) + p(r("második"), brk) + p(r("harmadik")));
        QVERIFY(replaceAll(doc, "^b", ""));
        QCOMPARE(doc->Content().Text(), QStringLiteral("első\rmásodik\rharmadik"));
        QVERIFY(!replaceAll(doc, "^b", ""));   // none left
        const QString saved = QDir(m_docs.dir()).filePath("nobreaks.docx");
        doc->SaveAs(saved);
        const QByteArray xml = readPart(saved, "word/document.xml");
        QCOMPARE(xml.count("<w:sectPr"), 1);   // only the body's own
    }

    void findSelectsHit()
    {
        word::Document* doc = open(p(r("keresd meg a tűt")));
        word::Selection& s = doc->ActiveWindow().Selection();
        s.SetRange(0, 0);
        s.Find().setText(QStringLiteral("tűt"));
        QVERIFY(s.Find().Execute());
        QCOMPARE(s.Text(), QStringLiteral("tűt"));
        QCOMPARE(doc->Content().Text(), QStringLiteral("keresd meg a tűt"));
    }

    void wrapDecidesWhetherToLookBefore()
    {
        word::Document* doc = open(p(r("cél vége")));
        word::Selection& s = doc->ActiveWindow().Selection();
        s.SetRange(5, 5);
        s.Find().setText(QStringLiteral("cél"));
        s.Find().setWrap(0);
        QVERIFY(!s.Find().Execute());
        s.Find().setWrap(1);
        QVERIFY(s.Find().Execute());
        QCOMPARE(s.Start(), 0);
    }

    void unknownCodeAndEmptyTextFail()
    {
        word::Document* doc = open(p(r("x")));
        doc->ActiveWindow().Selection().Find().setText(QString());
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->ActiveWindow().Selection().Find().Execute());
        doc->ActiveWindow().Selection().Find().setText(QStringLiteral("^q"));
        QVERIFY_THROWS_EXCEPTION(word::Error, doc->ActiveWindow().Selection().Find().Execute());
    }
};

QTEST_MAIN(TestFind)
#include "tst_find.moc"
