// The schema cache error dialog on its own: its two fields, and what each
// way of closing it returns.
#include <qzwin/uihost.h>

#include "errors/ErrorDialog.h"
#include "service_test_support.h"

namespace servicetest {
namespace {

using ErrorDialogTest = ServiceTest;
using qzwin::DialogAnswer;

TEST_F(ErrorDialogTest, OkEndsItWithOneEscAndTheCloseBoxWithTwo) {
  host_.QueueDialogAnswer({DialogAnswer::Button, IDOK});
  host_.QueueDialogAnswer({DialogAnswer::Escape, 0});
  host_.QueueDialogAnswer({DialogAnswer::Close, 0});
  for (INT_PTR expected : {1, 2, 2}) {
    CError dialog("C:\\schemas\\a.xml", "x-schema:a.xml");
    EXPECT_EQ(expected, dialog.DoModal(nullptr, 0));
  }
  for (const ErrorDialog& shown : ShownDialogs()) {
    EXPECT_EQ("C:\\schemas\\a.xml", shown.fileName);
    EXPECT_EQ("x-schema:a.xml", shown.urn) << "the URN keeps its prefix";
  }
}

}  // namespace
}  // namespace servicetest
