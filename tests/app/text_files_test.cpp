// The plain-text file type: the filter the file dialogs get, and what the framework is told
// at start-up and forgets at shut-down.

#include <gmock/gmock.h>

#include "app/startup.h"
#include "app/text_files.h"
#include "framework/file_type.h"
#include "tests/support/gui_test.h"

namespace {

using ::testing::IsEmpty;

class TextFileType : public StartedProgram {
 protected:
  void SetUp() override { StartRuntime(); }
};

TEST_F(TextFileType, IsRegisteredOnceWithItsFourValuesAndDeregisteredAtShutDown) {
  EXPECT_EQ(TextFiles::pText, nullptr);
  EXPECT_THAT(RegisteredFileTypes(), IsEmpty());
  EXPECT_EQ(TextFiles::All().ToUtf8(), "text/plain;");  // before start-up as after

  _RunFrameworkInitialization(&_Startup);
  ASSERT_NE(TextFiles::pText, nullptr);
  TextFiles::pText->ToString();  // converting it again registers nothing more
  const std::vector<FileTypeRegistration> registered = RegisteredFileTypes();
  ASSERT_EQ(registered.size(), 1u);
  // The values the framework was handed when the type registered.
  EXPECT_EQ(registered[0].type, TextFiles::pText.get());
  EXPECT_EQ(registered[0].name.ToUtf8(), "text/plain");
  EXPECT_EQ(registered[0].extensions.ToUtf8(),
            ".asc;.ascii;.bas;.c;.class;.cp;.cpp;.h;.hp;.hpp;.i3;.java;.m2;.m3;.mak;.text;.txt");
  EXPECT_EQ(registered[0].macType.ToUtf8(), "TEXT");
  EXPECT_EQ(registered[0].macCreator.ToUtf8(), "????");
  EXPECT_EQ(TextFiles::All().ToUtf8(), "text/plain;");

  ReleaseModuleObjects();
  EXPECT_EQ(TextFiles::pText, nullptr);
  EXPECT_THAT(RegisteredFileTypes(), IsEmpty());
}

}  // namespace
