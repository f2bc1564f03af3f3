#pragma once
// Custom QTextFormat properties through which the model carries what it does
// not interpret. They are plain strings and ints on purpose: such properties
// survive QTextCursor::selection()/insertFragment() and format merging, and
// equal runs still share one format.

#include <QTextFormat>

namespace word::model::prop {

enum : int {
    // Block formats.
    ParaIndex = QTextFormat::UserProperty + 100,  // int: index of the paragraph as read
    PPrXml,          // QString: the paragraph's pPr without its sectPr
    SectPrXml,       // QString: sectPr of a paragraph that ends a section (a section break)
    Phantom,         // bool: a block Qt needs around tables that no paragraph stands for
    PrefixXml,       // QString: container-level XML written before a table
    SuffixXml,       // QString: container-level XML written after a table
    ListLabel,       // QString: the numbering label shown for the paragraph
    SubdocSlot,      // int: the paragraph stands for a collapsed subdocument
    BlockPath,       // QString: indices of the block wrappers around the paragraph or table, "3,7"
    PrefixRef,       // int: index of preserved items written before the paragraph
    SuffixRef,       // int: index of preserved items written after the paragraph
    ParaAttrs,       // QString: the attributes of the paragraph's <w:p> (w14:paraId, w:rsidR, ...)
    // Character formats.
    RPrXml = QTextFormat::UserProperty + 140,     // QString: the run's rPr as read
    LookSig,         // QString: the engine-editable look the run was read with
    CharXml,         // QString: run content written for a special character (tab, break, object)
    CharKind,        // int: CharKind value of a special character
    TextBoxId,       // int: the object holds a text box whose content is the story with this boxId
    // Table and cell formats.
    TableIndex = QTextFormat::UserProperty + 180, // int: index of the table as read
    CellXml,         // QString: tcPr of the cell
    CellAbsent,      // bool: a grid cell the row does not have (gridBefore/gridAfter)
    CellPath,        // QString: block wrappers around the cell, as BlockPath
    CellLeadXml,     // QString: row-level XML between the previous cell and this one
};

enum CharKindValue : int { KindNone = 0, KindPageBreak = 1, KindColumnBreak = 2, KindObject = 3 };

} // namespace word::model::prop
