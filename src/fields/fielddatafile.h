#pragma once
// Field data files (.mza): the value column of the field grid as plain text,
// one line per grid row, header line first, CR LF after every line. A value is
// tied to its field by nothing but its line number.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace fields {

class FieldDataFile {
public:
    // The header cell of the value column and the first line of every file.
    static QString header();

    // Reads and splits the file; throws word::Error naming the file and the
    // reason when it is missing, a folder, unreadable or too large.
    static QStringList readLines(const QString& path);
    // Writes the column; throws word::Error when the file cannot be written.
    static void write(const QString& path, const QStringList& column);

    // Text of the file's bytes. A byte-order mark, or valid UTF-8 holding at
    // least one multi-byte sequence, reads as UTF-8; anything else as
    // Windows-1250. A NUL byte ends the text.
    static QString decode(const QByteArray& bytes);
    // Lines end at CR LF, a lone CR or a lone LF; a final line break does not
    // start another line.
    static QStringList splitLines(QStringView text);
    // Windows-1250 with CR LF after every line; when some value cannot be held
    // by that code page, the whole file is UTF-8 with a byte-order mark, so no
    // character is lost (the mark lands in the header line, which a load
    // replaces anyway).
    static QByteArray encode(const QStringList& column);

    // The load's placement: every cell blanked, each line put into the first
    // blank cell from the top (an empty line as one blank, so the cell counts
    // as filled), surplus lines dropped, the header cell restored.
    static void place(QStringList& column, const QStringList& lines);
    // The clear command's result on a column of the same length.
    static void clear(QStringList& column);

    // Files beyond this size are refused rather than read into memory.
    static constexpr qint64 kMaxBytes = 64LL * 1024 * 1024;
};

} // namespace fields
