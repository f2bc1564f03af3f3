#pragma once
// The main window's side of crash recovery: the state is recorded after every
// confirmed value, removed at a clean close, and offered back at the next
// start after an unclean end (see fields::RecoveryFile).

#include "fields/recoveryfile.h"

#include <optional>

namespace app {

class TForm1;

// Writes what the field side holds now; nothing when no document is open.
void recordRecovery(TForm1& form);
// A clean close: the file goes, whatever was answered to the save question.
void endRecovery();
// At start, before anything else: a recovery file left by an unclean end is
// offered back. Nothing when there is none, it is damaged or refers to a
// missing file (reported once), or the user says No (the file is removed).
std::optional<fields::RecoveryState> offerRecovery();
// Opens the recorded file with the recorded parties and writes every value
// into its field, as confirming it in the entry box would.
void restoreRecovery(TForm1& form, const fields::RecoveryState& state);

} // namespace app
