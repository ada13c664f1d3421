// The in-memory control back end and the active-store switch.
#include "app/control_store.h"

#include "app/controls.h"

namespace kovrex {
namespace {
MemoryControlStore& BuiltInStore() {
  static MemoryControlStore store;
  return store;
}
ControlStore* g_active = nullptr;
}  // namespace

ControlStore& Controls() { return g_active ? *g_active : BuiltInStore(); }
void SetActiveControlStore(ControlStore* store) { g_active = store; }

std::string MemoryControlStore::GetText(int control) const {
  auto it = controls_.find(control);
  if (it == controls_.end()) return "";
  const Control& c = it->second;
  if (ControlKindOf(control) == ControlKind::Combo) {
    if (c.state >= 0 && c.state < static_cast<int64_t>(c.items.size())) return c.items[c.state];
    return "";
  }
  return c.text;
}

void MemoryControlStore::SetText(int control, const std::string& text) { controls_[control].text = text; }

int64_t MemoryControlStore::GetState(int control) const {
  auto it = controls_.find(control);
  if (it == controls_.end()) {
    ControlKind k = ControlKindOf(control);
    return (k == ControlKind::ListView || k == ControlKind::Combo || k == ControlKind::EditableCombo) ? -1 : 0;
  }
  return it->second.state;
}

void MemoryControlStore::SetState(int control, int64_t state) {
  Control& c = controls_[control];
  c.state = state;
  // An editable combo shows the chosen entry's text, as the GTK one does.
  if (ControlKindOf(control) == ControlKind::EditableCombo && state >= 0 &&
      state < static_cast<int64_t>(c.items.size()))
    c.text = c.items[state];
}

void MemoryControlStore::ClearItems(int control) {
  Control& c = controls_[control];
  c.items.clear();
  ControlKind k = ControlKindOf(control);
  if (k == ControlKind::ListView || k == ControlKind::Combo || k == ControlKind::EditableCombo) c.state = -1;
}

void MemoryControlStore::AddItem(int control, const std::string& text) { controls_[control].items.push_back(text); }

int MemoryControlStore::CountItems(int control) const {
  auto it = controls_.find(control);
  return it == controls_.end() ? 0 : static_cast<int>(it->second.items.size());
}

std::string MemoryControlStore::GetItemText(int control, int index) const {
  auto it = controls_.find(control);
  if (it == controls_.end() || index < 0 || index >= static_cast<int>(it->second.items.size())) return "";
  return it->second.items[index];
}

void MemoryControlStore::SetEnabled(int control, bool enabled) { controls_[control].enabled = enabled; }

bool MemoryControlStore::IsEnabled(int control) const {
  auto it = controls_.find(control);
  return it == controls_.end() ? true : it->second.enabled;
}

void MemoryControlStore::SetBackgroundColour(int control, int r, int g, int b) {
  Control& c = controls_[control];
  c.background[0] = r;
  c.background[1] = g;
  c.background[2] = b;
}

void MemoryControlStore::GetSize(int control, int& width, int& height) const {
  auto it = controls_.find(control);
  width = it == controls_.end() ? 0 : it->second.width;
  height = it == controls_.end() ? 0 : it->second.height;
}

void MemoryControlStore::SetSize(int control, int width, int height) {
  controls_[control].width = width;
  controls_[control].height = height;
}

void MemoryControlStore::SetWindowTitle(int window, const std::string& title) { titles_[window] = title; }

std::string MemoryControlStore::GetWindowTitle(int window) const {
  auto it = titles_.find(window);
  return it == titles_.end() ? "" : it->second;
}

void MemoryControlStore::ShowWindow(int window, bool visible) { visible_[window] = visible; }

bool MemoryControlStore::IsWindowVisible(int window) const {
  auto it = visible_.find(window);
  return it != visible_.end() && it->second;
}

void MemoryControlStore::Clear() {
  controls_.clear();
  titles_.clear();
  visible_.clear();
}

}  // namespace kovrex
