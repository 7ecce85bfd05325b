// Message boxes: the answer of each button key, exit and the timeout.
#include <gtest/gtest.h>
#include <host/gui/gui.h>
#include "emulator/toolkit/emu.h"

namespace {

struct Answer {
  int flags, def;
  const char* key;   // nullptr: no key, the timeout ends it
  int timeout;
  int expected;
};

class MessageBoxAnswers : public ::testing::TestWithParam<Answer> {
protected:
  void SetUp() override { emu::startToolkit(); }
};

TEST_P(MessageBoxAnswers, ExecAnswersThePressedButton) {
  const Answer& a = GetParam();
  eMessageBox box("Testo del messaggio", "Avviso", a.flags, a.def, a.timeout);
  box.show();
  if (a.key) emu::postKey(a.key);
  EXPECT_EQ(box.exec(), a.expected);
  box.hide();
}

INSTANTIATE_TEST_SUITE_P(Flags, MessageBoxAnswers,
                         ::testing::Values(Answer{17, 1, "ok", 0, 1}, Answer{17, 1, "green", 0, 1},
                                           Answer{17, 1, "exit", 0, -1}, Answer{33, 1, "ok", 0, 1},
                                           Answer{33, 1, "exit", 0, -1}, Answer{76, 8, "green", 0, 4},
                                           Answer{76, 8, "red", 0, 8}, Answer{76, 8, "ok", 0, 8},
                                           Answer{76, 4, "ok", 0, 4}, Answer{76, 8, "exit", 0, -1},
                                           Answer{17, 0, nullptr, 50, -1}, Answer{76, 8, nullptr, 50, -1},
                                           Answer{17, 0, "ok", 5000, 1}),
                         [](const ::testing::TestParamInfo<Answer>& i) {
                           const Answer& a = i.param;
                           return "flags" + std::to_string(a.flags) + "_def" + std::to_string(a.def) + "_" +
                                  (a.key ? a.key : "timeout") + "_" + std::to_string(i.index);
                         });

class MessageBoxLook : public ::testing::Test {
protected:
  void SetUp() override { emu::startToolkit(); }
};

TEST_F(MessageBoxLook, TheEmulatorSeesTextCaptionAndButtons) {
  eMessageBox box("Vuoi fermare la scansione?", "Interruzione scansione / skip frequenza", 76, 8, 0);
  EXPECT_FALSE(emu::currentMessageBox().open);
  box.show();
  emu::MessageBoxInfo info = emu::currentMessageBox();
  EXPECT_TRUE(info.open);
  EXPECT_EQ(info.text, "Vuoi fermare la scansione?");
  EXPECT_EQ(info.caption, "Interruzione scansione / skip frequenza");
  EXPECT_EQ(info.flags, 76);
  EXPECT_EQ(info.buttons, (std::vector<std::string>{"Sì", "No"}));
  EXPECT_TRUE(emu::textVisible("Vuoi fermare la scansione?"));
  box.hide();
  EXPECT_FALSE(emu::currentMessageBox().open);
}

TEST_F(MessageBoxLook, LongTextIsWrappedInsideTheScreen) {
  std::string text = "Attenzione. Impossibile recuperare la posizione orbitale corrente. Posizionarsi su un canale "
                     "valido e riavviare Scrutafasci! " + std::string(150, 'y');
  eMessageBox box(text, "Errore", 33, 1, 0);
  EXPECT_LE(box.getSize().width(), emu::screenWidth);
  EXPECT_GE(box.getPosition().x(), 0);
  box.show();
  EXPECT_TRUE(emu::textVisible(text));   // listed as given, not as wrapped
  box.hide();
}

}  // namespace
