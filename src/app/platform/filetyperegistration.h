#pragma once
// Makes the desktop open .sab and .mza files with this program: a shared-mime-info
// package that names the two types, a desktop entry whose command opens a file
// with the program, then the desktop's caches are brought up to date. Everything
// goes under the user's data folder. The first step that fails ends the
// registration silently; the program runs on either way.
//
// When a system folder already registers both types for this very executable
// (the installed package), nothing is written; a per-user desktop entry of ours
// that would hide the system one behind another program (a build tree run
// earlier) is removed instead.

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
    // The registration of the running program, with its icon when the package's icon lies beside it.
    static FileTypeRegistration forThisProgram();

    // The system's data folders searched for a registration of the package
    // ($XDG_DATA_DIRS); the user's data folder is never one of them.
    void setSystemDataDirs(const QStringList& dirs);
    // An absolute icon file for the desktop entry; empty for none.
    void setIcon(const QString& iconPath) { m_icon = iconPath; }
    // True when one system data folder holds a desktop entry of ours whose command
    // runs this executable, and one holds our shared-mime-info package.
    bool systemRegistersThisProgram() const;
    // The program that an Exec line of a desktop entry runs, as written there.
    static QString execProgram(const QString& desktopEntry);

    QString mimePackagePath() const;
    QString desktopEntryPath() const;
    QString mimePackage() const;
    QString desktopEntry() const;
    // The program path as one argument of a desktop entry's Exec key.
    static QString execArgument(const QString& path);

    // True when every step succeeded.
    bool run(const ToolRunner& runTool = defaultToolRunner()) const;

private:
    bool runsThisProgram(const QString& desktopEntryFile) const;
    bool removeShadowingEntry(const ToolRunner& runTool) const;

    QString m_dataHome;
    QString m_programPath;
    QString m_icon;
    QStringList m_systemDirs;
};

} // namespace app
