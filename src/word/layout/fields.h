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

} // namespace word::layout
