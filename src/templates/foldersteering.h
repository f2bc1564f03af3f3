#pragma once
// When the template dialog moves itself into another folder. Leaving the
// template type takes the user to the documents folder, unless the user has
// already browsed around while the type stayed the same; coming back to the
// template type always returns to the templates folder.
//
// The counting relies on one folder report when the dialog opens (the folder
// it opens in) and one after every move the dialog makes itself; the dialog
// reports those as well as the user's own navigation.

#include <QString>

#include <functional>

namespace templates {

struct TypeChangeEffect {
    enum Move { Stay, ToDocuments, ToTemplates };
    bool changesLook = false;    // title and party panel follow the new type
    bool templateType = false;   // the look to take when changesLook
    Move move = Stay;
};

class FolderSteering {
public:
    static constexpr int TemplateFilter = 1;

    // The dialog has been set up for showing with the given filter index.
    void shown(int filterIndex);
    // Any folder change, the user's or the dialog's own.
    void folderChanged(int filterIndex);
    // The user picked another file type. The folder flags say which move
    // targets exist; moveDialog carries out the chosen move (and reports the
    // folder change it causes) before the counting goes on, as the platform's
    // report of a move arrives while the move is being made.
    using MoveFn = std::function<void(TypeChangeEffect::Move)>;
    TypeChangeEffect typeChanged(int newFilterIndex, bool documentsFolderExists,
                                 bool templatesFolderExists, const MoveFn& moveDialog);

    int TypeIndexSeen = 0;
    int FolderIndexSeen = 0;
    int FolderChangeCount = 0;
};

// The frame title for a filter index.
QString dialogTitle(int filterIndex);

} // namespace templates
