#pragma once
// Files written together or not at all: each is written to a temporary file
// beside its target first; only when every one is complete are they renamed
// into place, the first one staged first. Whatever has not been committed
// when the object dies is thrown away, and the old files stay whole.

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

class QSaveFile;

namespace word::opc {

class StagedFiles {
public:
    StagedFiles();
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    // Writes bytes to a temporary file for path; throws word::Error naming the file.
    void stage(const QString& path, const QByteArray& bytes);
    // Renames every staged file into place, in staging order; throws on the first failure.
    void commit();

private:
    std::vector<std::unique_ptr<QSaveFile>> m_files;
};

} // namespace word::opc
