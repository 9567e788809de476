// The schema cache error dialog on its own: what its fields show, and what
// each way of closing it returns.
#include <qzwin/uihost.h>

#include "errors/ErrorDialog.h"
#include "service_test_support.h"

namespace servicetest {
namespace {

using ErrorDialogTest = ServiceTest;
using qzwin::DialogAnswer;

const qzwin::DialogControlView* Control(const qzwin::DialogView& view, int id) {
  for (const qzwin::DialogControlView& control : view.controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

TEST_F(ErrorDialogTest, ShowsTheFileNameAboveTheUrnEachAfterItsLabel) {
  CError dialog("C:\\schemas\\a.xml", "x-schema:a.xml");
  EXPECT_EQ(IDOK, dialog.DoModal(nullptr, 0)) << "Enter presses OK";
  ASSERT_EQ(1u, ShownDialogs().size());
  EXPECT_EQ("C:\\schemas\\a.xml", ShownDialogs()[0].fileName);
  EXPECT_EQ("x-schema:a.xml", ShownDialogs()[0].urn) << "the URN keeps its prefix";

  const qzwin::DialogView view = host_.ShownDialogs()[0];
  const qzwin::DialogControlView* fileName = Control(view, 204);
  const qzwin::DialogControlView* urn = Control(view, 203);
  ASSERT_TRUE(fileName != nullptr && urn != nullptr);
  EXPECT_LT(fileName->y, urn->y);
  for (const qzwin::DialogControlView& label : view.controls) {
    if (label.text == "File Name:") {
      EXPECT_TRUE(label.y == fileName->y && label.x < fileName->x);
    }
    if (label.text == "x-schema:") {
      EXPECT_TRUE(label.y == urn->y && label.x < urn->x);
    }
  }
}

TEST_F(ErrorDialogTest, NullTextsShowEmptyFields) {
  CError dialog(nullptr, nullptr);
  dialog.DoModal(nullptr, 0);
  ASSERT_EQ(1u, ShownDialogs().size());
  EXPECT_EQ("", ShownDialogs()[0].fileName);
  EXPECT_EQ("", ShownDialogs()[0].urn);
}

TEST_F(ErrorDialogTest, OkEndsItWithOneEscAndTheCloseBoxWithTwo) {
  host_.QueueDialogAnswer({DialogAnswer::Button, IDOK});
  host_.QueueDialogAnswer({DialogAnswer::Escape, 0});
  host_.QueueDialogAnswer({DialogAnswer::Close, 0});
  for (INT_PTR expected : {1, 2, 2}) {
    CError dialog("C:\\schemas\\a.xml", "x-schema:a.xml");
    EXPECT_EQ(expected, dialog.DoModal(nullptr, 0));
  }
}

}  // namespace
}  // namespace servicetest
