// Behaviour of the platform::ui classes that both backends share. This file is built into a
// headless test program and into one run under Xvfb with the GTK backend.
#include <gtest/gtest.h>

#include <string>

#include "platform/ui/Application.h"
#include "platform/ui/InterfaceResource.h"
#include "tests/support/MainLoop.h"
#include "tests/support/TextRuns.h"

namespace {

using platform::ui::Application;
using platform::ui::AttributedString;
using platform::ui::InterfaceResource;
using testsupport::link;
using testsupport::plain;
using testsupport::runLater;
using testsupport::runMainLoopUntil;

TEST(InterfaceResource, MainInterfaceHasTheProgressWindowOutlets) {
  auto resource = InterfaceResource::load("MainInterface");
  ASSERT_NE(resource, nullptr);
  auto* window = resource->window("progressWindow");
  auto* bar = resource->progressIndicator("progressBar");
  auto* label = resource->label("pleaseWaitLabel");
  auto* cancel = resource->button("cancelButton");
  ASSERT_NE(window, nullptr);
  ASSERT_NE(bar, nullptr);
  ASSERT_NE(label, nullptr);
  ASSERT_NE(cancel, nullptr);

  EXPECT_FALSE(window->isVisible()) << "the progress window waits for the first download";
  EXPECT_EQ(bar->doubleValue(), 0.0);
  EXPECT_EQ(label->text(), "Please wait.");
  EXPECT_EQ(cancel->title(), "Cancel");
  EXPECT_FALSE(cancel->isEnabled()) << "Cancel is enabled only while a download runs";
}

TEST(InterfaceResource, LookupsAreByIdentifierAndKind) {
  auto resource = InterfaceResource::load("MainInterface");
  ASSERT_NE(resource, nullptr);
  EXPECT_EQ(resource->button("progressWindow"), nullptr);
  EXPECT_EQ(resource->window("cancelButton"), nullptr);
  EXPECT_EQ(resource->textView("pleaseWaitLabel"), nullptr);
  EXPECT_EQ(resource->window("noSuchWindow"), nullptr);
  EXPECT_EQ(resource->window("progressWindow"), resource->window("progressWindow"))
      << "one object per identifier";
  EXPECT_EQ(InterfaceResource::load("NoSuchInterface"), nullptr);
}

TEST(InterfaceResource, EveryLoadMakesItsOwnObjects) {
  auto first = InterfaceResource::load("MainInterface");
  auto second = InterfaceResource::load("MainInterface");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  first->label("pleaseWaitLabel")->setText("first");
  EXPECT_EQ(second->label("pleaseWaitLabel")->text(), "Please wait.");
}

TEST(Widgets, RecordWhatTheProgramSets) {
  auto resource = InterfaceResource::load("MainInterface");
  ASSERT_NE(resource, nullptr);
  auto* window = resource->window("progressWindow");
  auto* bar = resource->progressIndicator("progressBar");
  auto* label = resource->label("pleaseWaitLabel");
  auto* cancel = resource->button("cancelButton");

  window->setTitle("Installing Fôo");
  EXPECT_EQ(window->title(), "Installing Fôo");
  window->makeKeyAndOrderFront();
  EXPECT_TRUE(window->isVisible());
  window->close();
  EXPECT_FALSE(window->isVisible());
  window->makeKeyAndOrderFront();
  EXPECT_TRUE(window->isVisible()) << "a closed window can be shown again";
  window->close();

  label->setText("Bitte warten.");
  EXPECT_EQ(label->text(), "Bitte warten.");
  cancel->setTitle("Abbrechen");
  EXPECT_EQ(cancel->title(), "Abbrechen");
  cancel->setEnabled(true);
  EXPECT_TRUE(cancel->isEnabled());

  for (double value : {0.0, 42.5, 100.0, 150.0, -3.0}) {
    bar->setDoubleValue(value);
    EXPECT_EQ(bar->doubleValue(), value) << "the value is kept as given, even off the scale";
  }
}

TEST(Widgets, ProgressWindowCarriesAStatusLineAndAccessibleNames) {
  using platform::ui::AccessibleRole;
  auto resource = InterfaceResource::load("MainInterface");
  ASSERT_NE(resource, nullptr);
  auto* bar = resource->progressIndicator("progressBar");
  auto* line = resource->label("statusLabel");
  ASSERT_NE(line, nullptr) << "the status line under the bar";
  EXPECT_EQ(line->text(), "");
  EXPECT_EQ(bar->accessible().role(), AccessibleRole::ProgressBar);

  line->accessible().setRole(AccessibleRole::StatusBar);
  line->accessible().setName("Downloadstatus");
  bar->accessible().setName("Downloadfortschritt");
  bar->accessible().setDescription("12,4 MB von 48,0 MB");
  EXPECT_EQ(line->accessible().role(), AccessibleRole::StatusBar);
  EXPECT_EQ(line->accessible().name(), "Downloadstatus");
  EXPECT_EQ(bar->accessible().name(), "Downloadfortschritt");
  EXPECT_EQ(bar->accessible().description(), "12,4 MB von 48,0 MB");

  bar->setDoubleValue(30.0);
  bar->setIndeterminate(true);
  EXPECT_TRUE(bar->isIndeterminate());
  bar->setIndeterminate(false);
  EXPECT_FALSE(bar->isIndeterminate());
  EXPECT_EQ(bar->doubleValue(), 30.0);
}

TEST(Widgets, ClosingFromTheFrameRunsTheCloseActionInsteadOfHiding) {
  auto resource = InterfaceResource::load("MainInterface");
  ASSERT_NE(resource, nullptr);
  auto* window = resource->window("progressWindow");
  window->makeKeyAndOrderFront();
  int requests = 0;
  window->setCloseAction([&] { ++requests; });
  window->performClose();
  // The toolkit delivers a close request from the main loop, as a window manager's would.
  EXPECT_TRUE(runMainLoopUntil([&] { return requests == 1; }));
  EXPECT_TRUE(window->isVisible()) << "the action decides; it did not close the window";

  window->setCloseAction(nullptr);
  window->performClose();
  EXPECT_TRUE(runMainLoopUntil([&] { return !window->isVisible(); }))
      << "without an action: hidden";
  EXPECT_EQ(requests, 1);
}

TEST(Widgets, ButtonRunsItsActionOnlyWhenEnabled) {
  auto resource = InterfaceResource::load("MainInterface");
  ASSERT_NE(resource, nullptr);
  auto* cancel = resource->button("cancelButton");
  int clicks = 0;
  cancel->setAction([&] { ++clicks; });

  cancel->setEnabled(false);
  cancel->performClick();
  EXPECT_EQ(clicks, 0) << "a disabled button does nothing";

  cancel->setEnabled(true);
  cancel->performClick();
  cancel->performClick();
  EXPECT_EQ(clicks, 2);

  cancel->setAction(nullptr);
  cancel->performClick();
  EXPECT_EQ(clicks, 2) << "no action, nothing runs";
}

TEST(Widgets, TextViewHoldsAttributedRuns) {
  auto resource = InterfaceResource::load("ErrorDialog");
  ASSERT_NE(resource, nullptr);
  auto* view = resource->textView("textView");
  ASSERT_NE(view, nullptr);

  AttributedString given;
  given.runs = {plain("Voir "),
                plain(""),
                link("la page", "https://a.example/x?y=1&z='2'"),
                plain(""),
                link("une autre", "https://b.example/"),
                plain(" et "),
                plain("fin — 終わり.")};
  view->setAttributedText(given);

  const AttributedString expected{{plain("Voir "), link("la page", "https://a.example/x?y=1&z='2'"),
                                   link("une autre", "https://b.example/"),
                                   plain(" et fin — 終わり.")}};
  EXPECT_EQ(view->attributedText(), expected)
      << "empty runs add nothing and neighbours with equal attributes join";
  EXPECT_EQ(view->attributedText().string(), "Voir la pageune autre et fin — 終わり.");

  view->setAttributedText(AttributedString{{plain("again")}});
  EXPECT_EQ(view->attributedText(), AttributedString{{plain("again")}})
      << "new text replaces the old, links included";
  view->setAttributedText(AttributedString{});
  EXPECT_TRUE(view->attributedText().runs.empty());
}

TEST(Application, ModalLoopRunsUntilStoppedOrReturnsAtOnceHeadless) {
  auto resource = InterfaceResource::load("ErrorDialog");
  ASSERT_NE(resource, nullptr);
  auto* window = resource->window("errorDialog");
  ASSERT_NE(window, nullptr);
  window->setTitle("Install Foo");
  resource->textView("textView")
      ->setAttributedText(AttributedString{
          {plain("Something failed. See "), link("this page", "https://x.example/")}});

  Application& application = Application::shared();
  // Stopping when no loop runs is harmless and does not end the next loop early.
  application.stopModalWithCode(5);

  if (application.hasDisplay()) {
    bool stopped = false;
    runLater(50, [&] {
      stopped = true;
      application.stopModalWithCode(7);
    });
    EXPECT_EQ(application.runModalForWindow(*window), 7);
    EXPECT_TRUE(stopped);
  } else {
    testing::internal::CaptureStderr();
    EXPECT_EQ(application.runModalForWindow(*window), platform::ui::kModalResponseAbort);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Install Foo\nSomething failed. See this page <https://x.example/>\n");
  }
  EXPECT_TRUE(window->isVisible()) << "the window stays up after its modal loop";
}

TEST(Application, ModalLoopsNest) {
  Application& application = Application::shared();
  if (!application.hasDisplay()) GTEST_SKIP() << "headless modal loops do not wait";
  auto outer = InterfaceResource::load("ErrorDialog");
  auto inner = InterfaceResource::load("ErrorDialog");
  int innerResult = 0;
  runLater(20, [&] {
    runLater(20, [&] { application.stopModalWithCode(2); });
    innerResult = application.runModalForWindow(*inner->window("errorDialog"));
    application.stopModalWithCode(1);
  });
  EXPECT_EQ(application.runModalForWindow(*outer->window("errorDialog")), 1);
  EXPECT_EQ(innerResult, 2);
}

}  // namespace
