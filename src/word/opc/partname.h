#pragma once
// Part names of a package: checking zip entry names, comparing names the way
// the package format does (percent-decoded, without regard to case) and
// resolving relationship targets.

#include <QString>

namespace word::opc::partname {

// Why a zip entry name cannot be taken as a part name (a path that climbs out
// of the package, an absolute or drive path, backslashes, control
// characters), or an empty string when it is acceptable.
QString entryProblem(const QString& entryName);

// The comparison key of a name: percent-decoded, no leading slash, no empty
// or "." segments, NFC, case-folded. Two entries with one key are duplicates.
QString key(const QString& name);

// The directory part of a part name with its trailing slash ("" at the root).
QString directoryOf(const QString& partName);

// The relationships part of sourcePart ("_rels/.rels" for the package itself).
QString relationshipsPartOf(const QString& sourcePart);

// True when target names something outside the package (it has a scheme).
bool isExternalTarget(const QString& target);

// The part name (no leading slash, percent-decoded) that target points to
// from sourcePart, or an empty string when target is external or climbs out
// of the package.
QString resolve(const QString& sourcePart, const QString& target);

} // namespace word::opc::partname
