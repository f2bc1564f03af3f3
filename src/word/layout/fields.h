#pragma once
// The fields of a story whose shown result depends on the page: PAGE,
// NUMPAGES and SECTIONPAGES, complex (fldChar) or simple (fldSimple), found
// through the markup the model keeps at their places.

#include <vector>

namespace word::model { class DocModel; }

namespace word::layout {

struct PageField {
    enum Kind { Page, NumPages, SectionPages };
    Kind kind = Page;
    int start = 0;      // the cached result's text, [start, end)
    int end = 0;
};

std::vector<PageField> pageFields(const model::DocModel& model);

// A legacy check box (FORMCHECKBOX with its ffData): drawn where the field
// starts, the field's own size or, when it has none, its text's.
struct CheckBoxField {
    int position = 0;
    bool checked = false;     // w:checked, else w:default
    double size = 0;          // points; 0 for the size of the text
    bool hidden = false;      // its field's run is hidden text
};

// In text order.
std::vector<CheckBoxField> checkBoxes(const model::DocModel& model);

} // namespace word::layout
