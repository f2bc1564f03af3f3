// The field data file reader: decoding (UTF-8 with or without a mark,
// Windows-1250), line splitting and the placement into a value column.

#include "fields/fielddatafile.h"
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = fields::FieldDataFile::decode(fuzz::bytes(data, size));
    FUZZ_CHECK(!text.contains(QChar(0)));
    const QStringList lines = fields::FieldDataFile::splitLines(text);
    for (const QString& l : lines)
        FUZZ_CHECK(!l.contains(u'\r') && !l.contains(u'\n'));
    // A column as long as the first byte says, some cells already filled.
    const int rows = size ? data[0] % 40 : 3;
    QStringList column{fields::FieldDataFile::header()};
    for (int i = 0; i < rows; ++i)
        column.append(i % 3 == 0 ? QStringLiteral("x") : QString());
    fields::FieldDataFile::place(column, lines);
    FUZZ_CHECK(column.size() == rows + 1);
    FUZZ_CHECK(column.first() == fields::FieldDataFile::header());
    // What is written reads back as the same lines.
    const QStringList back = fields::FieldDataFile::splitLines(
        fields::FieldDataFile::decode(fields::FieldDataFile::encode(column)));
    FUZZ_CHECK(back.mid(1) == column.mid(1));
    return 0;
}
