// What the application asks of the desktop: message boxes, questions, file
// requesters, the clipboard, starting a program, the animation timer and canvas
// redraws. The GTK front end fills the table; tests fill it with scripted answers
// and record what was asked, so that no test ever blocks on a dialog.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kovrex {

enum class MessageIcon { Info, Warning, Error };
enum class Answer { Yes, No, Cancel };

struct FilePattern {
  std::string name;     // "Kovrex project (*.tdw)"
  std::string pattern;  // "*.tdw"
};

struct Services {
  std::function<void(MessageIcon icon, const std::string& title, const std::string& text)> messageBox;
  // Yes/No; closing the question counts as No.
  std::function<Answer(const std::string& title, const std::string& text)> askYesNo;
  // Yes/No/Cancel; closing the question counts as Cancel.
  std::function<Answer(const std::string& title, const std::string& text)> askYesNoCancel;
  // nullopt when cancelled.
  std::function<std::optional<std::string>(const std::string& title, const std::string& initialName,
                                           const std::vector<FilePattern>& patterns)>
      saveRequester;
  std::function<std::optional<std::string>(const std::string& title, const std::string& initialName,
                                           const std::vector<FilePattern>& patterns)>
      openRequester;
  std::function<void(const std::string& text)> setClipboardText;
  // argv[0] is the program; no shell, not waited for. False when it could not start.
  std::function<bool(const std::vector<std::string>& argv)> startProcess;
  std::function<void(int timer, int intervalMs)> startTimer;
  std::function<void(int timer)> stopTimer;  // also drops ticks already queued
  std::function<void()> requestCanvasRedraw;
  std::function<void()> focusCanvas;
  // Takes and drops every pending user-interface event (after opening a project).
  std::function<void()> discardPendingEvents;
  // Popup menu 0 (user guide, About) at the mouse position over the main window.
  std::function<void()> showHelpPopupMenu;
  // Modal About window (owned by the GTK front end).
  std::function<void()> showAboutWindow;
};

// The active table. Starts with harmless defaults: messages dropped, questions
// answered Cancel/No, requesters cancelled, nothing started.
Services& Svc();
void ResetServices();

}  // namespace kovrex
