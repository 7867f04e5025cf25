#pragma once

#include <string>

namespace platform::ui {

// What a screen reader is told an object is.
enum class AccessibleRole {
  Label,        // a piece of text naming or explaining something
  StatusBar,    // a line reporting the state of the work under way
  ProgressBar,  // how far the work has come
};

// What a screen reader announces of a widget besides what it shows: its name, role and
// description. Each widget that has one hands it out with accessible().
class Accessible {
 public:
  virtual ~Accessible() = default;
  virtual void setName(const std::string& name) = 0;
  virtual std::string name() const = 0;
  virtual void setDescription(const std::string& description) = 0;
  virtual std::string description() const = 0;
  virtual void setRole(AccessibleRole role) = 0;
  virtual AccessibleRole role() const = 0;
};

}  // namespace platform::ui
