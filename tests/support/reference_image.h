// Screenshots against the pictures kept in tests/reference/.
#pragma once
#include <gtest/gtest.h>
#include <string>

namespace testsupport {

// Compares the PNG at shot with tests/reference/<name>: at most maxDifferingFraction of the
// pixels may have a channel more than channelTolerance apart. With SCRUTA_UPDATE_REFERENCES
// set in the environment, the reference is written from shot instead (and the check passes).
::testing::AssertionResult matchesReference(const std::string& shot, const std::string& name,
                                            int channelTolerance, double maxDifferingFraction);

// Where a test keeps its screenshots for people to look at: <build>/screenshots/<name>.
std::string screenshotPath(const std::string& name);

}  // namespace testsupport
