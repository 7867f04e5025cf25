// The headless backend: used when no display can be opened. Interface resources are read from
// the same compiled-in GtkBuilder files as with the toolkit (parsed with GLib's markup parser,
// without initialising GTK); windows are never drawn, and a modal window or an alert writes its
// title and text to standard error and returns at once, since nobody could answer it.

#include <glib.h>

#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/GLibPtr.h"
#include "platform/ui/Application.h"
#include "platform/ui/Backend.h"
#include "platform/ui/headless/HeadlessWidgets.h"

namespace platform::ui::headless {

namespace {

// GtkBuilder's reading of a boolean property.
bool builderBoolean(const std::string& value) {
  const std::string v = value.empty() ? value : std::string(1, g_ascii_tolower(value[0]));
  return v == "t" || v == "y" || v == "1";
}

class HeadlessInterfaceResource : public InterfaceResource {
 public:
  // windowShown runs whenever one of the resource's windows is ordered front.
  explicit HeadlessInterfaceResource(std::function<void()> windowShown)
      : windowShown_(std::move(windowShown)) {}

  Window* window(const std::string& id) override { return find<Window>(id); }
  Button* button(const std::string& id) override { return find<Button>(id); }
  Label* label(const std::string& id) override { return find<Label>(id); }
  ProgressIndicator* progressIndicator(const std::string& id) override {
    return find<ProgressIndicator>(id);
  }
  TextView* textView(const std::string& id) override { return find<TextView>(id); }

  // Reads the GtkBuilder document; false when it is not well-formed.
  bool parse(const char* data, std::size_t size);

 private:
  // An <object> element being read.
  struct OpenObject {
    HeadlessObject* object = nullptr;  // null for classes that hold nothing we model
    std::string className;
  };

  template <typename T>
  T* find(const std::string& id) {
    auto it = byId_.find(id);
    return it == byId_.end() ? nullptr : dynamic_cast<T*>(it->second);
  }

  HeadlessObject* create(const std::string& className);
  void startElement(const char* name, const char** attributeNames, const char** attributeValues);
  void endElement(const char* name);
  void applyProperty(const std::string& name, const std::string& value);

  static void onStart(GMarkupParseContext*, const char* name, const char** attributeNames,
                      const char** attributeValues, gpointer self, GError**) {
    static_cast<HeadlessInterfaceResource*>(self)->startElement(name, attributeNames,
                                                                attributeValues);
  }
  static void onEnd(GMarkupParseContext*, const char* name, gpointer self, GError**) {
    static_cast<HeadlessInterfaceResource*>(self)->endElement(name);
  }
  static void onText(GMarkupParseContext*, const char* text, gsize length, gpointer self,
                     GError**) {
    auto* resource = static_cast<HeadlessInterfaceResource*>(self);
    if (resource->property_) resource->propertyValue_.append(text, length);
  }

  std::function<void()> windowShown_;
  std::vector<std::unique_ptr<HeadlessObject>> objects_;
  std::map<std::string, HeadlessObject*> byId_;

  std::vector<OpenObject> open_;
  std::vector<HeadlessWindow*> windows_;  // the windows enclosing the element being read
  int packingDepth_ = 0;                  // inside <packing>, properties belong to the parent
  std::optional<std::string> property_;   // the property being read
  std::string propertyValue_;
};

HeadlessObject* HeadlessInterfaceResource::create(const std::string& className) {
  std::unique_ptr<HeadlessObject> object;
  if (className == "GtkWindow" || className == "GtkDialog" || className == "GtkApplicationWindow") {
    object = std::make_unique<HeadlessWindow>(windowShown_);
  } else if (className == "GtkButton") {
    object = std::make_unique<HeadlessButton>();
  } else if (className == "GtkLabel") {
    object = std::make_unique<HeadlessLabel>();
  } else if (className == "GtkProgressBar") {
    object = std::make_unique<HeadlessProgressIndicator>();
  } else if (className == "GtkTextView") {
    object = std::make_unique<HeadlessTextView>();
  } else {
    return nullptr;
  }
  objects_.push_back(std::move(object));
  return objects_.back().get();
}

void HeadlessInterfaceResource::startElement(const char* name, const char** attributeNames,
                                             const char** attributeValues) {
  const std::string element = name;
  auto attribute = [&](const char* wanted) -> std::string {
    for (int i = 0; attributeNames[i] != nullptr; ++i) {
      if (std::string(attributeNames[i]) == wanted) return attributeValues[i];
    }
    return {};
  };

  if (element == "object") {
    OpenObject open{nullptr, attribute("class")};
    open.object = create(open.className);
    const std::string id = attribute("id");
    if (open.object != nullptr && !id.empty()) byId_[id] = open.object;
    if (auto* window = dynamic_cast<HeadlessWindow*>(open.object)) {
      windows_.push_back(window);
    } else if (auto* source = dynamic_cast<TextSource*>(open.object); source && !windows_.empty()) {
      windows_.back()->addTextSource(source);
    }
    open_.push_back(open);
  } else if (element == "packing") {
    ++packingDepth_;
  } else if (element == "property" && packingDepth_ == 0 && !open_.empty()) {
    property_ = attribute("name");
    propertyValue_.clear();
  }
}

void HeadlessInterfaceResource::endElement(const char* name) {
  const std::string element = name;
  if (element == "object" && !open_.empty()) {
    if (dynamic_cast<HeadlessWindow*>(open_.back().object) != nullptr) windows_.pop_back();
    open_.pop_back();
  } else if (element == "packing") {
    --packingDepth_;
  } else if (element == "property" && property_) {
    applyProperty(*property_, propertyValue_);
    property_.reset();
  }
}

void HeadlessInterfaceResource::applyProperty(const std::string& name, const std::string& value) {
  HeadlessObject* object = open_.back().object;
  if (auto* window = dynamic_cast<HeadlessWindow*>(object)) {
    if (name == "title") window->setTitle(value);
    if (name == "visible" && builderBoolean(value)) window->makeKeyAndOrderFront();
  } else if (auto* button = dynamic_cast<HeadlessButton*>(object)) {
    if (name == "label") button->setTitle(value);
    if (name == "sensitive") button->setEnabled(builderBoolean(value));
  } else if (auto* label = dynamic_cast<HeadlessLabel*>(object)) {
    if (name == "label") label->setText(value);
  } else if (auto* progress = dynamic_cast<HeadlessProgressIndicator*>(object)) {
    if (name == "fraction") progress->setDoubleValue(g_ascii_strtod(value.c_str(), nullptr) * 100);
  }
}

bool HeadlessInterfaceResource::parse(const char* data, std::size_t size) {
  static const GMarkupParser kParser = {onStart, onEnd, onText, nullptr, nullptr};
  // No flags (GLib names that value G_MARKUP_DEFAULT_FLAGS only from 2.74 on).
  GMarkupParseContextPtr context(
      g_markup_parse_context_new(&kParser, static_cast<GMarkupParseFlags>(0), this, nullptr));
  GError* rawError = nullptr;
  bool ok =
      g_markup_parse_context_parse(context.get(), data, static_cast<gssize>(size), &rawError) &&
      g_markup_parse_context_end_parse(context.get(), &rawError);
  GErrorPtr error(rawError);
  return ok;
}

class HeadlessBackend : public detail::Backend {
 public:
  explicit HeadlessBackend(std::string reason) : reason_(std::move(reason)) {}

  bool hasDisplay() const override { return false; }

  // The resource's windows must not outlive the backend.
  std::unique_ptr<InterfaceResource> load(std::string_view document) override {
    auto resource = std::make_unique<HeadlessInterfaceResource>([this] { tellReasonOnce(); });
    if (!resource->parse(document.data(), document.size())) return nullptr;
    return resource;
  }

  int runModalForWindow(Window& window) override {
    window.makeKeyAndOrderFront();
    auto* headless = dynamic_cast<HeadlessWindow*>(&window);
    writeToStandardError(window.title(), headless ? headless->contentText() : std::string());
    return kModalResponseAbort;
  }

  void stopModalWithCode(int) override {}

  void runAlertPanel(const std::string& title, const std::string& text,
                     const std::string&) override {
    tellReasonOnce();
    writeToStandardError(title, text);
  }

  bool writeScreenSnapshot(const std::string&) override { return false; }

 private:
  void tellReasonOnce() {
    if (reasonTold_) return;
    reasonTold_ = true;
    std::fprintf(stderr, "%s\n", reason_.c_str());
    std::fflush(stderr);
  }

  static void writeToStandardError(const std::string& title, const std::string& text) {
    std::fprintf(stderr, "%s\n%s\n", title.c_str(), text.c_str());
    std::fflush(stderr);
  }

  const std::string reason_;
  bool reasonTold_ = false;
};

}  // namespace

}  // namespace platform::ui::headless

namespace platform::ui::detail {

std::unique_ptr<Backend> makeHeadlessBackend(std::string reason) {
  return std::make_unique<headless::HeadlessBackend>(std::move(reason));
}

}  // namespace platform::ui::detail
