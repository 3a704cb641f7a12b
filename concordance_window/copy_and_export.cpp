// Copying the list to the clipboard and saving it as CSV or as text: every row, in the
// list's current order. The list writes the rows' bytes straight from its columns.

#include <string>

#include "app/text_files.h"
#include "concordance_window/word_count_window.h"
#include "framework/clipboard.h"
#include "framework/dialogs.h"
#include "framework/text_output_stream.h"

bool WordCountWindow::_EditCopy_Action() {
  // Per row: word, ", ", count and a carriage return, built whole from the rows' bytes and
  // set in one write. It goes as UTF-8 rather than through Clipboard::SetText: a String of the
  // whole text would be one more copy of it, which for millions of rows costs a tenth of the
  // command. The tests hold the two ways to the same clipboard text.
  Clipboard clipboard;
  clipboard.SetUtf8Text(ControlNamed<Listbox>(*this, "theWords").RowsUtf8({1, 0}, ", ", Chr(13).ToUtf8()));
  clipboard.Close();
  return true;
}

bool WordCountWindow::_FileSaveAsCSV_Action() { return ExportRows("concordance csv.txt", ", ", ExportHeading::kNone); }

bool WordCountWindow::_FileSaveAsText_Action() { return ExportRows("concordance.txt", "\t", ExportHeading::kTitleLine); }

bool WordCountWindow::ExportRows(const String& defaultName, std::string_view separator, ExportHeading heading) {
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
  if (heading == ExportHeading::kTitleLine) {
    stream->WriteLine(String("Concordance for ") + file->AbsolutePath());
    stream->WriteLine("");
  }
  // Each row is word, separator, count and a carriage return, as one line of the stream.
  std::string rowEnd = Chr(13).ToUtf8();
  stream->Delimiter().AppendUtf8To(rowEnd);
  ControlNamed<Listbox>(*this, "theWords")
      .WriteRowsUtf8({1, 0}, separator, rowEnd, [&](std::string_view bytes) { stream->WriteUtf8(bytes); });
  stream->Close();
  return true;
}
