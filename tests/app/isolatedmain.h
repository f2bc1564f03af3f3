#pragma once
// A test main that points the user's configuration, data and runtime folders at a
// fresh temporary folder before the application object exists, so no suite ever
// reads or writes the real user's settings, file types or lock.

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace testenv {

inline QTemporaryDir& home()
{
    static QTemporaryDir dir;
    return dir;
}

inline QString path(const QString& sub)
{
    return QDir(home().path()).filePath(sub);
}

inline void isolate()
{
    for (const char* sub : {"config", "data", "runtime", "home"})
        QDir().mkpath(path(QLatin1String(sub)));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("config"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("data"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(path(QStringLiteral("runtime"))));
    qputenv("HOME", QFile::encodeName(path(QStringLiteral("home"))));
    QFile::setPermissions(path(QStringLiteral("runtime")), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace testenv

#define QUILLORA_ISOLATED_TEST_MAIN(AppClass, TestObject) \
    int main(int argc, char** argv) \
    { \
        testenv::isolate(); \
        AppClass app(argc, argv); \
        app.setAttribute(Qt::AA_Use96Dpi, true); \
        TestObject tc; \
        QTEST_SET_MAIN_SOURCE_PATH \
        return QTest::qExec(&tc, argc, argv); \
    }
