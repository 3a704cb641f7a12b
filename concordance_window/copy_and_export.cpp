// Copying the list to the clipboard and saving it as CSV or as text: every row, in the
// list's current order, read from the cell texts.

#include <string>

#include "app/text_files.h"
#include "concordance_window/word_count_window.h"
#include "framework/clipboard.h"
#include "framework/dialogs.h"
#include "framework/text_output_stream.h"
#include "framework/yield.h"

bool WordCountWindow::_EditCopy_Action() {
  // Built as bytes and turned into the text once: concatenating a String per row would copy
  // the whole text again for every row.
  String text;
  {
    std::string bytes;
    for (int32_t i = 0; i <= ControlNamed<Listbox>(*this, "theWords").ListCount() - 1; ++i) {
      ControlNamed<Listbox>(*this, "theWords").Cell(i, 1).AppendUtf8To(bytes);
      bytes += ", ";
      ControlNamed<Listbox>(*this, "theWords").Cell(i, 0).AppendUtf8To(bytes);
      Chr(13).AppendUtf8To(bytes);
      RuntimeBackgroundTask();
    }
    text = String::FromUtf8(bytes);
  }
  Clipboard clipboard;
  clipboard.SetText(text);
  clipboard.Close();
  return true;
}

bool WordCountWindow::_FileSaveAsCSV_Action() { return ExportRows("concordance csv.txt", ", ", false); }

bool WordCountWindow::_FileSaveAsText_Action() { return ExportRows("concordance.txt", Chr(9), true); }

bool WordCountWindow::ExportRows(const String& defaultName, const String& separator, bool withHeading) {
  const std::unique_ptr<FolderItem> file = GetSaveFolderItem(TextFiles::All(), defaultName);
  if (file == nullptr) return true;

  std::unique_ptr<TextOutputStream> stream;
  try {
    stream = TextOutputStream::Create(*file);
  } catch (...) {
    MsgBox(String("Could not create output file ") + file->AbsolutePath());
    return true;
  }

  // A write error leaves from here; the stream then drops its temporary file and the
  // file that was there before stays as it was.
  if (withHeading) {
    stream->WriteLine(String("Concordance for ") + file->AbsolutePath());
    stream->WriteLine("");
  }
  for (int32_t i = 0; i <= ControlNamed<Listbox>(*this, "theWords").ListCount() - 1; ++i) {
    stream->WriteLine(ControlNamed<Listbox>(*this, "theWords").Cell(i, 1) + separator +
                      ControlNamed<Listbox>(*this, "theWords").Cell(i, 0) + Chr(13));
    RuntimeBackgroundTask();
  }
  stream->Close();
  return true;
}
