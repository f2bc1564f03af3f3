// The legacy converter runs while the event loop turns, and cancelling ends
// its whole process group. A stand-in "soffice" on PATH plays a converter
// that never finishes and leaves a helper process of its own behind.

#include "word/error.h"
#include "word/legacy/legacyimport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

class TestConversionWait : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_rtf;
    QString m_helperPidFile;
    QByteArray m_path;

    bool helperAlive()
    {
        QFile f(m_helperPidFile);
        if (!f.open(QIODevice::ReadOnly))
            return false;
        const pid_t pid = pid_t(f.readAll().trimmed().toInt());
        return pid > 0 && ::kill(pid, 0) == 0;
    }

private slots:
    void initTestCase()
    {
        m_helperPidFile = m_dir.filePath(QStringLiteral("helper.pid"));
        QFile script(m_dir.filePath(QStringLiteral("soffice")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "sleep 300 &\n"
                     "echo $! > '" + QFile::encodeName(m_helperPidFile) + "'\n"
                     "exec sleep 300\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        m_rtf = m_dir.filePath(QStringLiteral("regi.rtf"));
        QFile rtf(m_rtf);
        QVERIFY(rtf.open(QIODevice::WriteOnly));
        rtf.write("{\\rtf1\\ansi Szia}");
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_dir.path()) + ':' + m_path);
    }

    void cleanupTestCase() { qputenv("PATH", m_path); }

    void cancelEndsTheGroupAndTheWait_data()
    {
        QTest::addColumn<bool>("cancel");
        QTest::newRow("cancelled by the user") << true;
        QTest::newRow("out of time") << false;
    }

    void cancelEndsTheGroupAndTheWait()
    {
        QFETCH(bool, cancel);
        QFile::remove(m_helperPidFile);
        int ticks = 0, started = 0, finished = 0;
        bool runningSeen = false;
        word::legacy::setConversionHooks({[&] { ++started; }, [&] { ++finished; }});
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            ++ticks;
            runningSeen = runningSeen || word::legacy::conversionRunning();
            if (cancel && ticks == 10)
                word::legacy::cancelConversion();
        });
        ticker.start(50);
        QElapsedTimer clock;
        clock.start();
        QString message;
        bool wasCancel = false;
        try {
            word::legacy::convertToOoxml(m_rtf, cancel ? 60'000 : 1500);
            QFAIL("the stand-in converter never finishes");
        } catch (const word::legacy::Cancelled& e) {
            wasCancel = true;
            message = e.message();
        } catch (const word::Error& e) {
            message = e.message();
        }
        word::legacy::setConversionHooks({});
        QCOMPARE(wasCancel, cancel);
        QVERIFY2(message.contains(QStringLiteral("„regi.rtf”")), qPrintable(message));
        QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
        // The event loop turned all the while: the window would have repainted.
        QVERIFY2(ticks >= 8, qPrintable(QString::number(ticks)));
        QVERIFY(runningSeen);
        QCOMPARE(started, 1);
        QCOMPARE(finished, 1);
        QVERIFY(!word::legacy::conversionRunning());
        // The helper the converter started went with it.
        QTRY_VERIFY_WITH_TIMEOUT(!helperAlive(), 3000);
    }

    void cancelWithoutConversionDoesNothing()
    {
        word::legacy::cancelConversion();
        QVERIFY(!word::legacy::conversionRunning());
    }
};

QTEST_GUILESS_MAIN(TestConversionWait)
#include "tst_conversionwait.moc"
