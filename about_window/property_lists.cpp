#include "about_window/property_lists.h"

#include <limits>

#include "framework/property_list.h"

namespace {

using namespace PropertyListConstants;

// The same window entries as the results window, but fixed in size.
constexpr auto kWindow = std::to_array<Entry>({
    Int32("Placement", 0),
    Int32("Width", 327),
    Int32("Height", 261),
    Int32("MinWidth", 64),
    Int32("MinHeight", 64),
    Int32("MaxWidth", 32000),
    Int32("MaxHeight", 32000),
    Int32("Frame", 0),
    Boolean("Composite", false),
    Boolean("HasBackColor", false),
    Rgb("BackColor", 0xFF, 0xFF, 0xFF),
    Text("Title", "About Quorvel"),
    Boolean("Visible", true),
    Boolean("FullScreen", false),
    Boolean("MenuBarVisible", true),
    Boolean("CloseButton", true),
    Boolean("Resizeable", false),
    Boolean("LiveResize", false),
    Boolean("MaximizeButton", false),
    Boolean("MinimizeButton", true),
    Int32("MacProcID", 0),
});

enum class Lines { Single, Several };

struct Label {
  std::string_view name;
  int32_t top;
  int32_t height;
  int32_t tabIndex;
  std::string_view text;
  Lines lines;
};

// All four labels span the window between 20-unit margins and
// differ only in where they sit and what they say.
constexpr std::array<Entry, 27> LabelEntries(const Label& label) {
  return {
      Text("Name", label.name),
      Int32("Index", std::numeric_limits<int32_t>::min()),  // not in a control array
      Int32("Left", 20),
      Int32("Top", label.top),
      Int32("Width", 287),
      Int32("Height", label.height),
      Boolean("LockLeft", true),
      Boolean("LockTop", true),
      Boolean("LockRight", false),
      Boolean("LockBottom", false),
      Int32("TabPanelIndex", 0),
      Int32("TabIndex", label.tabIndex),
      Text("Text", label.text),
      Int32("TextAlign", 1),
      Rgb("TextColor", 0x00, 0x00, 0x00),
      Boolean("Multiline", label.lines == Lines::Several),
      Boolean("Enabled", true),
      Boolean("Visible", true),
      Text("HelpTag", ""),
      Boolean("AutoDeactivate", true),
      Text("TextFont", "System"),
      Boolean("Bold", false),
      Boolean("Italic", false),
      Boolean("Underline", false),
      Text("DataSource", ""),
      Text("DataField", ""),
      Text("InitialParent", ""),
  };
}

// Paragraphs are separated by carriage returns only, as the label expects.
constexpr std::string_view kDescription =
    "Open a text file and Varnholt Concordance will give you the word count, the line count "
    "and the unique word count along with a list of words and how many time each was used."
    "\r\r"
    "You can export this info in CSV (comma separated values) format or as a simple text file.";
static_assert(kDescription.size() == 263);

constexpr std::string_view kCopyright = "\xC2\xA9"  // the copyright sign in UTF-8
                                        " 2026 Varnholt Software";

constexpr auto kStaticText1 = LabelEntries({"StaticText1", 14, 20, 0, "Varnholt Concordance v1.0", Lines::Single});
constexpr auto kStaticText2 = LabelEntries({"StaticText2", 57, 142, 1, kDescription, Lines::Several});
constexpr auto kStaticText3 = LabelEntries({"StaticText3", 198, 20, 2, kCopyright, Lines::Single});
constexpr auto kStaticText4 = LabelEntries({"StaticText4", 221, 20, 3, "For more on Varnholt Software", Lines::Single});

constexpr auto kWindowBytes = Encode<EncodedSize(kWindow)>(kWindow);
constexpr auto kStaticText1Bytes = Encode<EncodedSize(kStaticText1)>(kStaticText1);
constexpr auto kStaticText2Bytes = Encode<EncodedSize(kStaticText2)>(kStaticText2);
constexpr auto kStaticText3Bytes = Encode<EncodedSize(kStaticText3)>(kStaticText3);
constexpr auto kStaticText4Bytes = Encode<EncodedSize(kStaticText4)>(kStaticText4);

static_assert(kWindow.size() == 21);
static_assert(kWindowBytes.size() == 280);
static_assert(kStaticText1Bytes.size() == 350);
static_assert(kStaticText2Bytes.size() == 588);
static_assert(kStaticText3Bytes.size() == 325 + kCopyright.size());
static_assert(kStaticText4Bytes.size() == 354);

}  // namespace

std::string_view AboutWindowPropertyList() { return View(kWindowBytes); }
std::string_view AboutStaticText1PropertyList() { return View(kStaticText1Bytes); }
std::string_view AboutStaticText2PropertyList() { return View(kStaticText2Bytes); }
std::string_view AboutStaticText3PropertyList() { return View(kStaticText3Bytes); }
std::string_view AboutStaticText4PropertyList() { return View(kStaticText4Bytes); }
