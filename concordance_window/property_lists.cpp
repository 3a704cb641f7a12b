#include "concordance_window/property_lists.h"

#include <limits>

#include "framework/property_list.h"

namespace {

using namespace PropertyListConstants;

// No control here belongs to a control array; every lookup is by name.
constexpr int32_t kNotInAControlArray = std::numeric_limits<int32_t>::min();

constexpr auto kWindow = std::to_array<Entry>({
    Int32("Placement", 0),
    Int32("Width", 600),
    Int32("Height", 400),
    Int32("MinWidth", 64),
    Int32("MinHeight", 64),
    Int32("MaxWidth", 32000),
    Int32("MaxHeight", 32000),
    Int32("Frame", 0),
    Boolean("Composite", false),
    Boolean("HasBackColor", false),
    Rgb("BackColor", 0xFF, 0xFF, 0xFF),
    Text("Title", "Untitled"),
    Boolean("Visible", true),
    Boolean("FullScreen", false),
    Boolean("MenuBarVisible", true),
    Boolean("CloseButton", true),
    Boolean("Resizeable", true),
    Boolean("LiveResize", true),
    Boolean("MaximizeButton", false),
    Boolean("MinimizeButton", true),
    Int32("MacProcID", 0),
});

// Two headed columns, count and word, and no rows: the heading line of
// InitialValue becomes the headings because HasHeading is set.
constexpr auto kTheWords = std::to_array<Entry>({
    Text("Name", "theWords"),
    Int32("Index", kNotInAControlArray),
    Int32("Left", 20),
    Int32("Top", 49),
    Int32("Width", 560),
    Int32("Height", 331),
    Boolean("LockLeft", true),
    Boolean("LockTop", true),
    Boolean("LockRight", true),
    Boolean("LockBottom", true),
    Int32("TabPanelIndex", 0),
    Int32("TabIndex", 0),
    Boolean("TabStop", true),
    Boolean("Visible", true),
    Text("HelpTag", ""),
    Boolean("AutoDeactivate", true),
    Boolean("Enabled", true),
    Boolean("Border", true),
    Int32("ColumnCount", 2),
    Text("ColumnWidths", "20%,80%"),
    Boolean("HasHeading", true),
    Boolean("UseFocusRing", true),
    Text("InitialValue", "Count\tWord"),
    Int32("HeadingIndex", -1),
    Boolean("ScrollbarHorizontal", false),
    Boolean("ScrollBarVertical", true),
    Int32("GridLinesHorizontal", 0),
    Int32("GridLinesVertical", 0),
    Int32("DefaultRowHeight", -1),
    Int32("_ScrollWidth", -1),
    Text("TextFont", "System"),
    Boolean("Bold", false),
    Boolean("Italic", false),
    Boolean("Underline", false),
    Boolean("Hierarchical", false),
    Boolean("EnableDrag", false),
    Boolean("EnableDragReorder", false),
    Boolean("RequiresSelection", false),
    Int32("SelectionType", 0),
    Boolean("ColumnsResizable", false),
    Boolean("AutoHideScrollbars", true),
    Text("DataSource", ""),
    Text("DataField", ""),
    Text("InitialParent", ""),
});

// The totals line along the top; its text is filled in after a file is counted.
constexpr auto kStatus = std::to_array<Entry>({
    Text("Name", "Status"),
    Int32("Index", kNotInAControlArray),
    Int32("Left", 20),
    Int32("Top", 17),
    Int32("Width", 560),
    Int32("Height", 20),
    Boolean("LockLeft", true),
    Boolean("LockTop", true),
    Boolean("LockRight", true),
    Boolean("LockBottom", false),
    Int32("TabPanelIndex", 0),
    Int32("TabIndex", 1),
    Text("Text", ""),
    Int32("TextAlign", 1),
    Rgb("TextColor", 0x00, 0x00, 0x00),
    Boolean("Multiline", false),
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
});

// "v1" in the bottom-left corner, kept there by locking left and bottom. It
// hangs 4 units below the 400-unit content area (y 384 to 404) on purpose.
constexpr auto kVersionLabel = std::to_array<Entry>({
    Text("Name", "StaticText1"),
    Int32("Index", kNotInAControlArray),
    Int32("Left", 4),
    Int32("Top", 384),
    Int32("Width", 18),
    Int32("Height", 20),
    Boolean("LockLeft", true),
    Boolean("LockTop", false),
    Boolean("LockRight", false),
    Boolean("LockBottom", true),
    Int32("TabPanelIndex", 0),
    Int32("TabIndex", 2),
    Text("Text", "v1"),
    Int32("TextAlign", 0),
    Rgb("TextColor", 0x00, 0x00, 0x00),
    Boolean("Multiline", false),
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
});

constexpr auto kWindowBytes = Encode<EncodedSize(kWindow)>(kWindow);
constexpr auto kTheWordsBytes = Encode<EncodedSize(kTheWords)>(kTheWords);
constexpr auto kStatusBytes = Encode<EncodedSize(kStatus)>(kStatus);
constexpr auto kVersionLabelBytes = Encode<EncodedSize(kVersionLabel)>(kVersionLabel);

static_assert(kWindow.size() == 21 && kTheWords.size() == 44);
static_assert(kStatus.size() == 27 && kVersionLabel.size() == 27);
static_assert(kWindowBytes.size() == 275);
static_assert(kTheWordsBytes.size() == 646);
static_assert(kStatusBytes.size() == 320);
static_assert(kVersionLabelBytes.size() == 327);

}  // namespace

std::string_view WordCountWindowPropertyList() { return View(kWindowBytes); }
std::string_view TheWordsPropertyList() { return View(kTheWordsBytes); }
std::string_view StatusPropertyList() { return View(kStatusBytes); }
std::string_view VersionLabelPropertyList() { return View(kVersionLabelBytes); }
