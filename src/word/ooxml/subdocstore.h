#pragma once
// Writing a master document with subdocuments: each subdocument whose text
// is in the model goes to a .docx-format file of its own beside the master,
// and the master refers to it (w:subDoc and a subDocument relationship) in
// place of that text. Also brings a subdocument's text in when expanding.

#include <QByteArray>
#include <QString>

namespace word::model { class DocModel; }

namespace word::opc { class StagedFiles; }

namespace word::ooxml {

struct WriteIds;

class SubdocStore {
public:
    explicit SubdocStore(model::DocModel& m) : m_model(m) {}

    // Marks the paragraphs of [start, end] as a new subdocument.
    void addFromRange(int start, int end);
    // Stages every subdocument's text for its file beside masterPath, where
    // the master document is about to be saved. A subdocument read from
    // another folder is written beside the master, never over its source.
    // Throws word::Error.
    void writeFiles(const QString& masterPath, opc::StagedFiles& staged);
    // The master's main part, with references in place of subdocument text.
    QByteArray mainDocumentXml(WriteIds* ids = nullptr) const;
    // Shows the text of every subdocument read as a reference. Files that
    // cannot be found or read stay collapsed.
    void expandAll();

private:
    bool regionOf(size_t i, int& start, int& end) const;
    model::DocModel& m_model;
};

} // namespace word::ooxml
