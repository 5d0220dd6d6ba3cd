// The message box of fatal reports: a caption, a text and one OK button; the call
// returns when the player has closed it.
#pragma once

#include <string>
#include <vector>

namespace zt {

class MessageBox {
 public:
  virtual ~MessageBox() = default;
  virtual void Show(const std::string& caption, const std::string& text) = 0;
};

// Keeps the messages instead of showing them (a real box would block a test).
class RecordingMessageBox final : public MessageBox {
 public:
  struct Message {
    std::string Caption, Text;
  };
  void Show(const std::string& caption, const std::string& text) override { Shown.push_back({caption, text}); }
  std::vector<Message> Shown;
};

}  // namespace zt
