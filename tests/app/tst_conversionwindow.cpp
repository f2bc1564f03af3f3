// The progress window during a legacy conversion: "Mégse" appears, input to
// the main window is kept away, and a click on "Mégse" ends the converter's
// whole process group at once. A stand-in "soffice" on PATH never finishes.

#include "app/isolatedmain.h"
#include "app/tform2.h"
#include "word/error.h"
#include "word/legacy/legacyimport.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPushButton>
#include <QtTest>

#include <csignal>

class TestConversionWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cancelFromTheProgressWindow();

private:
    QTemporaryDir m_dir;
    QString m_rtf;
    QString m_pidFile;
};

void TestConversionWindow::initTestCase()
{
    m_pidFile = m_dir.filePath(QStringLiteral("group.pid"));
    QFile script(m_dir.filePath(QStringLiteral("soffice")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nsleep 300 &\necho $! > '" + QFile::encodeName(m_pidFile) + "'\nexec sleep 300\n");
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    m_rtf = m_dir.filePath(QStringLiteral("regi.rtf"));
    QFile rtf(m_rtf);
    QVERIFY(rtf.open(QIODevice::WriteOnly));
    rtf.write("{\\rtf1\\ansi Szia}");
    qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + qgetenv("PATH"));
}

void TestConversionWindow::cancelFromTheProgressWindow()
{
    QMainWindow main;
    auto* other = new QPushButton(QStringLiteral("más parancs"), &main);
    main.setCentralWidget(other);
    main.show();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    app::TForm2 progress(&main);
    progress.show();
    QVERIFY(!progress.Megse->isVisible());
    int otherClicks = 0;
    connect(other, &QPushButton::clicked, [&] { ++otherClicks; });
    bool sawButton = false;
    QTimer::singleShot(300, [&] {
        sawButton = progress.Megse->isVisible();
        // The user tries another command first: it must not start.
        QTest::mouseClick(other, Qt::LeftButton);
        QTest::mouseClick(progress.Megse, Qt::LeftButton);
    });
    QElapsedTimer clock;
    clock.start();
    bool cancelled = false;
    try {
        word::legacy::convertToOoxml(m_rtf);
    } catch (const word::legacy::Cancelled& e) {
        cancelled = true;
        QVERIFY2(e.message().contains(QStringLiteral("„regi.rtf”")), qPrintable(e.message()));
    } catch (const word::Error& e) {
        QFAIL(qPrintable(e.message()));
    }
    QVERIFY(cancelled);
    QVERIFY(sawButton);
    QVERIFY2(clock.elapsed() < 10'000, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(otherClicks, 0);
    QVERIFY(!progress.Megse->isVisible());
    // After the conversion, the main window takes input again.
    QTest::mouseClick(other, Qt::LeftButton);
    QCOMPARE(otherClicks, 1);
    // The converter's helper process went with its group.
    QFile f(m_pidFile);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const pid_t helper = pid_t(f.readAll().trimmed().toInt());
    QVERIFY(helper > 0);
    QTRY_VERIFY_WITH_TIMEOUT(::kill(helper, 0) != 0, 3000);
}

QUILLORA_ISOLATED_TEST_MAIN(QApplication, TestConversionWindow)
#include "tst_conversionwindow.moc"
