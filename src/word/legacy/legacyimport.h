#pragma once
// Recognising and importing the document forms that are not OOXML packages.
// Word 97-2003 binary files (also Word 6/95 and Word 2.x), RTF and Word 2003
// XML are converted to OOXML by LibreOffice running headless with a private
// temporary profile and a time limit; nothing else leaves the process.
//
// How the document engine opens a path:
//
//     std::unique_ptr<opc::Package> pkg = word::legacy::openPackage(path);
//
// openPackage() looks at the content, never at the extension: an OOXML
// package is opened with opc::Package::open(); a legacy form is converted
// and opened from the converted bytes under the original file name (so
// messages name the user's file). A password-protected file, junk, a
// missing LibreOffice or a failing conversion throw word::Error with a
// Hungarian message naming the file. Saving such a document writes OOXML.

#include "word/error.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace word::opc { class Package; }

namespace word::legacy {

enum class Format {
    Ooxml,          // a package (.docx, .dotx, .docm, ... under any name), zip or flat XML
    WordBinary,     // Word 97-2003, 6/95 (OLE compound file) or Word 2.x
    Rtf,
    WordXml,        // Word 2003 XML (WordprocessingML 2003)
    Encrypted,      // password-protected: an encrypted package or .doc
    Unknown
};

// Decides by content. Unreadable or missing files are Unknown.
Format sniff(const QString& path);
Format sniffBytes(const QByteArray& head);

// Converts a legacy file to OOXML package bytes with LibreOffice; throws
// word::Error when LibreOffice is missing, fails, or exceeds timeoutMs, and
// Cancelled when cancelConversion() ended it. While the converter runs, the
// calling thread's event loop turns (in the application's main thread), so
// windows repaint and a progress window can offer to cancel.
QByteArray convertToOoxml(const QString& path, int timeoutMs = 60'000);

// A conversion ended by the user; the message names the file.
class Cancelled : public Error {
public:
    using Error::Error;
};

// Ends the conversion under way, with every process of its group; the
// conversion then throws Cancelled. Does nothing when none is running.
void cancelConversion();
bool conversionRunning();

// Told when a conversion starts and when it has ended (either way), in the
// main thread; a progress window shows its cancel button between the two.
struct ConversionHooks {
    std::function<void()> started;
    std::function<void()> finished;
};
void setConversionHooks(ConversionHooks hooks);

// Converts a legacy file now, ahead of its open, so that the caller can still
// keep what it shows when the user ends the conversion: the next
// openPackage(path) takes the result (the bytes, or the failure to report)
// instead of converting again, as long as the file has not changed since.
// Throws Cancelled when the user ended the conversion; then nothing is kept.
// Does nothing for a file that needs no conversion.
void convertAhead(const QString& path);

// The package of any supported form (see above); throws word::Error. When
// detected is given it receives the form found, so the caller need not read
// the file a second time to learn whether it was a legacy import.
std::unique_ptr<opc::Package> openPackage(const QString& path, Format* detected = nullptr);

} // namespace word::legacy
