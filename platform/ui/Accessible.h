#pragma once

#include <string>

namespace platform::ui {

// What a screen reader is told an object is.
enum class AccessibleRole {
  Label,        // a piece of text naming or explaining something
  StatusBar,    // a line reporting the state of the work under way
  ProgressBar,  // how far the work has come
};

// An object a screen reader can announce by its name, role and description, besides what it
// shows.
class Accessible {
 public:
  virtual ~Accessible() = default;
  virtual void setAccessibleName(const std::string& name) = 0;
  virtual std::string accessibleName() const = 0;
  virtual void setAccessibleDescription(const std::string& description) = 0;
  virtual std::string accessibleDescription() const = 0;
  virtual void setAccessibleRole(AccessibleRole role) = 0;
  virtual AccessibleRole accessibleRole() const = 0;
};

}  // namespace platform::ui
