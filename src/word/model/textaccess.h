#pragma once
// Reading the text and the look of a span the way Word reports them.

#include <QString>
#include <QTextCharFormat>
#include <functional>

namespace word::model {

class DocModel;

// The text of [start, end): paragraph and cell ends read "\r", line breaks
// "\v", page breaks "\f"; table boundaries add nothing.
QString wordText(const DocModel& m, int start, int end);

// Calls fn for every run of characters in [start, end) with its format.
// Paragraph marks are not characters with a look of their own here.
void forEachRun(const DocModel& m, int start, int end, const std::function<void(const QTextCharFormat&, int)>& fn);

} // namespace word::model
