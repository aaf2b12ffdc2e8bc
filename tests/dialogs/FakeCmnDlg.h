// A host and a platform for the dialog control that record what they are
// asked and answer as a test tells them.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "dialogs/CmnDlg.h"

namespace quibex::test {

class RecordingHost : public CmnDlgHost {
 public:
  WindowHandle owner = 0x5150;
  bool ownerFails = false, notifyFails = false;
  std::vector<std::string> changes;
  std::int32_t width = 0, height = 0;

  WindowHandle OwnerWindow() override {
    if (ownerFails) throw std::runtime_error("no owner window");
    return owner;
  }
  void PropertyChanged(std::string_view name) override {
    changes.emplace_back(name);
    if (notifyFails) throw std::runtime_error("notification refused");
  }
  void SetSize(std::int32_t w, std::int32_t h) override { width = w, height = h; }
};

class FakePlatform : public CmnDlgPlatform {
 public:
  std::vector<std::string> calls;  // one name per call
  bool fails = false;              // every call throws
  std::optional<FileDialogRequest> fileRequest;
  std::function<bool(FileDialogRequest&)> fileAnswer = [](FileDialogRequest&) { return false; };
  std::optional<std::string> browseAnswer;
  std::optional<std::int32_t> colorAnswer;
  CodePage codePage;  // single-byte unless a test sets one

  bool RunFileDialog(FileDialogKind kind, FileDialogRequest& request) override {
    Call(kind == FileDialogKind::Open ? "open" : "save");
    fileRequest = request;
    return fileAnswer(request);
  }
  std::int32_t RunShellVerb(WindowHandle, std::string_view, std::string_view, std::string_view, std::string_view,
                            std::int32_t) override {
    return Call("shell"), 42;
  }
  std::optional<std::string> BrowseForFolder(const BrowseRequest&) override { return Call("browse"), browseAnswer; }
  std::optional<std::int32_t> PickColor(WindowHandle, std::int32_t) override { return Call("color"), colorAnswer; }
  void StartProcess(const std::string& line, std::int32_t state) override {
    Call("start " + line + " /" + std::to_string(state));
  }
  const CodePage& TextCodePage() override { return codePage; }

 private:
  void Call(const std::string& name) {
    calls.push_back(name);
    if (fails) throw std::runtime_error("platform unavailable");
  }
};

}  // namespace quibex::test
