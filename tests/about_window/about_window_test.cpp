// The About window as a user meets it: opened by the About command, its four labels and
// the two that open the maker's pages when clicked.

#include <gmock/gmock.h>

#include <QDesktopServices>
#include <QFontInfo>
#include <QLabel>
#include <QMainWindow>
#include <QTest>
#include <QUrl>

#include "about_window/about_window.h"
#include "framework/checked_cast.h"
#include "framework/controls.h"
#include "framework/runtime.h"
#include "tests/support/gui_test.h"

using ::testing::ElementsAre;

// Stands in for the browser: records every web address handed to the desktop.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  std::vector<std::string> urls;

 public slots:
  void Open(const QUrl& url) { urls.push_back(url.toString().toStdString()); }
};

namespace {

class AboutWindowTest : public StartedProgram {
 protected:
  void SetUp() override {
    StartedProgram::SetUp();
    QDesktopServices::setUrlHandler("https", &browser_, "Open");
  }
  void TearDown() override {
    QDesktopServices::unsetUrlHandler("https");
    StartedProgram::TearDown();
  }

  // Chooses About and returns the window it opened.
  static AboutWIndow& OpenAbout() {
    EXPECT_TRUE(ChooseMenuItem(Item("AboutMenuItem")));
    if (RuntimeOpenWindows().empty()) throw std::runtime_error("About opened no window");
    return RuntimeCheckCast<AboutWIndow>(RuntimeOpenWindows().back());
  }

  UrlCatcher browser_;
};

TEST_F(AboutWindowTest, AboutOpensAFixedSizeWindowWithoutAMenuBarOfItsOwn) {
  AboutWIndow& about = OpenAbout();
  EXPECT_EQ(about.NativeWindow()->windowTitle(), "About Quorvel");
  QWidget* menuBar = about.NativeWindow()->menuWidget();
  EXPECT_TRUE(menuBar == nullptr || !menuBar->isVisible());
  // The user cannot make it larger or smaller.
  about.NativeWindow()->resize(600, 500);
  ProcessEvents(20);
  EXPECT_EQ(about.NativeWindow()->size(), QSize(327, 261));
}

// Every About command opens one more window, with labels of its own; File > Close closes
// the active one only, and the other goes on working.
TEST_F(AboutWindowTest, TwoAboutCommandsOpenTwoWindowsAndClosingOneLeavesTheOther) {
  AboutWIndow& first = OpenAbout();
  AboutWIndow& second = OpenAbout();
  ASSERT_THAT(RuntimeOpenWindows(), ElementsAre(&first, &second));
  for (const char* name : {"StaticText1", "StaticText2", "StaticText3", "StaticText4"}) {
    QLabel* inFirst = ControlNamed<StaticText>(first, name).NativeLabel();
    QLabel* inSecond = ControlNamed<StaticText>(second, name).NativeLabel();
    EXPECT_EQ(inFirst->window(), first.NativeWindow()) << name;
    EXPECT_EQ(inSecond->window(), second.NativeWindow()) << name;
    EXPECT_EQ(inFirst->text(), inSecond->text()) << name;
  }

  Activate(second);
  EXPECT_TRUE(ChooseMenuItem(Item("FileClose")));
  ProcessEvents();
  EXPECT_THAT(RuntimeOpenWindows(), ElementsAre(&first));
  QLabel* link = ControlNamed<StaticText>(first, "StaticText4").NativeLabel();
  EXPECT_TRUE(link->isVisible());
  QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
  EXPECT_EQ(browser_.urls, std::vector<std::string>{AboutWIndow::kSoftwarePage});
  Activate(first);
  EXPECT_TRUE(ChooseMenuItem(Item("FileClose")));
  ProcessEvents();
  EXPECT_THAT(RuntimeOpenWindows(), ::testing::IsEmpty());
}

struct LabelRow {
  const char* name;
  const char* text;   // as shown: the description's two carriage returns make a blank line
  const char* opens;  // nullptr: a click does nothing
  int textSize;
};

// Names the row in test listings by its label, not by its bytes.
void PrintTo(const LabelRow& row, std::ostream* out) { *out << row.name; }

class AboutLabel : public AboutWindowTest, public ::testing::WithParamInterface<LabelRow> {};

TEST_P(AboutLabel, ShowsItsWholeTextAndAnswersAClick) {
  const LabelRow& row = GetParam();
  AboutWIndow& about = OpenAbout();
  QLabel* shown = ControlNamed<StaticText>(about, row.name).NativeLabel();
  EXPECT_EQ(shown->text().toStdString(), row.text);
  EXPECT_TRUE(shown->isVisible());
  // Nothing is cut off at the right or the bottom.
  if (shown->wordWrap()) {
    EXPECT_LE(shown->heightForWidth(shown->width()), shown->height());
  } else {
    EXPECT_LE(shown->fontMetrics().horizontalAdvance(shown->text()), shown->width());
    EXPECT_LE(shown->fontMetrics().height(), shown->height());
  }
  EXPECT_EQ(shown->cursor().shape(), row.opens != nullptr ? Qt::PointingHandCursor : Qt::ArrowCursor);

  QTest::mouseClick(shown, Qt::LeftButton, {}, shown->rect().center());
  ProcessEvents();
  EXPECT_EQ(browser_.urls, row.opens != nullptr ? std::vector<std::string>{row.opens} : std::vector<std::string>{});
  EXPECT_THAT(RuntimeOpenWindows(), ElementsAre(&about));
}

// Sizes are points of a 72-dpi screen, one a pixel: the font drawn, not only the number kept.
TEST_P(AboutLabel, IsShownAtItsTextSize) {
  QLabel* shown = ControlNamed<StaticText>(OpenAbout(), GetParam().name).NativeLabel();
  EXPECT_EQ(shown->font().pixelSize(), GetParam().textSize);
  EXPECT_EQ(QFontInfo(shown->font()).pixelSize(), GetParam().textSize);
}

INSTANTIATE_TEST_SUITE_P(
    FourLabels, AboutLabel,
    ::testing::Values(
        LabelRow{"StaticText1", "Varnholt Concordance v1.0", nullptr, 16},
        LabelRow{"StaticText2",
                 "Open a text file and Varnholt Concordance will give you the word count, the line count and the unique "
                 "word count along with a list of words and how many time each was used.\n\nYou can export this info "
                 "in CSV (comma separated values) format or as a simple text file.",
                 nullptr, 12},
        LabelRow{"StaticText3", "\xC2\xA9 2026 Varnholt Software", "https://varnholt.example/", 12},
        LabelRow{"StaticText4", "For more on Varnholt Software", "https://varnholt.example/software/", 12}),
    [](const ::testing::TestParamInfo<LabelRow>& info) { return std::string(info.param.name); });

}  // namespace

#include "about_window_test.moc"
