// The About window as a user meets it: opened by the About command, its four labels,
// the two that open the maker's pages when clicked, and closing it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCursor>
#include <QDesktopServices>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QObject>
#include <QTest>
#include <QUrl>

#include <string>
#include <vector>

#include "about_window/about_window.h"
#include "app/app.h"
#include "concordance_window/word_count_window.h"
#include "framework/controls.h"
#include "framework/runtime.h"
#include "tests/support/gui_test.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;

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
    QDesktopServices::setUrlHandler("http", &browser_, "Open");
  }
  void TearDown() override {
    QDesktopServices::unsetUrlHandler("https");
    QDesktopServices::unsetUrlHandler("http");
    StartedProgram::TearDown();
  }

  // Chooses About and returns the window it opened.
  static AboutWIndow& OpenAbout() {
    const std::vector<Window*> before = RuntimeOpenWindows();
    EXPECT_TRUE(ChooseMenuItem(Item("AboutMenuItem")));
    const std::vector<Window*> after = RuntimeOpenWindows();
    if (after.size() != before.size() + 1) throw std::runtime_error("About opened no window");
    return RuntimeCheckCast<AboutWIndow>(after.back());
  }

  UrlCatcher browser_;
};

TEST_F(AboutWindowTest, AboutOpensAFixedSizeWindowWithoutAMenuBarOfItsOwn) {
  AboutWIndow& about = OpenAbout();
  EXPECT_TRUE(about.IsVisible());
  EXPECT_EQ(about.Title().ToUtf8(), "About Quorvel");
  EXPECT_EQ(about.Width(), 327);
  EXPECT_EQ(about.Height(), 261);

  const Qt::WindowFlags flags = about.NativeWindow()->windowFlags();
  EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
  EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
  EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

  EXPECT_EQ(about.GetMenuBar(), nullptr);
  QWidget* menuBar = about.NativeWindow()->menuWidget();
  EXPECT_TRUE(menuBar == nullptr || !menuBar->isVisible());

  // The user cannot make it larger or smaller: the window itself is fixed, not only
  // what it shows.
  QMainWindow* native = about.NativeWindow();
  EXPECT_EQ(native->minimumSize(), native->maximumSize());
  native->resize(600, 500);
  ProcessEvents(20);
  EXPECT_EQ(about.Width(), 327);
  EXPECT_EQ(about.Height(), 261);
  EXPECT_EQ(native->size(), QSize(327, 261));
}

struct LabelRow {
  const char* name;
  QRect geometry;
  float textSize;
  bool wraps;
  const char* opens;  // nullptr: a click does nothing
};

class AboutLabel : public AboutWindowTest, public ::testing::WithParamInterface<LabelRow> {};

TEST_P(AboutLabel, StandsCentredAtItsPlaceInItsSizeAndAnswersAClick) {
  const LabelRow& row = GetParam();
  AboutWIndow& about = OpenAbout();
  StaticText& label = ControlNamed<StaticText>(about, row.name);
  QLabel* shown = label.NativeLabel();

  EXPECT_EQ(shown->geometry(), row.geometry);
  EXPECT_EQ(label.TextSize(), row.textSize);
  EXPECT_EQ(shown->font().pixelSize(), static_cast<int>(row.textSize));
  EXPECT_TRUE(shown->alignment().testFlag(Qt::AlignHCenter));
  EXPECT_EQ(shown->wordWrap(), row.wraps);
  EXPECT_TRUE(shown->isVisible());
  // Its text fits in it: nothing is cut off at the right or the bottom.
  if (row.wraps) {
    EXPECT_LE(shown->heightForWidth(shown->width()), shown->height());
  } else {
    EXPECT_LE(shown->fontMetrics().horizontalAdvance(shown->text()), shown->width());
    EXPECT_LE(shown->fontMetrics().height(), shown->height());
  }
  const bool isLink = row.opens != nullptr;
  EXPECT_EQ(shown->cursor().shape(), isLink ? Qt::PointingHandCursor : Qt::ArrowCursor);

  QTest::mouseClick(shown, Qt::LeftButton, {}, shown->rect().center());
  ProcessEvents();
  if (isLink) {
    EXPECT_THAT(browser_.urls, ElementsAre(row.opens));
  } else {
    EXPECT_THAT(browser_.urls, IsEmpty());
  }
  EXPECT_THAT(RuntimeOpenWindows(), ElementsAre(&about));
}

INSTANTIATE_TEST_SUITE_P(
    FourLabels, AboutLabel,
    ::testing::Values(LabelRow{"StaticText1", QRect(20, 14, 287, 20), 16.0f, false, nullptr},
                      LabelRow{"StaticText2", QRect(20, 57, 287, 142), 12.0f, true, nullptr},
                      LabelRow{"StaticText3", QRect(20, 198, 287, 20), 12.0f, false, "https://varnholt.example/"},
                      LabelRow{"StaticText4", QRect(20, 221, 287, 20), 12.0f, false,
                               "https://varnholt.example/software/"}),
    [](const ::testing::TestParamInfo<LabelRow>& info) { return std::string(info.param.name); });

TEST_F(AboutWindowTest, LabelsShowTheProductTheDescriptionTheCopyrightAndTheMaker) {
  AboutWIndow& about = OpenAbout();
  EXPECT_EQ(ControlNamed<StaticText>(about, "StaticText1").Text().ToUtf8(), "Varnholt Concordance v1.0");
  EXPECT_EQ(ControlNamed<StaticText>(about, "StaticText4").Text().ToUtf8(), "For more on Varnholt Software");

  const std::string copyright = ControlNamed<StaticText>(about, "StaticText3").Text().ToUtf8();
  EXPECT_EQ(copyright.rfind("\xC2\xA9", 0), 0u) << "begins with the copyright sign";
  EXPECT_THAT(copyright, ::testing::HasSubstr("Varnholt Software"));
  EXPECT_THAT(copyright, ::testing::ContainsRegex("[0-9][0-9][0-9][0-9]"));

  const std::string description = ControlNamed<StaticText>(about, "StaticText2").Text().ToUtf8();
  EXPECT_EQ(description,
            "Open a text file and Varnholt Concordance will give you the word count, the line count and the unique "
            "word count along with a list of words and how many time each was used.\r\r"
            "You can export this info in CSV (comma separated values) format or as a simple text file.");
  EXPECT_EQ(description.size(), 263u);
  // The two carriage returns show as a blank line between the paragraphs.
  const QString shown = ControlNamed<StaticText>(about, "StaticText2").NativeLabel()->text();
  EXPECT_EQ(shown.count("\n\n"), 1);
  EXPECT_TRUE(shown.contains("was used.\n\nYou can export"));
}

TEST_F(AboutWindowTest, EachAboutCommandOpensAnotherWindowWithItsOwnLabels) {
  AboutWIndow& first = OpenAbout();
  AboutWIndow& second = OpenAbout();
  EXPECT_NE(&first, &second);
  for (const char* name : {"StaticText1", "StaticText2", "StaticText3", "StaticText4"}) {
    EXPECT_NE(RuntimeWindowControlByName(first, name), RuntimeWindowControlByName(second, name)) << name;
  }

  Activate(second);
  EXPECT_TRUE(ChooseMenuItem(Item("FileClose")));
  ProcessEvents(20);
  ASSERT_THAT(RuntimeOpenWindows(), ElementsAre(&first));

  // The one left still works.
  QLabel* link = ControlNamed<StaticText>(first, "StaticText4").NativeLabel();
  QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
  EXPECT_THAT(browser_.urls, ElementsAre("https://varnholt.example/software/"));
}

TEST_F(AboutWindowTest, FileCloseRoutedToAnAboutWindowClosesOnlyIt) {
  WordCountWindow& results = RuntimeNewWindow<WordCountWindow>();
  AboutWIndow& about = OpenAbout();
  Activate(about);
  RunMenuEnablingPass();
  EXPECT_TRUE(Item("FileClose").Enabled());
  EXPECT_FALSE(Item("EditCopy").Enabled()) << "The About window serves File > Close only";

  EXPECT_TRUE(ChooseMenuItem(Item("FileClose")));
  ProcessEvents(20);
  EXPECT_THAT(RuntimeOpenWindows(), ElementsAre(&results));
}

}  // namespace

#include "about_window_test.moc"
