#pragma once
// Where the program keeps its templates ("sablonok"), its field data files
// ("mezoadatok") and its style template (Normal2003.dot).
//
// Run from its build tree (or any folder that holds "sablonok" or "mezoadatok"
// beside the executable) everything lies beside the program. Installed, the
// executable sits in <prefix>/bin and the samples in <prefix>/share/quillora,
// which the user may not write; the folders the user works in are then
// $XDG_DATA_HOME/Quillora/sablonok and .../mezoadatok, seeded from the samples the
// first time they are made. When those cannot be made, the installed samples are
// used read-only. Everything is found relative to the executable, so an unpacked
// package works from any folder.

#include <QString>

namespace app {

class DataFolders {
public:
    enum class Layout { BesideProgram, Installed };

    // programFolder: the executable's folder; dataHome: the user's data folder
    // ($XDG_DATA_HOME), used only when installed.
    DataFolders(QString programFolder, QString dataHome);

    // The process-wide folders of this executable and this user.
    static DataFolders& current();
    static Layout layoutOf(const QString& programFolder);

    Layout layout() const { return m_layout; }
    // The installed samples (<prefix>/share/quillora); the program folder beside the program.
    QString samplesFolder() const;
    // The user's own folder for the program when installed: <dataHome>/Quillora.
    QString userFolder() const;
    QString templatesFolder() const { return folder(QStringLiteral("sablonok")); }
    QString fieldDataFolder() const { return folder(QStringLiteral("mezoadatok")); }
    // The folder that holds Normal2003.dot.
    QString programDataFolder() const { return samplesFolder(); }
    // True when installed and the user's folders could not be made: the samples are used as they are.
    bool readOnly() const { return m_readOnly; }

    // Installed: makes the user's folders, and fills a folder made now with the
    // samples, never replacing a file that is there. Beside the program it does
    // nothing. False when the user's folders cannot be made; the folders are then
    // the read-only samples.
    bool prepare();

    // Why a field data file cannot be saved at path, or empty when nothing speaks
    // against it: saving into the read-only samples is refused with a message that
    // says why and what to do.
    QString fieldDataSaveRefusal(const QString& path) const;

private:
    QString folder(const QString& name) const;

    QString m_programFolder;
    QString m_dataHome;
    Layout m_layout;
    bool m_readOnly = false;
};

} // namespace app
