#pragma once
// Makes the desktop open .sab and .mza files with this program: a shared-mime-info
// package that names the two types, a desktop entry whose command opens a file
// with the program, then the desktop's caches are brought up to date. Everything
// goes under the user's data folder. The first step that fails ends the
// registration silently; the program runs on either way.

#include <QString>
#include <QStringList>
#include <functional>

namespace app {

class FileTypeRegistration {
public:
    // Runs a helper program; false when it ran and failed. A missing helper is no failure.
    using ToolRunner = std::function<bool(const QString& program, const QStringList& args)>;

    FileTypeRegistration(QString dataHome, QString programPath);

    static QString defaultDataHome();
    static ToolRunner defaultToolRunner();

    QString mimePackagePath() const;
    QString desktopEntryPath() const;
    QString mimePackage() const;
    QString desktopEntry() const;
    // The program path as one argument of a desktop entry's Exec key.
    static QString execArgument(const QString& path);

    // True when every step succeeded.
    bool run(const ToolRunner& runTool = defaultToolRunner()) const;

private:
    QString m_dataHome;
    QString m_programPath;
};

} // namespace app
