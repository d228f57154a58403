#include "platform/message_box.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(MessageBox, DefaultServiceRecordsAndAnswersTheDefaultButton) {
    TRecordingMessageService& rec = DefaultMessageService();
    rec.Clear();
    EXPECT_EQ(&MessageService(), &rec);
    EXPECT_EQ(ShowMessageBox("Cell record could not be read", "Error", miError), idOk);
    EXPECT_EQ(ShowMessageBox("Sure?", "Q", miQuestion, mbOKCancel), idOk);
    EXPECT_EQ(ShowMessageBox("Save?", "Q", miQuestion, mbYesNo), idYes);
    EXPECT_EQ(ShowMessageBox("Save?", "Q", miQuestion, mbYesNoCancel), idYes);
    ASSERT_EQ(rec.Messages().size(), 4u);
    EXPECT_EQ(rec.Messages()[0].Caption, "Error");
    EXPECT_EQ(rec.Messages()[0].Text, "Cell record could not be read");
    EXPECT_EQ(rec.Messages()[0].Icon, miError);
    rec.Clear();
    EXPECT_TRUE(rec.Messages().empty());
}

TEST(MessageBox, QueuedAnswersAndInstalledServices) {
    TRecordingMessageService mine;
    {
        TMessageServiceScope scope(mine);
        mine.QueueAnswer(idCancel);
        EXPECT_EQ(ShowMessageBox("Delete?", "QvStyler Designer", miQuestion, mbOKCancel), idCancel);
        EXPECT_EQ(ShowMessageBox("Again?", "QvStyler Designer", miQuestion, mbOKCancel), idOk);
        EXPECT_EQ(mine.Messages().size(), 2u);
        EXPECT_EQ(mine.Messages()[0].Result, idCancel);
    }
    EXPECT_EQ(&MessageService(), &DefaultMessageService());
    EXPECT_EQ(SetMessageService(&mine), nullptr);
    EXPECT_EQ(SetMessageService(nullptr), &mine);  // null puts the default back
    EXPECT_EQ(&MessageService(), &DefaultMessageService());
}
