// The runtime's classes: the order and names in which start-up registers them, what each
// publishes and binds, and that the framework acts on those bindings and nothing else.

#include <gmock/gmock.h>

#include <string>
#include <utility>
#include <vector>

#include "about_window/about_window.h"
#include "app/app.h"
#include "app/concordance_menu_bar.h"
#include "app/startup.h"
#include "concordance_window/word_count_window.h"
#include "framework/checked_cast.h"
#include "framework/class_registry.h"
#include "framework/runtime.h"
#include "tests/support/gui_test.h"

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::Pair;

namespace {

class ClassRegistrationTest : public StartedProgram {};

std::vector<std::string> RegisteredNames() {
  std::vector<std::string> names;
  for (const RuntimeClass* runtimeClass : RuntimeRegisteredClasses()) names.push_back(runtimeClass->name);
  return names;
}

const RuntimeClass& ClassNamed(std::string_view name) {
  const RuntimeClass* runtimeClass = RuntimeClassNamed(name);
  if (runtimeClass == nullptr) throw std::runtime_error("not registered: " + std::string(name));
  return *runtimeClass;
}

std::vector<std::pair<std::string, std::string>> Methods(std::string_view className) {
  std::vector<std::pair<std::string, std::string>> methods;
  for (const PublishedMethod& method : ClassNamed(className).methods) methods.emplace_back(method.name, method.signature);
  return methods;
}

std::vector<std::pair<std::string, std::string>> Bindings(std::string_view className) {
  std::vector<std::pair<std::string, std::string>> bindings;
  for (const EventBinding& binding : ClassNamed(className).bindings) bindings.emplace_back(binding.event, binding.method);
  return bindings;
}

TEST_F(ClassRegistrationTest, FrameworkClassesFirstThenTheProgramsFourInTheirOrderEachOnce) {
  RegisterClasses();  // a second run registers nothing again
  EXPECT_THAT(RegisteredNames(),
              ElementsAre("Object", "Application", "Window", "Control", "RectControl", "Listbox", "StaticText",
                          "MenuItem", "MenuBar", "QuitMenuItem", "AppleMenuItem", "FolderItem", "TextInputStream",
                          "TextOutputStream", "Dictionary", "Clipboard", "FileType", "RuntimeException", "IOException",
                          "WordCountWindow.WordCountWindow", "App", "ConcordanceMenuBar.ConcordanceMenuBar",
                          "AboutWIndow.AboutWIndow"));
  EXPECT_THROW(App::RegisterClass(), RuntimeException);
  EXPECT_TRUE(RuntimePluginEntrypoints().empty());
}

// A class used before its turn is registered then, and its turn at start-up passes it by.
TEST(ClassRegistrationOrder, AClassUsedBeforeItsTurnIsRegisteredOnceThen) {
  static int argc = 1;
  static char name[] = "concordance-tests";
  static char* argv[] = {name, nullptr};
  RuntimeInit(argc, argv, kRuntimeOptions);
  RuntimeClassFor<AboutWIndow>();
  RegisterClasses();
  const std::vector<std::string> names = RegisteredNames();
  EXPECT_THAT(std::vector<std::string>(names.end() - 4, names.end()),
              ElementsAre("AboutWIndow.AboutWIndow", "WordCountWindow.WordCountWindow", "App",
                          "ConcordanceMenuBar.ConcordanceMenuBar"));
  EXPECT_EQ(names.size(), 23u);
  RuntimeExit();
}

TEST_F(ClassRegistrationTest, EachClassNamesItsBase) {
  EXPECT_EQ(ClassNamed("App").baseName, "Application");
  EXPECT_EQ(ClassNamed("ConcordanceMenuBar.ConcordanceMenuBar").baseName, "MenuBar");
  EXPECT_EQ(ClassNamed("WordCountWindow.WordCountWindow").baseName, "Window");
  EXPECT_EQ(ClassNamed("AboutWIndow.AboutWIndow").baseName, "Window");
  EXPECT_EQ(&RuntimeClassOf(App()), &ClassNamed("App"));
}

TEST_F(ClassRegistrationTest, PublishedMethodsInTheirOrderWithTheirSignatures) {
  EXPECT_THAT(Methods("App"), ElementsAre(Pair("Event_EnableMenuItems", "(  )"), Pair("_FileOpen_Action", "(  ) as Boolean"),
                                          Pair("_AboutMenuItem_Action", "(  ) as Boolean"),
                                          Pair("GetWord", "( String, ByRef Int32 ) as String")));
  EXPECT_THAT(Methods("ConcordanceMenuBar.ConcordanceMenuBar"),
              ElementsAre(Pair("Untitled0", "(  )"), Pair("Untitled1", "(  )"), Pair("Constructor", "(  )")));
  EXPECT_THAT(Methods("AboutWIndow.AboutWIndow"),
              ElementsAre(Pair("Layout", "(  )"), Pair("CreateControls", "(  )"), Pair("_CreateControls0", "(  )"),
                          Pair("StaticText3_MouseDown", "( Int32, Int32 ) as Boolean"),
                          Pair("StaticText4_MouseDown", "( Int32, Int32 ) as Boolean"),
                          Pair("AddMenuHandlers", "( Window )"), Pair("Event_EnableMenuItems", "(  )"),
                          Pair("_FileClose_Action", "(  ) as Boolean")));

  const std::vector<std::pair<std::string, std::string>> resultsWindow = {
      {"Layout", "(  )"},
      {"CreateControls", "(  )"},
      {"_CreateControls0", "(  )"},
      {"theWords_CompareRows", "( Int32, Int32, Int32, ByRef Int32 ) as Boolean"},
      {"EditMenu", "(  ) as MenuItem"},
      {"EditSelectAll", "(  ) as MenuItem"},
      {"EditClear", "(  ) as MenuItem"},
      {"EditPaste", "(  ) as MenuItem"},
      {"EditCopy", "(  ) as MenuItem"},
      {"EditCut", "(  ) as MenuItem"},
      {"EditUndo", "(  ) as MenuItem"},
      {"FileMenu", "(  ) as MenuItem"},
      {"AboutMenuItem", "(  ) as AppleMenuItem"},
      {"FileQuit", "(  ) as QuitMenuItem"},
      {"FileSaveAsText", "(  ) as MenuItem"},
      {"FileSaveAsCSV", "(  ) as MenuItem"},
      {"UntitledSeparator", "(  ) as MenuItem"},
      {"FileClose", "(  ) as MenuItem"},
      {"FileOpen", "(  ) as MenuItem"},
      {"AddMenuHandlers", "( Window )"},
      {"Event_EnableMenuItems", "(  )"},
      {"_FileClose_Action", "(  ) as Boolean"},
      {"_EditCopy_Action", "(  ) as Boolean"},
      {"_FileSaveAsCSV_Action", "(  ) as Boolean"},
      {"_FileSaveAsText_Action", "(  ) as Boolean"},
  };
  EXPECT_THAT(Methods("WordCountWindow.WordCountWindow"), ElementsAreArray(resultsWindow));

  // Every method is public; only the control-building step is hidden from introspection.
  for (std::string_view className : {"WordCountWindow.WordCountWindow", "AboutWIndow.AboutWIndow"}) {
    for (const PublishedMethod& method : ClassNamed(className).methods) {
      EXPECT_EQ(method.scope == MethodScope::kPublicHidden, method.name == "_CreateControls0") << method.name;
    }
  }
  EXPECT_EQ(ClassNamed("WordCountWindow.WordCountWindow").controls.size(), 3u);
}

TEST_F(ClassRegistrationTest, EventBindings) {
  EXPECT_THAT(Bindings("App"), ElementsAre(Pair("EnableMenuItems", "Event_EnableMenuItems")));
  EXPECT_TRUE(Bindings("ConcordanceMenuBar.ConcordanceMenuBar").empty());
  for (std::string_view window : {"WordCountWindow.WordCountWindow", "AboutWIndow.AboutWIndow"}) {
    EXPECT_THAT(Bindings(window), ElementsAre(Pair("Layout", "Layout"), Pair("CreateControls", "CreateControls"),
                                              Pair("AddMenuHandlers", "AddMenuHandlers"),
                                              Pair("EnableMenuItems", "Event_EnableMenuItems")));
  }
}

TEST_F(ClassRegistrationTest, AFailedCastNamesBothClassesAsRegistered) {
  Window& about = RuntimeNewWindow<AboutWIndow>();
  try {
    RuntimeCheckCast<WordCountWindow>(about);
    FAIL() << "The cast succeeded";
  } catch (const RuntimeException& error) {
    EXPECT_THAT(error.what(), HasSubstr("AboutWIndow.AboutWIndow"));
    EXPECT_THAT(error.what(), HasSubstr("WordCountWindow.WordCountWindow"));
  }
}

// A window class of the test's own: it binds CreateControls but not Layout, so the framework
// must run the one and never the other, and it declares a control it may or may not create.
class PartlyBoundWindow : public Window {
 public:
  static void RegisterClass() {
    ClassRegistration<PartlyBoundWindow>("PartlyBoundWindow", "Window")
        .Publish("Layout", &PartlyBoundWindow::Layout)
        .Publish("CreateControls", &PartlyBoundWindow::CreateControls)
        .Bind("CreateControls", "CreateControls", &PartlyBoundWindow::CreateControls)
        .DeclareControl("Label", "StaticText")
        .Register();
  }
  static inline bool createLabel = true;
  static inline std::vector<std::string> calls;
  virtual void Layout() { calls.push_back("Layout"); }
  virtual void CreateControls() {
    calls.push_back("CreateControls");
    if (createLabel) _AddControl("Label", std::make_unique<StaticText>());
  }
  bool NotPublished() { return true; }
};

TEST_F(ClassRegistrationTest, TheFrameworkRaisesAWindowsEventsOnlyThroughItsBindings) {
  PartlyBoundWindow::calls.clear();
  PartlyBoundWindow::createLabel = true;
  RuntimeNewWindow<PartlyBoundWindow>();
  EXPECT_THAT(PartlyBoundWindow::calls, ElementsAre("CreateControls"));

  // A window without a control that its class declares is not built.
  PartlyBoundWindow::createLabel = false;
  const size_t openBefore = RuntimeOpenWindows().size();
  EXPECT_THROW(RuntimeNewWindow<PartlyBoundWindow>(), RuntimeException);
  EXPECT_EQ(RuntimeOpenWindows().size(), openBefore);
}

TEST_F(ClassRegistrationTest, OnlyPublishedMethodsBecomeHandlersAndOnlyDeclaredEventsAreBound) {
  auto& window = RuntimeNewWindow<WordCountWindow>();
  EXPECT_TRUE(RuntimeCreateDelegate(&WordCountWindow::_FileClose_Action, window)());
  EXPECT_FALSE(window.IsOpen());

  PartlyBoundWindow::createLabel = true;
  auto& partly = RuntimeNewWindow<PartlyBoundWindow>();
  EXPECT_THROW(RuntimeCreateDelegate(&PartlyBoundWindow::NotPublished, partly), RuntimeException);
  EXPECT_THROW(RuntimeRaiseEvent(partly, "NoSuchEvent"), RuntimeException);

  struct Stray : Window {
    void Hook() {}
  };
  ClassRegistration<Stray> bindsAnUndeclaredEvent("Stray", "Window");
  bindsAnUndeclaredEvent.Publish("Hook", &Stray::Hook).Bind("Paste", "Hook", &Stray::Hook);
  EXPECT_THROW(bindsAnUndeclaredEvent.Register(), RuntimeException);
  EXPECT_THROW(ClassRegistration<Stray>("Stray", "NoSuchBase").Register(), RuntimeException);
}

TEST_F(ClassRegistrationTest, TheApplicationsItemAccessorsFindTheItemsTheWindowsFind) {
  auto& window = RuntimeNewWindow<WordCountWindow>();
  EXPECT_EQ(&FileOpen(), &window.FileOpen());
  EXPECT_EQ(&FileClose(), &window.FileClose());
  EXPECT_EQ(&AboutMenuItem(), &window.AboutMenuItem());
}

}  // namespace
