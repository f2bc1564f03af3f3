#pragma once
// The crash recovery file: what the field side holds, written again after
// every confirmed value, so that a crash or a power cut loses nothing typed.
// A clean close removes it; finding it at the next start means the program
// ended unexpectedly, and the values can be put back.
//
// The file is JSON in the user's data folder ($XDG_DATA_HOME/Quillora), written
// through a temporary file and a rename, so it is always either the old or
// the new state, never half of one.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <optional>

namespace fields {

struct RecoveryState {
    QString file;                // the template or document as opened (before any variant choice)
    int sellers = 1;
    int buyers = 1;
    QStringList legal;           // the ticked parties ("Eladó", "2. Vevő", ...)
    QList<QPair<QString, QString>> values;   // field name and value, in grid order
    qint64 pid = 0;              // the process that wrote it
    bool operator==(const RecoveryState&) const = default;
};

class RecoveryFile {
public:
    // $XDG_DATA_HOME/Quillora/Quillora.recovery
    static QString defaultPath();

    // Replaces the file atomically; false when it cannot be written (the
    // program goes on: recovery is a safety net, not a condition of work).
    static bool write(const QString& path, const RecoveryState& state);

    // The state in the file; nothing when there is no file. A file that is
    // damaged (not JSON, wrong fields, implausible counts, too large) gives
    // nothing too and sets problem to the reason, in Hungarian.
    static std::optional<RecoveryState> read(const QString& path, QString* problem = nullptr);

    static void remove(const QString& path);

    // True when the process that wrote state is still running this program:
    // its file is then no trace of a crash but the work of another instance.
    static bool writerIsRunning(const RecoveryState& state);

    static constexpr qint64 kMaxBytes = 16LL * 1024 * 1024;
};

} // namespace fields
