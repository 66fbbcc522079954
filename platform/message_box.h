// Error messages for the viewer: a line on stderr, and a modal dialog when a
// person is watching. Headless runs and tests never block on a dialog.
#pragma once

#include <functional>
#include <string>

// Shows `text` under `caption`: always one line "caption: text" on stderr,
// plus an SDL error dialog when dialogs are enabled (see SetDialogsEnabled),
// which waits for the viewer's OK. A stop signal (platform/stop_signals)
// closes an open dialog at once; once one has come, no dialog opens.
void ShowErrorMessage(const std::string& caption, const std::string& text);

// Interactive runs show dialogs; headless modes turn them off. Off by default,
// so that tests and tools can never hang on a dialog.
void SetDialogsEnabled(bool enabled);

// Replaces stderr and the dialog with `sink` (tests capture messages this
// way); an empty sink restores the normal output.
using MessageSink = std::function<void(const std::string& caption, const std::string& text)>;
void SetMessageSink(MessageSink sink);
