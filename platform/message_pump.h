// The application object's part the core needs while it works: pumping the message queue during
// long operations, ending the message loop, and showing the model's state at once.
#pragma once

namespace dova {

class MessagePump {
 public:
  virtual ~MessagePump() = default;
  // Processes every pending window message, then returns (Application.ProcessMessages).
  virtual void ProcessMessages() = 0;
  // Asks the message loop to end (Application.Terminate); returns at once.
  virtual void Terminate() = 0;
  // Pushes the form model to the screen now (status text, tray image) without taking input.
  virtual void Repaint() = 0;
};

}  // namespace dova
