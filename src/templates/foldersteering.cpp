#include "templates/foldersteering.h"

namespace templates {

QString dialogTitle(int filterIndex)
{
    if (filterIndex == FolderSteering::TemplateFilter)
        return QStringLiteral("Szerződés sablon megnyitása");
    return QStringLiteral("Word állomány megnyitása");
}

void FolderSteering::shown(int filterIndex)
{
    FolderChangeCount = 0;
    TypeIndexSeen = filterIndex;
    FolderIndexSeen = filterIndex;
}

void FolderSteering::folderChanged(int filterIndex)
{
    if (filterIndex == FolderIndexSeen)
        ++FolderChangeCount;
    FolderIndexSeen = filterIndex;
}

TypeChangeEffect FolderSteering::typeChanged(int newFilterIndex, bool documentsFolderExists,
                                             bool templatesFolderExists, const MoveFn& moveDialog)
{
    TypeChangeEffect effect;
    if (newFilterIndex != TemplateFilter && TypeIndexSeen == TemplateFilter) {
        effect.changesLook = true;
        effect.templateType = false;
        if (FolderChangeCount < 2 && documentsFolderExists) {
            effect.move = TypeChangeEffect::ToDocuments;
            moveDialog(effect.move);
        }
    } else if (newFilterIndex == TemplateFilter) {
        effect.changesLook = true;
        effect.templateType = true;
        if (templatesFolderExists) {
            effect.move = TypeChangeEffect::ToTemplates;
            moveDialog(effect.move);
            FolderChangeCount = 1;
        }
    }
    TypeIndexSeen = newFilterIndex;
    return effect;
}

} // namespace templates
