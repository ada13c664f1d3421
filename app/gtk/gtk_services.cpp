// GTK implementations of the service table: modal message boxes and questions,
// file choosers, clipboard, process start, the animation timer and the help popup
// menu. Not for: deciding what to ask (the commands in app/ do that).
#include "app/gtk/gtk_services.h"

#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "app/controls.h"
#include "app/gtk/gtk_control_store.h"
#include "app/services.h"
#include "text/texts.h"

namespace kovrex {
namespace {

std::map<int, guint> g_timerSources;
GtkWidget* g_helpMenu = nullptr;
GtkWidget* g_helpMenuAnchor = nullptr;

// The dialog belongs to the window the user is working in, so that it opens over it.
GtkWindow* DialogParent() {
  for (int window = 0; window <= 2; ++window) {
    GtkWidget* w = WindowWidget(window);
    if (w && gtk_widget_get_visible(w) && gtk_window_is_active(GTK_WINDOW(w))) return GTK_WINDOW(w);
  }
  GtkWidget* main = WindowWidget(WindowMain);
  return main ? GTK_WINDOW(main) : nullptr;
}

GtkMessageType MessageTypeOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Warning: return GTK_MESSAGE_WARNING;
    case MessageIcon::Error: return GTK_MESSAGE_ERROR;
    case MessageIcon::Info: break;
  }
  return GTK_MESSAGE_INFO;
}

int RunMessageDialog(GtkMessageType type, const std::string& title, const std::string& text,
                     const std::vector<std::pair<TextId, int>>& buttons, int defaultResponse) {
  GtkWidget* dialog = gtk_message_dialog_new(DialogParent(), static_cast<GtkDialogFlags>(GTK_DIALOG_MODAL | GTK_DIALOG_DESTROY_WITH_PARENT), type,
                                             GTK_BUTTONS_NONE, "%s", text.c_str());
  gtk_window_set_title(GTK_WINDOW(dialog), title.c_str());
  for (const auto& [label, response] : buttons) gtk_dialog_add_button(GTK_DIALOG(dialog), Tx(label), response);
  gtk_dialog_set_default_response(GTK_DIALOG(dialog), defaultResponse);
  int response = gtk_dialog_run(GTK_DIALOG(dialog));
  gtk_widget_destroy(dialog);
  return response;
}

void MessageBox(MessageIcon icon, const std::string& title, const std::string& text) {
  RunMessageDialog(MessageTypeOf(icon), title, text, {{TextId::DialogButtonOk, GTK_RESPONSE_OK}}, GTK_RESPONSE_OK);
}

Answer AskYesNo(const std::string& title, const std::string& text) {
  int r = RunMessageDialog(GTK_MESSAGE_QUESTION, title, text,
                           {{TextId::DialogButtonYes, GTK_RESPONSE_YES}, {TextId::DialogButtonNo, GTK_RESPONSE_NO}},
                           GTK_RESPONSE_YES);
  return r == GTK_RESPONSE_YES ? Answer::Yes : Answer::No;
}

Answer AskYesNoCancel(const std::string& title, const std::string& text) {
  int r = RunMessageDialog(GTK_MESSAGE_QUESTION, title, text,
                           {{TextId::DialogButtonYes, GTK_RESPONSE_YES},
                            {TextId::DialogButtonNo, GTK_RESPONSE_NO},
                            {TextId::DialogButtonCancel, GTK_RESPONSE_CANCEL}},
                           GTK_RESPONSE_YES);
  if (r == GTK_RESPONSE_YES) return Answer::Yes;
  if (r == GTK_RESPONSE_NO) return Answer::No;
  return Answer::Cancel;  // also a dialog closed by the window manager
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// GTK 3 matches globs case-sensitively; "X.DXF" from another system is the same
// kind of file, so every letter matches in either case: "*.dxf" -> "*.[dD][xX][fF]".
std::string CaseInsensitiveGlob(const std::string& glob) {
  std::string out;
  for (char c : glob) {
    const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower >= 'a' && lower <= 'z') {
      out += '[';
      out += lower;
      out += static_cast<char>(lower - 'a' + 'A');
      out += ']';
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

GtkFileFilter* NewFileFilter(const FilePattern& p) {
  GtkFileFilter* filter = gtk_file_filter_new();
  gtk_file_filter_set_name(filter, p.name.c_str());
  // Several globs are separated by ';' ("*.stp;*.step").
  size_t start = 0;
  for (;;) {
    const size_t semicolon = p.pattern.find(';', start);
    const std::string glob = p.pattern.substr(start, semicolon == std::string::npos ? std::string::npos
                                                                                    : semicolon - start);
    // "*.*" means every file; as a GTK glob it would skip names without a dot.
    if (!glob.empty()) gtk_file_filter_add_pattern(filter, glob == "*.*" ? "*" : CaseInsensitiveGlob(glob).c_str());
    if (semicolon == std::string::npos) break;
    start = semicolon + 1;
  }
  return filter;
}

namespace {

void AddPatterns(GtkWidget* chooser, const std::vector<FilePattern>& patterns) {
  for (const FilePattern& p : patterns) gtk_file_chooser_add_filter(GTK_FILE_CHOOSER(chooser), NewFileFilter(p));
}

std::optional<std::string> RunFileChooser(bool save, const std::string& title, const std::string& initialName,
                                          const std::vector<FilePattern>& patterns) {
  GtkWidget* chooser = gtk_file_chooser_dialog_new(
      title.c_str(), DialogParent(), save ? GTK_FILE_CHOOSER_ACTION_SAVE : GTK_FILE_CHOOSER_ACTION_OPEN,
      Tx(TextId::DialogButtonCancel), GTK_RESPONSE_CANCEL,
      Tx(save ? TextId::DialogButtonSave : TextId::DialogButtonOpen), GTK_RESPONSE_ACCEPT, nullptr);
  gtk_dialog_set_default_response(GTK_DIALOG(chooser), GTK_RESPONSE_ACCEPT);
  // The program asks about overwriting itself (with its own wording), so GTK must not.
  gtk_file_chooser_set_do_overwrite_confirmation(GTK_FILE_CHOOSER(chooser), FALSE);
  gtk_file_chooser_set_local_only(GTK_FILE_CHOOSER(chooser), TRUE);
  AddPatterns(chooser, patterns);

  size_t slash = initialName.rfind('/');
  std::string folder = slash == std::string::npos ? "" : initialName.substr(0, slash == 0 ? 1 : slash);
  std::string base = slash == std::string::npos ? initialName : initialName.substr(slash + 1);
  if (save) {
    if (IsDirectory(folder)) gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), folder.c_str());
    if (!base.empty()) gtk_file_chooser_set_current_name(GTK_FILE_CHOOSER(chooser), base.c_str());
  } else if (IsRegularFile(initialName)) {
    gtk_file_chooser_set_filename(GTK_FILE_CHOOSER(chooser), initialName.c_str());
  } else if (IsDirectory(folder)) {
    gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), folder.c_str());
  }

  std::optional<std::string> result;
  if (gtk_dialog_run(GTK_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
    gchar* name = gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(chooser));
    if (name) result = std::string(name);
    g_free(name);
  }
  gtk_widget_destroy(chooser);
  return result;
}

void SetClipboardText(const std::string& text) {
  GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  gtk_clipboard_set_text(clipboard, text.c_str(), static_cast<gint>(text.size()));
  gtk_clipboard_set_can_store(clipboard, nullptr, 0);
}

bool StartProcess(const std::vector<std::string>& argv) {
  if (argv.empty()) return false;
  std::vector<gchar*> args;
  for (const std::string& a : argv) args.push_back(const_cast<gchar*>(a.c_str()));
  args.push_back(nullptr);
  // Without G_SPAWN_DO_NOT_REAP_CHILD GLib reaps the child itself: no zombie, no wait.
  GError* error = nullptr;
  gboolean ok = g_spawn_async(nullptr, args.data(), nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, &error);
  if (error) g_error_free(error);
  return ok;
}

gboolean OnTimer(gpointer data) {
  SendTimerEvent(GPOINTER_TO_INT(data));
  return G_SOURCE_CONTINUE;
}

void StopTimer(int timer) {
  auto it = g_timerSources.find(timer);
  if (it == g_timerSources.end()) return;
  // A GLib timeout has no queue of ticks: once removed, no tick of it arrives.
  g_source_remove(it->second);
  g_timerSources.erase(it);
}

void StartTimer(int timer, int intervalMs) {
  StopTimer(timer);
  g_timerSources[timer] = g_timeout_add(static_cast<guint>(intervalMs > 0 ? intervalMs : 1), OnTimer,
                                        GINT_TO_POINTER(timer));
}

void RequestCanvasRedraw() {
  GtkWidget* canvas = ControlWidget(GadgetCanvas);
  if (canvas) gtk_widget_queue_draw(canvas);
}

void FocusCanvas() {
  GtkWidget* canvas = ControlWidget(GadgetCanvas);
  if (canvas) gtk_widget_grab_focus(canvas);
}

// Everything that restoring the controls queued is handled here with the guard
// held, so none of it reaches the dispatch (an opened project stays unmodified).
void DiscardPendingEvents() {
  ProgramSideGuard guard;
  for (int i = 0; i < 10000 && gtk_events_pending(); ++i) gtk_main_iteration_do(FALSE);
}

void ShowHelpPopupMenu() {
  if (!g_helpMenu) return;
  GdkEvent* current = gtk_get_current_event();
  if (current) {
    gtk_menu_popup_at_pointer(GTK_MENU(g_helpMenu), current);
    gdk_event_free(current);
  } else if (g_helpMenuAnchor && gtk_widget_get_realized(g_helpMenuAnchor)) {
    gtk_menu_popup_at_widget(GTK_MENU(g_helpMenu), g_helpMenuAnchor, GDK_GRAVITY_SOUTH_WEST,
                             GDK_GRAVITY_NORTH_WEST, nullptr);
  }
}

void OnMenuItemActivate(GtkMenuItem*, gpointer data) { SendMenuEvent(static_cast<MenuItem>(GPOINTER_TO_INT(data))); }

void OnHelpMenuDestroyed(GtkWidget*, gpointer) {
  g_helpMenu = nullptr;
  g_helpMenuAnchor = nullptr;
}

gboolean OnShortcut(GtkAccelGroup*, GObject*, guint, GdkModifierType, gpointer data) {
  SendMenuEvent(static_cast<MenuItem>(GPOINTER_TO_INT(data)));
  return TRUE;
}

// "User guide\tF1": the part after the tab is the shortcut, shown right-aligned
// by GTK rather than as a tab character inside the label.
GtkWidget* NewMenuItem(const std::string& text, MenuItem item) {
  size_t tab = text.find('\t');
  GtkWidget* menuItem = gtk_menu_item_new_with_label(text.substr(0, tab).c_str());
  if (tab != std::string::npos) {
    guint key = 0;
    GdkModifierType modifiers = static_cast<GdkModifierType>(0);
    gtk_accelerator_parse(text.substr(tab + 1).c_str(), &key, &modifiers);
    GtkWidget* label = gtk_bin_get_child(GTK_BIN(menuItem));
    if (key != 0 && GTK_IS_ACCEL_LABEL(label)) gtk_accel_label_set_accel(GTK_ACCEL_LABEL(label), key, modifiers);
  }
  g_signal_connect(menuItem, "activate", G_CALLBACK(OnMenuItemActivate), GINT_TO_POINTER(static_cast<int>(item)));
  return menuItem;
}

}  // namespace

void InstallGtkServices() {
  Services& s = Svc();
  s.messageBox = MessageBox;
  s.askYesNo = AskYesNo;
  s.askYesNoCancel = AskYesNoCancel;
  s.saveRequester = [](const std::string& title, const std::string& name, const std::vector<FilePattern>& p) {
    return RunFileChooser(true, title, name, p);
  };
  s.openRequester = [](const std::string& title, const std::string& name, const std::vector<FilePattern>& p) {
    return RunFileChooser(false, title, name, p);
  };
  s.setClipboardText = SetClipboardText;
  s.startProcess = StartProcess;
  s.startTimer = StartTimer;
  s.stopTimer = StopTimer;
  s.requestCanvasRedraw = RequestCanvasRedraw;
  s.focusCanvas = FocusCanvas;
  s.discardPendingEvents = DiscardPendingEvents;
  s.showHelpPopupMenu = ShowHelpPopupMenu;
}

GtkWidget* BuildHelpPopupMenu(GtkWidget* mainWindow) {
  GtkWidget* menu = gtk_menu_new();
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), NewMenuItem(Tx(TextId::WinMainMenuUserGuide), MenuItem::Help));
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), NewMenuItem(Tx(TextId::WinMainMenuAbout), MenuItem::About));
  gtk_widget_show_all(menu);
  gtk_menu_attach_to_widget(GTK_MENU(menu), mainWindow, nullptr);
  g_signal_connect(menu, "destroy", G_CALLBACK(OnHelpMenuDestroyed), nullptr);
  g_helpMenu = menu;
  g_helpMenuAnchor = ControlWidget(GadgetToolHelp);
  return menu;
}

void AddMenuShortcut(GtkAccelGroup* group, guint key, GdkModifierType modifiers, int menuItem) {
  GClosure* closure = g_cclosure_new(G_CALLBACK(OnShortcut), GINT_TO_POINTER(menuItem), nullptr);
  gtk_accel_group_connect(group, key, modifiers, GTK_ACCEL_VISIBLE, closure);
}

void StopAllTimers() {
  for (const auto& [timer, source] : g_timerSources) g_source_remove(source);
  g_timerSources.clear();
}

void HandOverClipboard() { gtk_clipboard_store(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD)); }

}  // namespace kovrex
