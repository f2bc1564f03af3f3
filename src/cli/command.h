#pragma once
// One quillora-cli command: its name, its usage line and the function that
// runs it. main.cpp holds the table of commands; a command lives in a file of
// its own and is added to the table with one line.

#include <QStringList>
#include <QTextStream>

namespace cli {

// Exit statuses shared by the commands.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;    // the command line is wrong
constexpr int kExitFile = 2;     // a file could not be read or written

// Runs with the arguments after the command's name. Writes results to out and
// one Hungarian line per problem to err. May throw word::Error, which the
// caller reports and turns into kExitFile.
using CommandFunction = int (*)(const QStringList& args, QTextStream& out, QTextStream& err);

struct Command {
    const char* name;
    const char* arguments;   // shown after the name in the usage text
    const char* summary;     // one line, Hungarian
    CommandFunction run;
};

} // namespace cli
