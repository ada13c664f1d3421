// The control layer: what the application logic may ask of a control, addressed
// by its number. Two back ends: MemoryControlStore (tests, headless use) and the
// GTK widgets (app/gtk). Setting a value from the program never raises an event.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace kovrex {

class ControlStore {
 public:
  virtual ~ControlStore() = default;

  // Entry, editable combo, text label, editor: the text. Combo: the selected
  // entry's text. Others: "".
  virtual std::string GetText(int control) const = 0;
  virtual void SetText(int control, const std::string& text) = 0;

  // Tab panel: page; combo, editable combo, list view: selected entry or row (-1:
  // none); check box: 0/1; track bar: position.
  virtual int64_t GetState(int control) const = 0;
  virtual void SetState(int control, int64_t state) = 0;

  // Entries of a combo or rows of a list view (a row's columns separated by '\n').
  virtual void ClearItems(int control) = 0;
  virtual void AddItem(int control, const std::string& text) = 0;
  virtual int CountItems(int control) const = 0;
  virtual std::string GetItemText(int control, int index) const = 0;

  virtual void SetEnabled(int control, bool enabled) = 0;
  virtual bool IsEnabled(int control) const = 0;

  // Background of a text line (the strength status line), RGB 0..255.
  virtual void SetBackgroundColour(int control, int r, int g, int b) = 0;

  // Size of a control in pixels (the canvas).
  virtual void GetSize(int control, int& width, int& height) const = 0;

  virtual void SetWindowTitle(int window, const std::string& title) = 0;
  virtual std::string GetWindowTitle(int window) const = 0;
  virtual void ShowWindow(int window, bool visible) = 0;
  virtual bool IsWindowVisible(int window) const = 0;
};

// The store that commands use. Never null: a MemoryControlStore until a front end
// installs its own.
ControlStore& Controls();
void SetActiveControlStore(ControlStore* store);  // nullptr: back to the built-in memory store

// Plain in-memory controls. Limits a track bar or combo state to nothing: callers
// that restore stored states clamp them themselves.
class MemoryControlStore : public ControlStore {
 public:
  struct Control {
    std::string text;
    int64_t state = 0;
    std::vector<std::string> items;
    bool enabled = true;
    int background[3] = {-1, -1, -1};
    int width = 0, height = 0;
  };

  std::string GetText(int control) const override;
  void SetText(int control, const std::string& text) override;
  int64_t GetState(int control) const override;
  void SetState(int control, int64_t state) override;
  void ClearItems(int control) override;
  void AddItem(int control, const std::string& text) override;
  int CountItems(int control) const override;
  std::string GetItemText(int control, int index) const override;
  void SetEnabled(int control, bool enabled) override;
  bool IsEnabled(int control) const override;
  void SetBackgroundColour(int control, int r, int g, int b) override;
  void GetSize(int control, int& width, int& height) const override;
  void SetWindowTitle(int window, const std::string& title) override;
  std::string GetWindowTitle(int window) const override;
  void ShowWindow(int window, bool visible) override;
  bool IsWindowVisible(int window) const override;

  // Test access.
  Control& Raw(int control) { return controls_[control]; }
  void SetSize(int control, int width, int height);
  void Clear();

 private:
  std::map<int, Control> controls_;
  std::map<int, std::string> titles_;
  std::map<int, bool> visible_;
};

}  // namespace kovrex
