#include "support/reference_image.h"

#include <cstdlib>
#include <filesystem>

#include "emulator/toolkit/png.h"

namespace testsupport {

::testing::AssertionResult matchesReference(const std::string& shot, const std::string& name,
                                            int channelTolerance, double maxDifferingFraction) {
  const std::string reference = std::string(SCRUTA_SOURCE_DIR "/tests/reference/") + name;
  std::string error;
  emu::RgbImage now, expected;
  if (!emu::readPng(shot, now, &error)) return ::testing::AssertionFailure() << "screenshot: " << error;
  if (std::getenv("SCRUTA_UPDATE_REFERENCES")) {
    std::error_code ec;
    std::filesystem::copy_file(shot, reference, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) return ::testing::AssertionFailure() << "cannot write " << reference << ": " << ec.message();
    return ::testing::AssertionSuccess() << "reference written: " << reference;
  }
  if (!emu::readPng(reference, expected, &error))
    return ::testing::AssertionFailure() << error << " (SCRUTA_UPDATE_REFERENCES=1 writes it from this run)";
  const emu::ImageDifference d = emu::compareImages(now, expected, channelTolerance);
  if (!d.sameSize)
    return ::testing::AssertionFailure() << now.width << "x" << now.height << " against the reference's "
                                         << expected.width << "x" << expected.height << "; see " << shot;
  if (d.differingFraction > maxDifferingFraction)
    return ::testing::AssertionFailure() << d.differingFraction * 100 << "% of the pixels differ (at most "
                                         << maxDifferingFraction * 100 << "% may), by up to "
                                         << d.maxChannelDifference << "; see " << shot << " against "
                                         << reference;
  return ::testing::AssertionSuccess();
}

std::string screenshotPath(const std::string& name) {
  const std::filesystem::path dir = SCRUTA_BINARY_DIR "/screenshots";
  std::filesystem::create_directories(dir);
  return (dir / name).string();
}

}  // namespace testsupport
