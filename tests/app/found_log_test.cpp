#include <gtest/gtest.h>

#include "emulator/app/found_log.h"

TEST(FoundLog, ReadsEveryClassAndKeepsStrangeLines) {
  auto log = app::parseFoundLog(
      "[NT] Das Erste HD | ARD\n"
      "[OR] Radio | Bar | Prov\n"
      "[ND] EPG data | \n"
      "[N] Teletext only | ORF\n"
      "garbage line\n"
      "\n"
      "[XT] bad | flag\n");
  ASSERT_EQ(log.services.size(), 4u);
  EXPECT_TRUE(log.services[0].isNew);
  EXPECT_EQ(log.services[0].serviceClass, "tv");
  EXPECT_EQ(log.services[0].name, "Das Erste HD");
  EXPECT_EQ(log.services[0].provider, "ARD");
  EXPECT_FALSE(log.services[1].isNew);
  EXPECT_EQ(log.services[1].serviceClass, "radio");
  EXPECT_EQ(log.services[1].name, "Radio | Bar");
  EXPECT_EQ(log.services[1].provider, "Prov");
  EXPECT_EQ(log.services[2].serviceClass, "data");
  EXPECT_EQ(log.services[2].provider, "");
  EXPECT_EQ(log.services[3].serviceClass, "other");
  EXPECT_EQ(log.services[3].name, "Teletext only");
  ASSERT_EQ(log.badLines.size(), 2u);
  EXPECT_EQ(log.badLines[0], "garbage line");
}

TEST(FoundLog, MissingFileIsEmpty) {
  auto log = app::readFoundLog("/nonexistent/scrutafasci.scan");
  EXPECT_TRUE(log.services.empty());
  EXPECT_TRUE(log.badLines.empty());
}
