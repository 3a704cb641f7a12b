// Clipboard.Text as the program's code reads and writes it, and Edit > Copy held to the
// window's design: the design builds the text a row at a time (Cell(i, 1), ", ", Cell(i, 0)
// and Chr(13)) and sets it through Clipboard.Text; the command builds it from the rows' bytes
// in one go. The clipboard must hold the same text either way.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <string>
#include <vector>

#include "concordance_window/word_count_window.h"
#include "framework/clipboard.h"
#include "tests/concordance_window/results_view.h"

using namespace std::string_view_literals;

namespace {

// What other programs get: the clipboard's plain-text bytes.
std::string OfferedBytes() { return QGuiApplication::clipboard()->mimeData()->data("text/plain").toStdString(); }

// Each text is set and read back through Clipboard.Text, and offered to others as its UTF-8.
TEST(ClipboardText, ReadsBackExactlyWhatWasSet) {
  const std::vector<String> texts = {
      "", "the, 5\r", String(std::string(100, 'x')), "caf\xC3\xA9, 1\r", String("a\0b"sv),
      String::FromUtf8("na\xEFve, 2\r"),  // a byte that is not UTF-8 comes back as it went
  };
  for (const String& text : texts) {
    Clipboard clipboard;
    clipboard.SetText(text);
    clipboard.Close();
    EXPECT_EQ(Clipboard().Text(), text) << text.ToUtf8();
    EXPECT_EQ(OfferedBytes(), text.ToUtf8());
  }
}

TEST(ClipboardText, ReadsTextThatAnotherProgramSet) {
  QGuiApplication::clipboard()->setText(QString::fromUtf8("from elsewhere \xE2\x82\xAC"));
  EXPECT_EQ(Clipboard().Text().ToUtf8(), "from elsewhere \xE2\x82\xAC");
}

using CopyText = StartedProgram;

// The design's own row loop over the list as it stands, set through Clipboard.Text.
String CopiedRowByRow(Listbox& list) {
  String text;
  for (int32_t i = 0; i <= list.ListCount() - 1; ++i) text = text + list.Cell(i, 1) + ", " + list.Cell(i, 0) + Chr(13);
  Clipboard clipboard;
  clipboard.SetText(text);
  clipboard.Close();
  return Clipboard().Text();
}

// As File > Open leaves the rows, after sorts by either column, after cells were changed to
// text beyond ASCII, and for an empty list.
TEST_F(CopyText, CopyGivesTheTextOfTheRowLoopSetThroughClipboardText) {
  TempFolder folder;
  std::string text;
  for (int i = 0; i < 300; ++i) {
    text += 'w';
    text += static_cast<char>('a' + i % 26);
    text.append(static_cast<size_t>(i % 7), 'z').append(" ");
  }
  text += "The the THE cat Cat a\n";
  Window& window = OpenThroughDialog(folder.Write("words.txt", text));
  Activate(window);
  Listbox& list = TheWords(window);
  const auto expectSameCopy = [&](const char* step) {
    ASSERT_TRUE(ChooseMenuItem(Item("EditCopy"))) << step;
    const String copied = Clipboard().Text();
    const std::string offered = OfferedBytes();
    EXPECT_EQ(CopiedRowByRow(list), copied) << step;
    EXPECT_EQ(OfferedBytes(), offered) << step;
    EXPECT_EQ(Len(copied) > 0, list.ListCount() > 0) << step;
  };
  expectSameCopy("as opened");
  list.SortByHeading(1);
  expectSameCopy("by word");
  list.SortByHeading(0);
  list.SortByHeading(0);
  expectSameCopy("by count, descending");
  list.SetCell(2, 1, "caf\xC3\xA9");
  list.SetCell(3, 1, String::FromUtf8("na\xEFve"));
  list.SetCell(4, 0, "seven");
  expectSameCopy("after changes");

  Window& empty = OpenThroughDialog(folder.Write("empty.txt", ""));
  Activate(empty);
  ASSERT_TRUE(ChooseMenuItem(Item("EditCopy")));
  EXPECT_EQ(Clipboard().Text(), String());
  EXPECT_EQ(CopiedRowByRow(TheWords(empty)), String());
}

}  // namespace
